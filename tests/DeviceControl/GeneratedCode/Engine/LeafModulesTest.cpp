#include <gtest/gtest.h>

#include <string>

#include "DeviceControl/GeneratedCode/Engine/Inc/Device.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/LeafModules.h"
#include "DeviceControl/GeneratedCode/Engine/RecordingRootModule.h"
#include "Support/HexBytes.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;
using QZTest::RecordingRootModule;

template <class Action>
std::string LogicErrorOf(Action action) {
  try {
    action();
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

Variant Byte(uint8_t value) {
  Variant v;
  v.SetBuffer(&value, 1);
  return v;
}

std::string DataHex(const Variant& value) {
  uint32_t size = 0;
  const void* data = value.GetData(size);
  return QZTest::ToHex(data, size);
}

// A whole engine tree under a recording root bound at first id 0.
struct BoundTree {
  RCPtr<QZ::LDevice> device = QZ::LDevice::Create();
  RCPtr<RecordingRootModule> root = RecordingRootModule::Create(device);

  BoundTree() { root->SetFirstParamID(nullptr, 0, 0); }
  RCPtr<IArp> Arp() { return device->GetUserPreset()->GetArp(); }
};

TEST(LeafModulesTest, TypesAreSpelledAsInTheSystemsTexts) {
  EXPECT_EQ(QZ::TypeName<QZ::LPitchbend>(), "class QZ::LPitchbend");
  EXPECT_EQ(QZ::TypeName<QZ::LSliderAndKnob>(), "class QZ::LSliderAndKnob");
  EXPECT_EQ(QZ::TypeName<QZ::LGlobalPreset>(), "class QZ::LGlobalPreset");
  EXPECT_EQ(QZ::TypeName<QZ::LUserPreset>(), "class QZ::LUserPreset");
  EXPECT_EQ(QZ::TypeName<IArp>(), "class IArp");
  const RCPtr<IArp> arp = QZ::LArp::Create();
  EXPECT_EQ(QZ::TypeName(typeid(*arp)), "class QZ::LArp");
}

TEST(LeafModulesTest, ReadsOutsideTheBlockThrowTheModulesTexts) {
  BoundTree tree;
  const RCPtr<IArp> arp = tree.Arp();
  EXPECT_EQ(LogicErrorOf([&] { arp->GetParamValueLocal(ParamDescriptor(129)); }),
            R"(Logic Error : QZ::LArp::GetParamValueLocal : ..\DeviceControl\GeneratedCode\Engine\Src\Arp : Line 116)");
  EXPECT_EQ(LogicErrorOf([&] { arp->GetParamValueLocal(ParamDescriptor(123)); }),
            R"(Logic Error : QZ::LArp::GetParamValueLocal : ..\DeviceControl\GeneratedCode\Engine\Src\Arp : Line 116)");
  EXPECT_EQ(
      LogicErrorOf([&] { arp->GetParamValueDefault(129); }),
      R"(Logic Error : QZ::LArp::GetParamValueDefault : ..\DeviceControl\GeneratedCode\Engine\Src\Arp : Line 279)");
  const RCPtr<IChord> chord = tree.device->GetUserPreset()->GetChord();
  EXPECT_EQ(
      LogicErrorOf([&] { chord->GetParamValueDefault(138); }),
      R"(Logic Error : QZ::LChord::GetParamValueDefault : ..\DeviceControl\GeneratedCode\Engine\Src\Chord : Line 279)");
  const RCPtr<IPad> pad = tree.device->GetUserPreset()->GetPad(3);
  EXPECT_EQ(LogicErrorOf([&] { pad->GetParamValueLocal(ParamDescriptor(0xFFFFFF00)); }),
            R"(Logic Error : QZ::LPad::GetParamValueLocal : ..\DeviceControl\GeneratedCode\Engine\Src\Pad : Line 116)");
}

TEST(LeafModulesTest, LocalReadsOfTheBlockComeFromTheRoot) {
  BoundTree tree;
  tree.root->cache[127] = Byte(9);
  EXPECT_EQ(tree.Arp()->GetParamValueLocal(ParamDescriptor(127)), Byte(9));
  EXPECT_EQ(tree.Arp()->GetParamValueLocal(ParamDescriptor(128)).GetType(), Variant::Empty);
}

TEST(LeafModulesTest, LocalWritesOfTheBlockClimbToTheRootAndOthersAreRefused) {
  BoundTree tree;
  const RCPtr<IArp> arp = tree.Arp();
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(124), Byte(3), true), 0);
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(128), Byte(4), false), 0);
  // Past the block, before it, and the root's own pseudo-ids: -1 and nothing climbs.
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(129), Byte(5), false), -1);
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(123), Byte(5), false), -1);
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(uint32_t(-2)), Byte(5), false), -1);
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(0xFFFFFF80), Byte(5), false), -1);

  ASSERT_EQ(tree.root->writes.size(), 2u);
  EXPECT_EQ(tree.root->writes[0].id, 124u);
  EXPECT_EQ(tree.root->writes[0].value, Byte(3));
  EXPECT_TRUE(tree.root->writes[0].fromDevice);
  EXPECT_EQ(tree.root->writes[1].id, 128u);
  EXPECT_FALSE(tree.root->writes[1].fromDevice);
  EXPECT_TRUE(tree.root->deviceWrites.empty());
}

