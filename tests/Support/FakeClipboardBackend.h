#pragma once
// A system clipboard for tests, installed as the clipboard layer's backend for its lifetime:
// it holds the session's text (UTF-8) as the test scripts it, counts the backend's reads and
// writes, and can refuse either.
//
//   QZTest::ScopedFakeClipboard system;                 // installed
//   clipboard->SetText(QZ::MakeStringableWrapper(u"a"));
//   system->text;                                        // "a"; system->writes == 1
//   system->text = "b";                                  // another program copies "b"
//   clipboard->OnClipboardUpdate();                      // and the window layer reports it
//
// UI thread, like the clipboard layer.

#include <functional>
#include <memory>
#include <string>

#include "Platform/Clipboard/Clipboard.h"

namespace QZTest {

class FakeClipboardBackend final : public QZ::Platform::Clipboard::Backend {
public:
  // The session's clipboard text.
  std::string text;
  // HasText and GetText calls; SetText calls.
  int reads = 0;
  int writes = 0;
  bool refuseReads = false;
  bool refuseWrites = false;
  // Runs inside each SetText, before the text changes (a system that calls back while it
  // is written).
  std::function<void()> duringWrite;

  bool HasText() override {
    ++reads;
    return !text.empty();
  }
  bool GetText(std::string& utf8) override {
    ++reads;
    if (refuseReads) {
      return false;
    }
    utf8 = text;
    return true;
  }
  bool SetText(const std::string& utf8) override {
    ++writes;
    if (duringWrite) {
      duringWrite();
    }
    if (refuseWrites) {
      return false;
    }
    text = utf8;
    return true;
  }
};

class ScopedFakeClipboard {
public:
  ScopedFakeClipboard() { QZ::Platform::Clipboard::SetBackend(mBackend); }
  ~ScopedFakeClipboard() { QZ::Platform::Clipboard::SetBackend(nullptr); }
  ScopedFakeClipboard(const ScopedFakeClipboard&) = delete;
  ScopedFakeClipboard& operator=(const ScopedFakeClipboard&) = delete;

  FakeClipboardBackend* operator->() const { return mBackend.get(); }
  FakeClipboardBackend& operator*() const { return *mBackend; }

private:
  std::shared_ptr<FakeClipboardBackend> mBackend = std::make_shared<FakeClipboardBackend>();
};

} // namespace QZTest
