// The preset editor's entry: the host object, made before main runs, carries the process
// through the start-up, the message loop and the shut-down (QZ::FrameworkAppMain).

#include "Panel/Main/Application.h"
#include "Platform/Window/WindowTypes.h"
#include "QZFramework/Application/MFCFrameworkApp.h"
#include "QZFramework/Application/ProgramEntry.h"

static QZ::MFCFrameworkApp<LApplication> theApp;

int main(int argc, char** argv) {
  QZ::SetLocaleFromEnvironment();
  return QZ::FrameworkAppMain(QZ::MakeCommandLine(argc, argv), QZ::Platform::Window::SW_SHOWNORMAL, -1, u"Splash.png");
}