TEST(LeafModulesTest, ModuleAddressedWritesGoToTheControllerUnlessTheyCameFromIt) {
  BoundTree tree;
  const RCPtr<IArp> arp = tree.Arp();
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(0xFFFFFF00), Byte(1), true), 1);
  EXPECT_TRUE(tree.root->deviceWrites.empty());

  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(0xFFFFFF7F), Byte(2), false), 1);
  ASSERT_EQ(tree.root->deviceWrites.size(), 1u);
  EXPECT_EQ(tree.root->deviceWrites[0].id, 0xFFFFFF7Fu);
  EXPECT_EQ(tree.root->deviceWrites[0].value, Byte(2));
  EXPECT_TRUE(tree.root->writes.empty()) << "the value bypasses the cache";
}

TEST(LeafModulesTest, ModuleAddressedWritesWithoutARootAreRefused) {
  // The top of this tree is the device, which cannot reach a controller.
  const RCPtr<QZ::LDevice> device = QZ::LDevice::Create();
  device->SetFirstParamID(nullptr, 0, 0);
  const RCPtr<IArp> arp = device->GetUserPreset()->GetArp();
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(0xFFFFFF10), Byte(1), false), -1);
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(0xFFFFFF10), Byte(1), true), 1);
}

TEST(LeafModulesTest, AnUnboundLeafPassesNothingOn) {
  const RCPtr<QZ::LArp> arp = QZ::LArp::Create();
  EXPECT_EQ(arp->GetOwner(), nullptr);
  EXPECT_EQ(arp->GetFirstParamID(), 0u);
  EXPECT_EQ(arp->GetParamCount(), 5u);
  EXPECT_EQ(arp->SetParamValue(ParamDescriptor(2), Byte(1), false), -1);
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(2), Byte(1), false), -1);
  EXPECT_EQ(arp->GetParamValue(ParamDescriptor(2)).GetType(), Variant::Empty);
  EXPECT_EQ(arp->GetParamValueLocal(ParamDescriptor(2)).GetType(), Variant::Empty);
  EXPECT_EQ(arp->UpdateCachedParamValue(ParamDescriptor(2), Byte(1)), QZ::QZ_E_FAIL);
  EXPECT_EQ(DataHex(arp->GetParamValueDefault(3)), "05");
}

TEST(LeafModulesTest, ALeafIsTheModuleOfEveryId) {
  const RCPtr<QZ::LPad> pad = QZ::LPad::Create();
  EXPECT_EQ(pad->GetModuleForParamID(0).Get(), pad.Get());
  EXPECT_EQ(pad->GetModuleForParamID(0xFFFFFFFF).Get(), pad.Get());
  EXPECT_EQ(pad->GetParamModule(500).Get(), pad.Get());
}

