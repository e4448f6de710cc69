#include "Platform/Midi/MidiDiagnosticRelay.h"

#include <utility>

namespace QZ::Platform::Midi {

MidiDiagnosticSink MidiDiagnosticRelay::Sink() {
  return [relay = shared_from_this()](const std::string& text) { relay->Report(text); };
}

void MidiDiagnosticRelay::Attach(MidiDiagnosticSink sink) {
  std::lock_guard lock(mMutex);
  mAttached = true;
  mSink = std::move(sink);
  if (mSink) {
    for (const std::string& text : mHeld) {
      mSink(text);
    }
  }
  mHeld.clear();
}

void MidiDiagnosticRelay::Report(const std::string& text) {
  // Delivered under the lock: a text reported while the held ones go out waits its turn.
  std::lock_guard lock(mMutex);
  if (!mAttached) {
    mHeld.push_back(text);
  } else if (mSink) {
    mSink(text);
  }
}

} // namespace QZ::Platform::Midi
