#include "Platform/Midi/MidiDeviceWatch.h"

#include <utility>

namespace QZ::Platform::Midi {

class MidiDeviceSignal::Entry final : public MidiDeviceWatch {
public:
  Entry(std::shared_ptr<Handlers> handlers, uint64_t key) : mHandlers(std::move(handlers)), mKey(key) {}
  ~Entry() override {
    std::lock_guard lock(mHandlers->mutex);
    mHandlers->byKey.erase(mKey);
  }

private:
  const std::shared_ptr<Handlers> mHandlers;
  const uint64_t mKey;
};

MidiDeviceSignal::MidiDeviceSignal() : mHandlers(std::make_shared<Handlers>()) {}

MidiDeviceSignal::~MidiDeviceSignal() {
  std::lock_guard lock(mHandlers->mutex);
  mHandlers->byKey.clear();
}

std::unique_ptr<MidiDeviceWatch> MidiDeviceSignal::Watch(MidiDeviceChangeHandler onChange) {
  std::lock_guard lock(mHandlers->mutex);
  const uint64_t key = mHandlers->next++;
  mHandlers->byKey.emplace(key, std::move(onChange));
  return std::make_unique<Entry>(mHandlers, key);
}

void MidiDeviceSignal::Notify() {
  std::lock_guard lock(mHandlers->mutex);
  for (const auto& [key, handler] : mHandlers->byKey) {
    if (handler) {
      handler();
    }
  }
}

} // namespace QZ::Platform::Midi