TEST(LeafModulesTest, BindingAcceptsOnlyTheBlockStartsOfTheKind) {
  BoundTree tree;
  const RCPtr<QZ::LSliderAndKnob> slider = QZ::LSliderAndKnob::Create();
  EXPECT_NO_THROW(slider->SetFirstParamID(tree.root.Get(), 42, 7));
  const std::string text = LogicErrorOf([&] { slider->SetFirstParamID(tree.root.Get(), 44, 8); });
  EXPECT_EQ(text.rfind("Logic Error : Invalid FirstParamID : QZ::LSliderAndKnob::SetFirstParamID : "
                       R"(..\DeviceControl\GeneratedCode\Engine\Src\SliderAndKnob : Line )",
                       0),
            0u)
      << text;
  // The binding that failed the check is kept.
  EXPECT_EQ(slider->GetOwner(), tree.root.Get());
  EXPECT_EQ(slider->GetFirstParamID(), 44u);
  EXPECT_EQ(slider->GetIndex(), 8u);

  const RCPtr<QZ::LHardwareButton> button = QZ::LHardwareButton::Create();
  EXPECT_NO_THROW(button->SetFirstParamID(tree.root.Get(), 84, 8));
  EXPECT_NE(LogicErrorOf([&] { button->SetFirstParamID(tree.root.Get(), 89, 9); }), "<nothing thrown>");
  const RCPtr<QZ::LPad> pad = QZ::LPad::Create();
  EXPECT_NO_THROW(pad->SetFirstParamID(tree.root.Get(), 119, 15));
  EXPECT_NO_THROW(pad->SetFirstParamID(tree.root.Get(), 95, 7)) << "the index is not compared with the place";
  EXPECT_EQ(
      LogicErrorOf([&] { pad->SetFirstParamID(tree.root.Get(), 121, 16); }),
      R"(Logic Error : Invalid FirstParamID : QZ::LPad::SetFirstParamID : ..\DeviceControl\GeneratedCode\Engine\Src\Pad : Line 77)");
  const RCPtr<QZ::LGlobalPreset> global = QZ::LGlobalPreset::Create();
  EXPECT_NO_THROW(global->SetFirstParamID(tree.root.Get(), 140, 0));
  EXPECT_NE(LogicErrorOf([&] { global->SetFirstParamID(tree.root.Get(), 139, 0); }), "<nothing thrown>");
}

TEST(LeafModulesTest, BlockStartsAreRelativeToTheTopModule) {
  const RCPtr<QZ::LDevice> device = QZ::LDevice::Create();
  const RCPtr<RecordingRootModule> root = RecordingRootModule::Create(device);
  root->SetFirstParamID(nullptr, 1000, 0);
  const RCPtr<IArp> arp = device->GetUserPreset()->GetArp();
  EXPECT_EQ(arp->GetFirstParamID(), 1124u);
  EXPECT_EQ(DataHex(arp->GetParamValueDefault(1127)), "05");
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(1128), Byte(1), false), 0);
  EXPECT_EQ(arp->SetParamValueLocal(ParamDescriptor(128), Byte(1), false), -1);
  // A knob keeps its knob defaults wherever the tree starts.
  EXPECT_EQ(DataHex(device->GetUserPreset()->GetKnob(0)->GetParamValueDefault(1029)), "24");
  EXPECT_EQ(DataHex(device->GetUserPreset()->GetSlider(8)->GetParamValueDefault(1027)), "20");

  const RCPtr<QZ::LSliderAndKnob> stray = QZ::LSliderAndKnob::Create();
  EXPECT_NE(LogicErrorOf([&] { stray->SetFirstParamID(root.Get(), 42, 7); }), "<nothing thrown>");
}

} // namespace
