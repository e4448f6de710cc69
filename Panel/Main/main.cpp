// The preset editor's entry: the host object, made before main runs, carries the process
// through the start-up, the message loop and the shut-down (QZ::FrameworkAppMain).

#include "Panel/Main/Application.h"
#include "Platform/Midi/MidiSystem.h"
#include "Platform/Process/Process.h"
#include "Platform/Window/WindowTypes.h"
#include "QZFramework/Application/MFCFrameworkApp.h"
#include "QZFramework/Application/ProgramEntry.h"

static QZ::MFCFrameworkApp<LApplication> theApp;

int main(int argc, char** argv) {
  // Before any child (the MIDI transports may start one): a SIGCHLD that whoever started us
  // left ignored would make every program we start seem to have failed.
  QZ::Platform::Process::KeepChildExitStatuses();
  QZ::SetLocaleFromEnvironment();
  // The MIDI transports open while the window system starts; the MIDI manager takes them.
  // Not where work may not run beside that start (it forks), as under AddressSanitizer.
  if constexpr (QZ::MFCFrameworkAppBase::kWorkBeforeWindowSystem) {
    QZ::Platform::Midi::MidiSystem::BeginDefault();
  }
  return QZ::FrameworkAppMain(QZ::MakeCommandLine(argc, argv), QZ::Platform::Window::SW_SHOWNORMAL, -1, u"Splash.png");
}
