#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/Device.h"
#include "DeviceControl/GeneratedCode/Engine/RecordingRootModule.h"
#include "Support/FakeApplicationContext.h"

namespace {

using QZ::RCPtr;
using QZ::Variant;
using QZTest::RecordingRootModule;
using Bytes = std::vector<uint8_t>;

// The defaults of the controller's parameter space, written out id range by id range.
Bytes ExpectedDefault(uint32_t id, int32_t model) {
  auto byte = [](int value) { return Bytes{uint8_t(value)}; };
  if (id >= 10 && id < 28) { // sliders: channel, cc 24 + k
    return byte((id - 10) % 2 == 0 ? 0 : 24 + (id - 10) / 2);
  }
  if (id >= 28 && id < 44) { // knobs: channel, cc 36 + k
    return byte((id - 28) % 2 == 0 ? 0 : 36 + (id - 28) / 2);
  }
  if (id >= 44 && id < 89) { // buttons: channel, mode, program/cc/note 44 + k, pressed, released
    const int offset = (id - 44) % 5;
    const int k = (id - 44) / 5;
    return byte(offset == 2 ? 44 + k : offset == 3 ? 127 : 0);
  }
  if (id >= 89 && id < 121) { // pads: channel, note 36 + k
    return byte((id - 89) % 2 == 0 ? 0 : 36 + (id - 89) / 2);
  }
  switch (id) {
  case 2: // pitch bend maximum
  case 6: // mod wheel maximum
    return byte(127);
  case 4: // mod wheel cc
    return byte(1);
  case 8: // sustain cc
    return byte(64);
  case 122: // tempo 120
    return Bytes{1, 20};
  case 127: // arpeggiator gate
    return byte(5);
  case 132: // chord user notes 1 and 2
    return byte(model == 0 ? 48 : 36);
  case 133:
    return byte(model == 0 ? 49 : 37);
  case 140: // global MIDI channel
    return byte(1);
  default:
    return byte(0);
  }
}

Bytes BytesOf(const Variant& value) {
  uint32_t size = 0;
  const auto* data = static_cast<const uint8_t*>(value.GetData(size));
  return Bytes(data, data + size);
}

class ParameterDefaultsTest : public testing::Test {
protected:
  ParameterDefaultsTest() { root->SetFirstParamID(nullptr, 0, 0); }

  // Every id's default as the module that owns it answers it, checked against the table.
  void ExpectAllDefaults(int32_t model) {
    for (uint32_t id = 0; id < 145; ++id) {
      const RCPtr<LParameterizedModule> module = root->GetModuleForParamID(id);
      ASSERT_TRUE(module) << "id " << id;
      const Variant value = module->GetParamValueDefault(id);
      EXPECT_EQ(value.GetType(), Variant::Buffer) << "id " << id;
      EXPECT_EQ(BytesOf(value), ExpectedDefault(id, model)) << "id " << id << ", model " << model;
    }
  }

  QZTest::FakeApplicationContext application;
  RCPtr<QZ::LDevice> device = QZ::LDevice::Create();
  RCPtr<RecordingRootModule> root = RecordingRootModule::Create(device);
};

TEST_F(ParameterDefaultsTest, EveryIdOnEveryKeyboardModel) {
  for (int32_t model : {0, 1, 2}) {
    application.SetDeviceModel(model);
    ExpectAllDefaults(model);
  }
}

TEST_F(ParameterDefaultsTest, AMissingModelSettingMeansThe49KeyModel) {
  ExpectAllDefaults(QZ::kDefaultDeviceModel);
  application.DropSettings();
  ExpectAllDefaults(QZ::kDefaultDeviceModel);
}

TEST_F(ParameterDefaultsTest, WithoutAnApplicationTheDefaultsAreThoseOfThe49KeyModel) {
  QZ::UninstallApplicationContext(&application);
  EXPECT_EQ(QZ::GetApplicationContext(), nullptr);
  ExpectAllDefaults(QZ::kDefaultDeviceModel);
  QZ::InstallApplicationContext(&application);
}

TEST_F(ParameterDefaultsTest, TheChordReadsTheModelOnEveryRequest) {
  const RCPtr<IChord> chord = device->GetUserPreset()->GetChord();
  application.SetDeviceModel(0);
  EXPECT_EQ(BytesOf(chord->GetParamValueDefault(133)), Bytes{49});
  application.SetDeviceModel(2);
  EXPECT_EQ(BytesOf(chord->GetParamValueDefault(133)), Bytes{37});
  EXPECT_EQ(BytesOf(chord->GetParamValueDefault(132)), Bytes{36});
}

} // namespace
