#include "Platform/Clipboard/Clipboard.h"

#include "Platform/Clipboard/TextConversion.h"

namespace QZ::Platform::Clipboard {
namespace {

struct State {
  std::shared_ptr<Backend> backend;
  uint32_t sequence = 1;
  // This process wrote the clipboard last, as far as it knows.
  bool owned = false;
  // The text this process wrote last (valid while owned).
  std::string ownText;
  bool emptiedMark = false;
  // The round between OpenClipboard and CloseClipboard.
  bool open = false;
  bool emptying = false;
  bool pendingMark = false;
  std::string pendingText;
};

State& GetState() {
  static State state;
  return state;
}

Backend& GetBackend() {
  State& state = GetState();
  if (!state.backend) {
    state.backend = CreateSdlBackend();
  }
  return *state.backend;
}

} // namespace

void SetBackend(std::shared_ptr<Backend> backend) {
  State& state = GetState();
  const uint32_t sequence = state.sequence + 1;
  state = State{};
  state.backend = std::move(backend);
  state.sequence = sequence;
}

uint32_t GetClipboardSequenceNumber() {
  State& state = GetState();
  if (!state.owned) {
    // Another program may have changed it without telling us.
    ++state.sequence;
  }
  return state.sequence;
}

bool IsClipboardFormatAvailable(uint32_t format) {
  State& state = GetState();
  switch (format) {
  case kEmptiedFormat:
    return state.emptiedMark;
  case CF_TEXT:
  case CF_UNICODETEXT:
    if (state.emptiedMark) {
      return false;
    }
    return state.owned ? !state.ownText.empty() : GetBackend().HasText();
  default:
    return false;
  }
}

bool OpenClipboard() {
  State& state = GetState();
  if (state.open) {
    return false;
  }
  state.open = true;
  state.emptying = false;
  state.pendingMark = false;
  state.pendingText.clear();
  return true;
}

bool CloseClipboard() {
  State& state = GetState();
  if (!state.open) {
    return false;
  }
  state.open = false;
  if (!state.emptying) {
    return true;
  }
  state.emptying = false;
  if (!GetBackend().SetText(state.pendingText)) {
    return false;
  }
  ++state.sequence;
  state.owned = true;
  state.ownText = std::move(state.pendingText);
  state.pendingText.clear();
  state.emptiedMark = state.pendingMark;
  return true;
}

bool EmptyClipboard() {
  State& state = GetState();
  if (!state.open) {
    return false;
  }
  state.emptying = true;
  state.pendingMark = false;
  state.pendingText.clear();
  return true;
}

bool SetClipboardData(uint32_t format, std::u16string_view text) {
  State& state = GetState();
  if (!state.open || !state.emptying) {
    return false;
  }
  switch (format) {
  case CF_UNICODETEXT:
    state.pendingText = ToUtf8(text);
    return true;
  case kEmptiedFormat:
    state.pendingMark = true;
    return true;
  default:
    return false;
  }
}

bool GetClipboardData(uint32_t format, std::u16string& text) {
  State& state = GetState();
  if (!state.open || state.emptiedMark || (format != CF_UNICODETEXT && format != CF_TEXT)) {
    return false;
  }
  std::string utf8;
  if (!GetBackend().GetText(utf8)) {
    return false;
  }
  text = ToUtf16(utf8);
  return true;
}

bool ClipboardUpdated() {
  State& state = GetState();
  ++state.sequence;
  state.emptiedMark = false;
  const bool lost = state.owned;
  state.owned = false;
  state.ownText.clear();
  return lost;
}

} // namespace QZ::Platform::Clipboard
