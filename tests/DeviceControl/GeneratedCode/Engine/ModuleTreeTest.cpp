#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/Device.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "DeviceControl/GeneratedCode/Engine/RecordingRootModule.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;
using QZTest::RecordingRootModule;
namespace Layout = QZ::ParameterLayout;

template <class Exception, class Action>
std::string TextOf(Action action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

struct BoundTree {
  RCPtr<QZ::LDevice> device = QZ::LDevice::Create();
  RCPtr<RecordingRootModule> root = RecordingRootModule::Create(device);
  RCPtr<IUserPreset> preset = device->GetUserPreset();

  BoundTree() { root->SetFirstParamID(nullptr, 0, 0); }
};

TEST(ModuleTreeTest, IdsRouteToTheirOwners) {
  BoundTree tree;
  EXPECT_EQ(tree.preset->GetModuleForParamID(27).Get(), tree.preset->GetSlider(8).Get());
  EXPECT_EQ(tree.preset->GetModuleForParamID(28).Get(), tree.preset->GetKnob(0).Get());
  EXPECT_EQ(tree.preset->GetModuleForParamID(88).Get(), tree.preset->GetHardwareButton(8).Get());
  EXPECT_EQ(tree.preset->GetModuleForParamID(89).Get(), tree.preset->GetPad(0).Get());
  EXPECT_EQ(tree.preset->GetModuleForParamID(120).Get(), tree.preset->GetPad(15).Get());
  EXPECT_EQ(tree.preset->GetModuleForParamID(139).Get(), tree.preset->GetScale().Get());
  EXPECT_EQ(tree.preset->GetModuleForParamID(140), nullptr);
  EXPECT_EQ(tree.preset->GetModuleForParamID(0xFFFFFFFF), nullptr);
  EXPECT_EQ(tree.device->GetModuleForParamID(140).Get(), tree.device->GetGlobalPreset().Get());
  EXPECT_EQ(tree.device->GetModuleForParamID(144).Get(), tree.device->GetGlobalPreset().Get());
  EXPECT_EQ(tree.device->GetModuleForParamID(145), nullptr);
  EXPECT_EQ(tree.root->GetModuleForParamID(145), nullptr);
  EXPECT_EQ(tree.root->GetModuleForParamID(uint32_t(-2)), nullptr);
  EXPECT_EQ(tree.root->GetParamModule(0).Get(), tree.preset->GetPitchbend().Get());
}

TEST(ModuleTreeTest, EveryIdReachesTheModuleTheLayoutNames) {
  BoundTree tree;
  for (const Layout::ParameterEntry& entry : Layout::kParameterTable) {
    const RCPtr<LParameterizedModule> module = tree.root->GetModuleForParamID(entry.id);
    ASSERT_TRUE(module) << "id " << entry.id;
    EXPECT_EQ(entry.id - module->GetFirstParamID(), entry.offset) << "id " << entry.id;
    EXPECT_EQ(module->GetIndex(), entry.instance) << "id " << entry.id;
    EXPECT_EQ(module->GetParamCount(), Layout::GetModuleLayout(entry.module).ParamCount()) << "id " << entry.id;
  }
}

TEST(ModuleTreeTest, BindingNumbersTheWholeTree) {
  BoundTree tree;
  EXPECT_EQ(tree.preset->GetKnob(7)->GetFirstParamID(), 42u);
  EXPECT_EQ(tree.preset->GetKnob(7)->GetIndex(), 7u);
  EXPECT_EQ(tree.preset->GetHardwareButton(8)->GetFirstParamID(), 84u);
  EXPECT_EQ(tree.preset->GetHardwareButton(8)->GetIndex(), 8u);
  EXPECT_EQ(tree.device->GetGlobalPreset()->GetFirstParamID(), 140u);
  EXPECT_EQ(tree.device->GetGlobalPreset()->GetOwner(), tree.device.Get());
  EXPECT_EQ(tree.preset->GetOwner(), tree.device.Get());
  EXPECT_EQ(tree.device->GetOwner(), tree.root.Get());
  EXPECT_EQ(tree.preset->GetScale()->GetOwner(), tree.preset.Get());
}

TEST(ModuleTreeTest, ATreeBoundElsewhereRoutesRelativeToItsFirstId) {
  const RCPtr<QZ::LDevice> device = QZ::LDevice::Create();
  const RCPtr<RecordingRootModule> root = RecordingRootModule::Create(device);
  root->SetFirstParamID(nullptr, 500, 0);
  EXPECT_EQ(root->GetModuleForParamID(527).Get(), device->GetUserPreset()->GetSlider(8).Get());
  EXPECT_EQ(root->GetModuleForParamID(644).Get(), device->GetGlobalPreset().Get());
  EXPECT_EQ(root->GetModuleForParamID(645), nullptr);
  EXPECT_EQ(root->GetModuleForParamID(27), nullptr) << "ids below the first id wrap to large offsets";
}

TEST(ModuleTreeTest, ValuesSetByIdClimbToTheRoot) {
  BoundTree tree;
  Variant gate;
  const uint8_t seven = 7;
  gate.SetBuffer(&seven, 1);
  EXPECT_EQ(tree.root->SetParamValueByID(ParamDescriptor(127), gate), 0);
  ASSERT_EQ(tree.root->writes.size(), 1u);
  EXPECT_EQ(tree.root->writes[0].id, 127u);
  EXPECT_FALSE(tree.root->writes[0].fromDevice);
  Variant read;
  EXPECT_EQ(tree.root->GetParamValueByID(ParamDescriptor(127), read), 0);
  EXPECT_EQ(read, gate);
}

TEST(ModuleTreeTest, CompositesOwnNoParameters) {
  BoundTree tree;
  const std::string write = R"(Logic Error : LParameterizedModule::SetParamValueLocal : )"
                            R"(DeviceControl\GeneratedCode\Engine\Inc\RootModuleInterface : Line 109)";
  const std::string read = R"(Logic Error : LParameterizedModule::GetParamValueLocal : )"
                           R"(DeviceControl\GeneratedCode\Engine\Inc\RootModuleInterface : Line 123)";
  EXPECT_EQ(TextOf<std::logic_error>([&] { tree.preset->SetParamValueLocal(ParamDescriptor(5), Variant(), false); }),
            write);
  EXPECT_EQ(TextOf<std::logic_error>([&] { tree.device->SetParamValueLocal(ParamDescriptor(140), Variant(), true); }),
            write);
  EXPECT_EQ(TextOf<std::logic_error>([&] { tree.device->GetParamValueLocal(ParamDescriptor(5)); }), read);
  EXPECT_EQ(TextOf<std::logic_error>([&] { tree.root->SetParamValueLocal(ParamDescriptor(uint32_t(-2)), {}, false); }),
            write);

  // A module-addressed id is passed to the owner.
  EXPECT_EQ(tree.preset->SetParamValueLocal(ParamDescriptor(0xFFFFFF20), Variant(), false), 0);
  ASSERT_EQ(tree.root->writes.size(), 1u);
  EXPECT_EQ(tree.root->writes[0].id, 0xFFFFFF20u);
  EXPECT_EQ(tree.root->SetParamValueLocal(ParamDescriptor(0xFFFFFF20), Variant(), false), -1);
}

TEST(ModuleTreeTest, IndexedChildrenAreCheckedAgainstTheirCounts) {
  BoundTree tree;
  EXPECT_TRUE(tree.preset->GetSlider(Layout::kSliderCount - 1));
  EXPECT_EQ(
      TextOf<std::out_of_range>([&] { tree.preset->GetSlider(Layout::kSliderCount); }),
      R"(Out of Range : QZ::LUserPreset::GetSlider : ..\DeviceControl\GeneratedCode\Engine\Src\UserPreset : Line 156)");
  EXPECT_NE(TextOf<std::out_of_range>([&] { tree.preset->GetKnob(Layout::kKnobCount); }), "<nothing thrown>");
  EXPECT_NE(TextOf<std::out_of_range>([&] { tree.preset->GetHardwareButton(Layout::kHardwareButtonCount); }),
            "<nothing thrown>");
  const IUserPreset& readOnly = *tree.preset;
  EXPECT_NE(TextOf<std::out_of_range>([&] { readOnly.GetPad(0xFFFFFFFF); }), "<nothing thrown>");
  EXPECT_EQ(readOnly.GetPad(15).Get(), tree.preset->GetPad(15).Get());
}

TEST(ModuleTreeTest, AFailedChildBindingStopsTheParentsBinding) {
  // A device one id off its place: its first child already fails the check.
  const RCPtr<QZ::LDevice> device = QZ::LDevice::Create();
  const RCPtr<RecordingRootModule> root = RecordingRootModule::Create(nullptr);
  EXPECT_EQ(
      TextOf<std::logic_error>([&] { device->SetFirstParamID(root.Get(), 1, 0); }),
      R"(Logic Error : Invalid FirstParamID : QZ::LPitchbend::SetFirstParamID : ..\DeviceControl\GeneratedCode\Engine\Src\Pitchbend : Line 77)");
  const RCPtr<IUserPreset> preset = device->GetUserPreset();
  EXPECT_EQ(preset->GetPitchbend()->GetFirstParamID(), 1u);
  EXPECT_EQ(preset->GetModWheel()->GetOwner(), nullptr);
  EXPECT_EQ(device->GetGlobalPreset()->GetOwner(), nullptr);
}

TEST(ModuleTreeTest, ReplacingChildrenReleasesTheOldOnes) {
  const RCPtr<QZ::LUserPreset> preset = QZ::LUserPreset::Create();
  const RCPtr<IPad> oldPad = preset->GetPad(4);
  EXPECT_EQ(oldPad->GetRefCount(), 2);
  preset->CreateChildren();
  EXPECT_EQ(oldPad->GetRefCount(), 1);
  EXPECT_NE(preset->GetPad(4).Get(), oldPad.Get());
}

// An edit-panel style user preset: children of its own that log what reaches them.
using Log = std::vector<std::string>;

template <class Interface>
class LoggingLeaf : public Interface {
public:
  LoggingLeaf(Log& log, std::string name) : mLog(log), mName(std::move(name)) {}
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override {
    Interface::SetFirstParamID(owner, firstParamID, index);
    mLog.push_back(mName + " " + std::to_string(firstParamID) + "/" + std::to_string(index));
  }
  void PropagateHookA() override { mLog.push_back("A " + mName); }
  void PropagateHookB() override { mLog.push_back("B " + mName); }

private:
  Log& mLog;
  std::string mName;
};

class LoggingUserPreset : public IUserPreset {
public:
  explicit LoggingUserPreset(Log& log) : mLog(log) {}

  using IUserPreset::GetArp;
  using IUserPreset::GetChord;
  using IUserPreset::GetClock;
  using IUserPreset::GetHardwareButton;
  using IUserPreset::GetKnob;
  using IUserPreset::GetModWheel;
  using IUserPreset::GetPad;
  using IUserPreset::GetPitchbend;
  using IUserPreset::GetScale;
  using IUserPreset::GetSlider;
  using IUserPreset::GetSustain;
  RCPtr<IPitchbend> GetPitchbend() override { return nullptr; } // a panel without this child
  RCPtr<IModWheel> GetModWheel() override { return Make<IModWheel>("modwheel"); }
  RCPtr<ISustain> GetSustain() override { return nullptr; }
  RCPtr<ISliderAndKnob> GetSlider(uint32_t i) override { return i == 8 ? Make<ISliderAndKnob>("slider8") : nullptr; }
  RCPtr<ISliderAndKnob> GetKnob(uint32_t i) override { return i == 0 ? Make<ISliderAndKnob>("knob0") : nullptr; }
  RCPtr<IHardwareButton> GetHardwareButton(uint32_t i) override {
    return i == 2 ? Make<IHardwareButton>("button2") : nullptr;
  }
  RCPtr<IPad> GetPad(uint32_t i) override { return i == 15 ? Make<IPad>("pad15") : nullptr; }
  RCPtr<IClock> GetClock() override { return nullptr; }
  RCPtr<IArp> GetArp() override { return nullptr; }
  RCPtr<IChord> GetChord() override { return nullptr; }
  RCPtr<IScale> GetScale() override { return Make<IScale>("scale"); }

private:
  // One child per name, made on first use.
  template <class Interface>
  RCPtr<Interface> Make(const std::string& name) {
    RCPtr<LParameterizedModule>& child = mChildren[name];
    if (!child) {
      child = RCPtr<LParameterizedModule>(new LoggingLeaf<Interface>(mLog, name));
    }
    return QZ::DynamicCast<Interface>(child);
  }

  Log& mLog;
  std::map<std::string, RCPtr<LParameterizedModule>> mChildren;
};

TEST(ModuleTreeTest, TheInterfacesBindAndPropagateInBlockOrderSkippingMissingChildren) {
  Log log;
  const RCPtr<LoggingUserPreset> preset(new LoggingUserPreset(log));
  preset->SetFirstParamID(nullptr, 1000, 0);
  EXPECT_EQ(log, (Log{"modwheel 1003/0", "slider8 1026/8", "knob0 1028/0", "button2 1054/2", "pad15 1119/15",
                      "scale 1138/0"}));
  EXPECT_EQ(preset->GetModuleForParamID(1000), nullptr) << "no pitch bend child";
  EXPECT_EQ(preset->GetModuleForParamID(1055).Get(), preset->GetHardwareButton(2).Get());

  log.clear();
  preset->PropagateHookA();
  preset->PropagateHookB();
  EXPECT_EQ(log, (Log{"A modwheel", "A slider8", "A knob0", "A button2", "A pad15", "A scale", "B modwheel",
                      "B slider8", "B knob0", "B button2", "B pad15", "B scale"}));
}

} // namespace
