#pragma once
// The MIDI manager's bench: an installed fake application whose "application" centre
// counts what it delivers, the preset editor's engine, and the virtual keyboard on a
// private registry that the manager's ports open on.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "Engine/PresetEditorCommon/MidiManager.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "QZFramework/Services/Midi/MidiRenderPort.h"
#include "Simulator/Keyboard/VirtualKeyboard.h"
#include "Support/FakeApplicationContext.h"
#include "Support/WaitUntil.h"

namespace QZTest {

using Message = std::vector<uint8_t>;

inline QZ::Variant BufferOf(const Message& bytes) {
  QZ::Variant value;
  value.SetBuffer(bytes.data(), uint32_t(bytes.size()));
  return value;
}

// The engine's bytes of ids first .. first + count - 1, in id order.
inline Message EngineBytes(LRootModuleEngine& engine, uint32_t first, uint32_t count = 1) {
  Message bytes;
  for (uint32_t id = first; id < first + count; ++id) {
    QZ::Variant value;
    engine.GetParamValue(QZ::ParamDescriptor(id), value);
    uint32_t size = 0;
    const auto* data = static_cast<const uint8_t*>(value.GetData(size));
    bytes.insert(bytes.end(), data, data + size);
  }
  return bytes;
}

struct MidiBench {
  struct Counter final : QZ::LNotificationClient {
    QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                     const QZ::RCPtr<QZ::LNotification>&) override {
      return ++count, QZ::QZ_OK;
    }
    int count = 0;
  };

  MidiBench() {
    application.SetApplicationNotificationCenter(centre.Get());
    heard->RegisterNotification(centre, LRootModuleEngine::kParamModuleStateChange);
    engine->Initialize(0);
    application.SetRootModuleEngine(engine.Get());
    Drain();
  }
  ~MidiBench() { heard->UnregisterAllNotifications(); }

  QZ::MidiManagerOptions Options(uint32_t replyTimeoutMs = 5000) {
    QZ::MidiManagerOptions options;
    options.midi.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(registry);
    options.replyTimeoutMs = replyTimeoutMs;
    options.pollingIntervalMs = 1;
    options.watchedPollingIntervalMs = 1;
    options.stopStepMs = 1;
    return options;
  }
  QZ::RCPtr<QZ::LMidiManager> CreateManager(uint32_t replyTimeoutMs = 5000) {
    return QZ::LMidiManager::Create(Options(replyTimeoutMs));
  }
  // Delivers what the centre holds: how many engine announcements.
  int Drain() {
    centre->ProcessNotifications(false);
    return std::exchange(heard->count, 0);
  }
  // Page 0 with the range {0, 140}, or page 1 with {140, 5}.
  void SelectPage(QZ::LMidiManager& midi, int32_t page) {
    application.SetCurrentEditorPage(page);
    midi.SetParamRange(page == 0 ? QZ::ParamIdRange{0, 140} : QZ::ParamIdRange{140, 5});
  }

  QZ::Platform::Midi::VirtualMidiRegistry registry; // first: devices and ports go before it
  FakeApplicationContext application;
  QZ::RCPtr<QZ::LNotificationCenter> centre =
      QZ::LNotificationCenter::CreateNotificationCenter(QZ::WString(u"application"));
  QZ::RCPtr<Counter> heard{new Counter};
  QZ::RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
  Simulator::VirtualKeyboard keyboard{QZ::kDeviceModel49Keys, registry};
};

} // namespace QZTest
