#pragma once
// Holds what a backend reports before anyone listens, and hands it on in order once a
// sink is attached: a system made ahead of its owner reports through a relay, so that
// its texts reach the owner's sink as if the owner had made it.
//
//   auto relay = std::make_shared<MidiDiagnosticRelay>();
//   RtMidiBackendOptions options;
//   options.diagnostics = relay->Sink();   // held from now on
//   ...
//   relay->Attach(ownersSink);             // the held texts first, then each as it comes

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Platform/Midi/MidiTypes.h"

namespace QZ::Platform::Midi {

class MidiDiagnosticRelay final : public std::enable_shared_from_this<MidiDiagnosticRelay> {
public:
  // A sink that reports to this relay and keeps it alive. The relay must be owned by a
  // shared_ptr. Any thread.
  MidiDiagnosticSink Sink();
  // Hands every text held so far to `sink`, in the order reported, then each later one as
  // it comes; a null sink drops them. Once. Any thread; `sink` runs under the relay's lock,
  // so it must not report to this relay itself.
  void Attach(MidiDiagnosticSink sink);

private:
  void Report(const std::string& text);

  std::mutex mMutex;
  bool mAttached = false;
  std::vector<std::string> mHeld;
  MidiDiagnosticSink mSink;
};

} // namespace QZ::Platform::Midi
