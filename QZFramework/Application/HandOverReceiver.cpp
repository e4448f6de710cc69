#include "QZFramework/Application/HandOverReceiver.h"

#include <string>

#include "Platform/Window/Window.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/ControlBase/WindowOSServices.h"
#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

namespace Win = Platform::Window;

namespace {

// The window a user answers first: the last root window of the application whose modal
// loop runs (modal dialogs open over one another).
void RaiseTopModalRootWindow() {
  IControlApplication* application = GetControlApplication();
  if (!application) {
    return;
  }
  for (uint32_t index = application->GetRootWindowCount(); index-- > 0;) {
    const RCPtr<LRootWindow> root = DynamicCast<LRootWindow>(application->GetRootWindowAt(index));
    IWindowOSServices* os = root ? root->GetOSServices() : nullptr;
    if (!os || !os->IsModal()) {
      continue;
    }
    if (Win::IsIconic(static_cast<Win::HWND>(os->GetHandle()))) {
      os->Show(Win::SW_RESTORE);
    }
    os->BringToTop();
    return;
  }
}

} // namespace

void ReceiveHandedOverCommandLine(Win::HWND mainWindow, std::string_view commandLine, DebugTrace& trace) {
  trace.Narrow() << "Command line from another instance: " << commandLine << "\n";
  if (!Win::IsWindow(mainWindow)) {
    return; // no window yet to bring forward or to hand the line to
  }
  if (Win::IsIconic(mainWindow)) {
    Win::ShowWindow(mainWindow, Win::SW_RESTORE);
  }
  Win::BringWindowToTop(mainWindow);
  RaiseTopModalRootWindow();
  if (commandLine.empty()) {
    return;
  }
  const std::string text(commandLine); // with its NUL
  const Win::COPYDATASTRUCT data{kCommandLineCopyData, uint32_t(text.size() + 1), text.c_str()};
  Win::SendMessage(mainWindow, Win::WM_COPYDATA, kCommandLineCopyData, Win::LPARAM(&data));
}

} // namespace QZ
