#pragma once
// The system clipboard with the Win32 shape, for plain text: a sequence number that moves
// whenever the content may have changed, format queries, and the open / empty / set /
// close round of a write. The text lives with a backend: SDL's clipboard (UTF-8), or a
// test's own.
//
//   if (OpenClipboard()) {                                       // write
//     EmptyClipboard();
//     SetClipboardData(CF_UNICODETEXT, u"Preset 12");            // CF_TEXT follows from it
//     CloseClipboard();                                          // the backend is written here
//   }
//   uint32_t seen = GetClipboardSequenceNumber();
//   ...
//   if (GetClipboardSequenceNumber() != seen && IsClipboardFormatAvailable(CF_UNICODETEXT) &&
//       OpenClipboard()) {                                       // read
//     std::u16string text;
//     GetClipboardData(CF_UNICODETEXT, text);
//     CloseClipboard();
//   }
//   case WM_CLIPBOARDUPDATE: if (ClipboardUpdated()) { ...what WM_DESTROYCLIPBOARD does... }
//
// The sequence number is emulated, since SDL has none: it moves with each write of this
// process and each clipboard update the window layer reports (SDL_CLIPBOARDUPDATE, sent
// as WM_CLIPBOARDUPDATE to the windows that listen). SDL on X11 reports another program's
// copy only to the program that owned the clipboard, so while the clipboard may belong to
// another program (this process never wrote it, or an update said another program took it)
// every query of the number answers a new one: a reader then always reads again.
//
// The private format kEmptiedFormat (0x200) marks a clipboard this process emptied: the
// system clipboard is cleared and the mark holds until the next update.
//
// Text leaves as valid UTF-8 (an unpaired surrogate becomes U+FFFD) and arrives the same
// way (a malformed byte sequence becomes U+FFFD).
//
// UI thread only: the calls keep process-wide state, unlocked, as Win32's clipboard is
// one per session.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace QZ::Platform::Clipboard {

// Formats.
inline constexpr uint32_t CF_TEXT = 1;
inline constexpr uint32_t CF_UNICODETEXT = 13;
// The private mark of a clipboard this process emptied.
inline constexpr uint32_t kEmptiedFormat = 0x200;

// Where the text is kept: the system clipboard of the session.
class Backend {
public:
  virtual ~Backend() = default;
  // Whether the clipboard holds text that is not empty (any program's).
  virtual bool HasText() = 0;
  // The clipboard's text; false when it cannot be read.
  virtual bool GetText(std::string& utf8) = 0;
  // Replaces the clipboard's content by the text ("" clears it); this process owns it
  // then. False when refused.
  virtual bool SetText(const std::string& utf8) = 0;
};

// SDL's clipboard. It works while SDL's video subsystem runs (the window layer's Startup);
// before, reads find nothing and writes are refused.
std::shared_ptr<Backend> CreateSdlBackend();

// Makes backend the clipboard's (null: SDL's, the default) and forgets what was known of
// the old one: this process owns nothing, no mark, no round open. The sequence number
// moves on.
void SetBackend(std::shared_ptr<Backend> backend);

// The clipboard's sequence number (see the top of this file).
uint32_t GetClipboardSequenceNumber();
// kEmptiedFormat: whether the mark is set. CF_UNICODETEXT, CF_TEXT: whether the clipboard
// holds text (never while the mark is set). Any other format: false.
bool IsClipboardFormatAvailable(uint32_t format);

// Begins a round of reading or writing: false when one is open already.
[[nodiscard]] bool OpenClipboard();
// Ends the round. A round that emptied the clipboard writes it now (the text set, or
// nothing): false when the backend refuses, in which case nothing changed. True otherwise.
bool CloseClipboard();
// Within a round: the clipboard is to be emptied, and the text and mark set in this round
// replace it. False outside a round.
bool EmptyClipboard();
// Within a round that emptied the clipboard: CF_UNICODETEXT puts text on it (CF_TEXT is
// then available too, as Windows makes it from the wide text); kEmptiedFormat (text
// ignored) sets the mark. False outside such a round or for another format.
bool SetClipboardData(uint32_t format, std::u16string_view text = {});
// Within a round: the clipboard's text for CF_UNICODETEXT or CF_TEXT (both read the same
// text). False outside a round, for another format, while the mark is set or when the
// backend cannot read.
bool GetClipboardData(uint32_t format, std::u16string& text);

// The window layer reported a clipboard update (WM_CLIPBOARDUPDATE): the sequence number
// moves, the mark is cleared, and this process no longer counts as the owner. True when
// it was the owner: it has lost the clipboard, which is what WM_DESTROYCLIPBOARD tells a
// Windows program.
bool ClipboardUpdated();

} // namespace QZ::Platform::Clipboard
