// Another program on the clipboard, for the clipboard's tests under an X server: it copies
// a text and serves it until its standard input closes, or pastes what the clipboard holds
// to its standard output.
//
//   PlatformClipboardPeer copy <UTF-8 text>    prints "ready" once it owns the clipboard
//   PlatformClipboardPeer paste                prints the clipboard's text, nothing else
//
// Exit status 0 on success, 1 when the clipboard refused, 2 for a bad command line or no
// display.

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Platform/Clipboard/Clipboard.h"
#include "Platform/Clipboard/TextConversion.h"
#include "Platform/Host/MessageLoop.h"

namespace {

namespace Clip = QZ::Platform::Clipboard;
namespace Host = QZ::Platform::Host;

// Handles whatever the window layer has taken from the X server (SDL answers the other
// programs' requests for the selection while it takes them).
void PumpMessages() {
  QZ::Platform::Window::MSG msg;
  while (Host::PeekMessage(&msg, QZ::Platform::Window::PM_REMOVE)) {
    Host::TranslateMessage(&msg);
    Host::DispatchMessage(&msg);
  }
}

// The X server refuses a connection now and then (EAGAIN on its socket while it catches up
// with connections just closed, as SDL's start opens and closes one): a few tries.
bool StartWindowLayer() {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (Host::Startup()) {
      return true;
    }
    usleep(50000);
  }
  return false;
}

int Copy(const char* utf8) {
  if (!Clip::OpenClipboard()) {
    return 1;
  }
  const bool emptied = Clip::EmptyClipboard();
  const bool set = Clip::SetClipboardData(Clip::CF_UNICODETEXT, Clip::ToUtf16(utf8));
  if (!Clip::CloseClipboard() || !emptied || !set) {
    return 1;
  }
  // The selection's new owner reaches the X server with the next flush, which taking
  // events makes.
  PumpMessages();
  std::fputs("ready\n", stdout);
  std::fflush(stdout);
  for (;;) {
    PumpMessages();
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 10) > 0) {
      char byte = 0;
      if (read(STDIN_FILENO, &byte, 1) <= 0) {
        return 0;
      }
    }
  }
}

int Paste() {
  std::u16string text;
  if (!Clip::IsClipboardFormatAvailable(Clip::CF_UNICODETEXT) || !Clip::OpenClipboard()) {
    return 1;
  }
  const bool read = Clip::GetClipboardData(Clip::CF_UNICODETEXT, text);
  Clip::CloseClipboard(); // a round that only read
  if (!read) {
    return 1;
  }
  const std::string utf8 = Clip::ToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  const bool copy = argc == 3 && std::strcmp(argv[1], "copy") == 0;
  const bool paste = argc == 2 && std::strcmp(argv[1], "paste") == 0;
  if ((!copy && !paste) || !StartWindowLayer()) {
    return 2;
  }
  const int status = copy ? Copy(argv[2]) : Paste();
  Host::Shutdown();
  return status;
}
