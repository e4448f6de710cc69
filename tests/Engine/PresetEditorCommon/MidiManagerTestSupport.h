#pragma once
// The MIDI manager's test bench: an installed fake application with an "application"
// centre that counts the engine's announcements, the preset editor's engine, and the
// virtual keyboard on a private registry that the manager's ports are opened on.
//
//   QZTest::MidiBench bench;                        // model 1, user page
//   auto midi = bench.CreateManager();              // ports open on the keyboard
//   bench.keyboard.Memory().SetParam(5, ...);

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "DeviceControl/PresetEditorAppEngine.h"
#include "Engine/PresetEditorCommon/MidiManager.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/Midi/MidiRenderPort.h"
#include "Simulator/Keyboard/VirtualKeyboard.h"
#include "Support/FakeApplicationContext.h"

namespace QZTest {

using Message = std::vector<uint8_t>;

inline QZ::Variant BufferOf(const Message& bytes) {
  QZ::Variant value;
  value.SetBuffer(bytes.data(), uint32_t(bytes.size()));
  return value;
}

inline Message BytesOf(const QZ::Variant& value) {
  uint32_t size = 0;
  const auto* data = static_cast<const uint8_t*>(value.GetData(size));
  return Message(data, data + size);
}

// Polls until done holds, at most 20 s; for conditions that nothing signals.
template <class Done>
bool Eventually(Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Counts what the application centre delivers, by name.
class DeliveryCounter final : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    names.emplace_back(notification->GetID());
    return QZ::QZ_OK;
  }
  size_t Count(std::u16string_view name) const { return size_t(std::count(names.begin(), names.end(), name)); }
  std::vector<std::u16string> names;
};

struct MidiBench {
  explicit MidiBench(int32_t model = QZ::kDeviceModel49Keys) : keyboard(model, registry) {
    application.SetDeviceModel(model);
    application.SetApplicationNotificationCenter(centre.Get());
    heard->RegisterNotification(centre, LRootModuleEngine::kParamModuleStateChange);
    engine->Initialize(0);
    application.SetRootModuleEngine(engine.Get());
    Drain();
  }
  ~MidiBench() { heard->UnregisterAllNotifications(); }

  // Short waits: a test that expects a reply gets it long before the time-out.
  QZ::MidiManagerOptions Options(uint32_t replyTimeoutMs = 5000) {
    QZ::MidiManagerOptions options;
    options.midi.backend = std::make_shared<QZ::Platform::VirtualMidiBackend>(registry);
    options.replyTimeoutMs = replyTimeoutMs;
    options.pollingIntervalMs = 1;
    options.stopStepMs = 1;
    return options;
  }
  QZ::RCPtr<QZ::LMidiManager> CreateManager(uint32_t replyTimeoutMs = 5000) {
    return QZ::LMidiManager::Create(Options(replyTimeoutMs));
  }

  // Delivers what the centre holds; the names delivered.
  std::vector<std::u16string> Drain() {
    centre->ProcessNotifications(false);
    return std::exchange(heard->names, {});
  }

  // Page 0 with the range {0, 140}, or page 1 with {140, 5}.
  void SelectPage(QZ::LMidiManager& midi, int32_t page) {
    application.SetCurrentEditorPage(page);
    midi.SetParamRange(page == 0 ? QZ::ParamIdRange{0, 140} : QZ::ParamIdRange{140, 5});
  }

  Message EngineValue(uint32_t id) {
    QZ::Variant value;
    engine->GetParamValue(QZ::ParamDescriptor(id), value);
    return BytesOf(value);
  }
  // The engine's bytes of ids first .. first + count - 1, in id order.
  Message EngineBytes(uint32_t first, uint32_t count) {
    Message bytes;
    for (uint32_t id = first; id < first + count; ++id) {
      const Message value = EngineValue(id);
      bytes.insert(bytes.end(), value.begin(), value.end());
    }
    return bytes;
  }

  QZ::Platform::VirtualMidiRegistry registry; // first: devices and ports go before it
  FakeApplicationContext application;
  QZ::RCPtr<QZ::LNotificationCenter> centre =
      QZ::LNotificationCenter::CreateNotificationCenter(QZ::WString(u"application"));
  QZ::RCPtr<DeliveryCounter> heard{new DeliveryCounter};
  QZ::RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
  Simulator::VirtualKeyboard keyboard;
};

} // namespace QZTest
