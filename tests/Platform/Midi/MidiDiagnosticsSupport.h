#pragma once
// For tests of what the MIDI backends report: a collecting diagnostic sink, and the
// environment pointing JACK clients at a server that does not exist.

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Midi/MidiTypes.h"

namespace QZTest {

// Points JACK clients at a server that does not exist, for the object's lifetime.
class NoJackServer {
public:
  NoJackServer() {
    if (const char* value = std::getenv("JACK_DEFAULT_SERVER")) {
      mSaved = value;
    }
    setenv("JACK_DEFAULT_SERVER", "qz-no-such-jack-server", 1);
  }
  ~NoJackServer() {
    if (mSaved) {
      setenv("JACK_DEFAULT_SERVER", mSaved->c_str(), 1);
    } else {
      unsetenv("JACK_DEFAULT_SERVER");
    }
  }

private:
  std::optional<std::string> mSaved;
};

// Collects the texts a sink hears, from any thread.
struct Diagnostics {
  QZ::Platform::Midi::MidiDiagnosticSink Sink() {
    return [this](const std::string& text) {
      std::lock_guard lock(mutex);
      lines.push_back(text);
    };
  }
  int CountContaining(const std::string& part) {
    std::lock_guard lock(mutex);
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; }));
  }
  std::vector<std::string> Lines() {
    std::lock_guard lock(mutex);
    return lines;
  }

  std::mutex mutex;
  std::vector<std::string> lines;
};

} // namespace QZTest
