#pragma once
// Watches on a backend's devices, so that an owner who follows which devices are there
// waits for a change instead of listing them again and again.
//
//   MidiDeviceSignal signal;                                 // the backend's
//   std::unique_ptr<MidiDeviceWatch> watch = signal.Watch([&] { wake.Set(); });
//   signal.Notify();                                         // a device came: wake is set
//   watch.reset();                                           // no call runs after this
//
// A change is told, not described: the handler lists the devices again (on its own thread)
// to learn what changed. A call may come with nothing changed.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace QZ::Platform::Midi {

// Called after a device may have appeared, gone, or changed the connections of a port
// opened on it. Runs on a thread of the backend or on the thread that made the change,
// possibly while that thread holds the backend's locks: it must be short, must not call
// the backend, and must not destroy a watch.
using MidiDeviceChangeHandler = std::function<void()>;

// Destroying a watch ends it: no call of its handler runs after the destructor returns.
// Never destroy it from inside its own handler.
class MidiDeviceWatch {
public:
  virtual ~MidiDeviceWatch() = default;
};

// Several watches ended together (a facade's over its members).
class MidiDeviceWatchSet final : public MidiDeviceWatch {
public:
  void Add(std::unique_ptr<MidiDeviceWatch> watch) { mWatches.push_back(std::move(watch)); }

  // A watch over each of `members` (`watchOne(member)` gives one), or null when one of
  // them cannot be watched.
  template <typename Members, typename WatchOne>
  static std::unique_ptr<MidiDeviceWatchSet> OfEach(const Members& members, WatchOne watchOne) {
    auto watches = std::make_unique<MidiDeviceWatchSet>();
    for (const auto& member : members) {
      std::unique_ptr<MidiDeviceWatch> watch = watchOne(member);
      if (!watch) {
        return nullptr;
      }
      watches->Add(std::move(watch));
    }
    return watches;
  }

private:
  std::vector<std::unique_ptr<MidiDeviceWatch>> mWatches;
};

// Where a backend tells its watchers of changes. Any thread; it may be destroyed before
// the watches it gave out (they then hear nothing more).
class MidiDeviceSignal {
public:
  MidiDeviceSignal();
  ~MidiDeviceSignal();
  MidiDeviceSignal(const MidiDeviceSignal&) = delete;
  MidiDeviceSignal& operator=(const MidiDeviceSignal&) = delete;

  // A watch calling `onChange` at each Notify from now on.
  std::unique_ptr<MidiDeviceWatch> Watch(MidiDeviceChangeHandler onChange);
  // Calls every handler, one at a time, on this thread.
  void Notify();

private:
  struct Handlers {
    std::mutex mutex; // held while a handler runs, so that a watch ends after it
    uint64_t next = 0;
    std::map<uint64_t, MidiDeviceChangeHandler> byKey;
  };
  class Entry;

  const std::shared_ptr<Handlers> mHandlers;
};

} // namespace QZ::Platform::Midi
