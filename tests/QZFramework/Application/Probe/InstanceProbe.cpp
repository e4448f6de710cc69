// A program built as the editor is, whose application shows a plain main window titled
// "Vandrel" and otherwise does nothing: the single-instance tests start it as processes
// to see which of them stays, with which window, and what the running one receives.
// Its lock and hand-over socket follow XDG_RUNTIME_DIR, which the tests point at a folder
// of their own.

#include <cstdio>

#include "Platform/Window/Window.h"
#include "QZFramework/Application/MFCFrameworkApp.h"
#include "QZFramework/Application/ProgramEntry.h"

namespace Win = QZ::Platform::Window;

// What the probe writes to standard error once its main window shows.
constexpr char kRunning[] = "probe: running\n";

class LApplication : public QZ::LRefCountedObject, private Win::WindowProcedure {
public:
  LApplication(const QZ::RCPtr<QZ::LControlFactory>&, const QZ::RCPtr<QZ::LStringTable>&, const QZ::WString&) {}
  QZ::QZResult OnCommandLine(QZ::CommandLineStage, const QZ::WString&) { return QZ::QZ_OK; }
  QZ::QZResult RunApplicationStartup() { return QZ::QZ_OK; }
  int32_t GetRendererType() { return 1; }
  QZ::QZResult CreateMainWindow(int32_t) {
    mWindow = Win::CreateWindowEx(0, u"Vandrel", Win::WS_CAPTION | Win::WS_SYSMENU, 40, 40, 320, 200, nullptr, this);
    QZ::HostApp::Get()->SetMainWindow(mWindow);
    return mWindow ? QZ::QZ_OK : QZ::QZ_E_FAIL;
  }
  QZ::WString GetMainControlName() { return QZ::WString(u"mainControl"); }
  QZ::QZResult SetMainRootControl(const QZ::WString&) { return QZ::QZ_OK; }
  void Run() {
    // The window shows: a test may now look for it without meeting this process's start.
    std::fputs(kRunning, stderr);
    QZ::HostApp::Get()->RunMessageLoop(); // its code ends the process's run anyway
  }
  QZ::QZResult RunApplicationShutdown() {
    if (Win::IsWindow(mWindow)) {
      Win::DestroyWindow(mWindow);
    }
    return QZ::QZ_OK;
  }
  bool IsExiting() { return false; }
  bool DoIdleWork(bool) { return false; }

private:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }

  Win::HWND mWindow = nullptr;
};

static QZ::MFCFrameworkApp<LApplication> theApp;

int main(int argc, char** argv) {
  QZ::SetLocaleFromEnvironment();
  return QZ::FrameworkAppMain(QZ::MakeCommandLine(argc, argv), Win::SW_SHOWNORMAL, -1, u"Splash.png");
}
