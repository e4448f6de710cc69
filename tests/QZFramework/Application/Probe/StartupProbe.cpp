// A program built as the editor is, whose application class has the editor's name but
// fails its start-up: the start-up tests run it as a process to see how a start-up ends.

#include "Platform/Window/WindowTypes.h"
#include "QZFramework/Application/MFCFrameworkApp.h"
#include "QZFramework/Application/ProgramEntry.h"

class LApplication : public QZ::LRefCountedObject {
public:
  LApplication(const QZ::RCPtr<QZ::LControlFactory>&, const QZ::RCPtr<QZ::LStringTable>&, const QZ::WString&) {}
  QZ::QZResult OnCommandLine(QZ::CommandLineStage, const QZ::WString&) { return QZ::QZ_OK; }
  QZ::QZResult RunApplicationStartup() { return QZ::QZ_E_FAIL; }
  int32_t GetRendererType() { return 1; }
  QZ::QZResult CreateMainWindow(int32_t) { return QZ::QZ_E_FAIL; }
  QZ::WString GetMainControlName() { return QZ::WString(u"mainControl"); }
  QZ::QZResult SetMainRootControl(const QZ::WString&) { return QZ::QZ_E_FAIL; }
  void Run() {}
  QZ::QZResult RunApplicationShutdown() { return QZ::QZ_OK; }
  bool IsExiting() { return true; }
  bool DoIdleWork(bool) { return false; }
};

static QZ::MFCFrameworkApp<LApplication> theApp;

int main(int argc, char** argv) {
  QZ::SetLocaleFromEnvironment();
  return QZ::FrameworkAppMain(QZ::MakeCommandLine(argc, argv), QZ::Platform::Window::SW_SHOWNORMAL, -1, u"Splash.png");
}
