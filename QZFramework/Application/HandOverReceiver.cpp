#include "QZFramework/Application/HandOverReceiver.h"

#include <string>

#include "Platform/Window/Window.h"
#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

namespace Win = Platform::Window;

void ReceiveHandedOverCommandLine(Win::HWND mainWindow, std::string_view commandLine, DebugTrace& trace) {
  trace.Narrow() << "Command line from another instance: " << commandLine << "\n";
  if (!Win::IsWindow(mainWindow)) {
    return; // no window yet to bring forward or to hand the line to
  }
  if (Win::IsIconic(mainWindow)) {
    Win::ShowWindow(mainWindow, Win::SW_RESTORE);
  }
  Win::BringWindowToTop(mainWindow);
  if (commandLine.empty()) {
    return;
  }
  const std::string text(commandLine); // with its NUL
  const Win::COPYDATASTRUCT data{kCommandLineCopyData, uint32_t(text.size() + 1), text.c_str()};
  (void)Win::SendMessage(mainWindow, Win::WM_COPYDATA, kCommandLineCopyData, Win::LPARAM(&data)); // taken or not
}

} // namespace QZ
