// The main control between the panels and the real engine: edits go up once, announced
// values reach the module that shows their id (pairs and lists, in list order), the echo of
// a value being shown is not sent, status records and malformed lists reach no module, and
// the children it needs or tolerates.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "QZFramework/Utilities/Storage/SharedPair.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "Support/FakeApplicationContext.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"
#include "Support/TempFolder.h"
#include "UI/DriverCommon/MainControl.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;

Variant Bytes(std::initializer_list<uint8_t> bytes) {
  Variant value;
  value.SetBuffer(std::data(bytes), uint32_t(bytes.size()));
  return value;
}

// The application's engine, counting the values set and the polling asked for.
class CountingEngine final : public QZ::LPresetEditorAppEngine {
public:
  int32_t SetParamValue(const ParamDescriptor& descriptor, const Variant& value) override {
    sets.push_back(descriptor.id);
    return LPresetEditorAppEngine::SetParamValue(descriptor, value);
  }
  int32_t EnableRemoteDevicePolling(bool on) override {
    polling.push_back(on);
    return QZ::QZ_OK;
  }
  std::vector<uint32_t> sets;
  std::vector<bool> polling;
};

class SpyDevice;

// The module of one id: records what it is shown and may answer it with a request.
class SpyModule final : public LParameterizedModule {
public:
  SpyModule(SpyDevice& device, uint32_t id) : LParameterizedModule(1), mDevice(device), mId(id) {}
  int32_t SetParamValueLocal(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) override;

private:
  SpyDevice& mDevice;
  uint32_t mId;
};

// "Test.Device": the device module of the test tree.
class SpyDevice final : public QZ::LPanel, public ::IDevice {
public:
  SpyDevice(const RCPtr<QZ::LControl>& parent, const QZ::WString& name) : LPanel(parent, name) {
    for (uint32_t id : {10u, 11u, 12u}) {
      mModules[id] = RCPtr<SpyModule>(new SpyModule(*this, id));
    }
  }
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override {
    IDevice::SetFirstParamID(owner, firstParamID, index);
    bound.push_back({owner, firstParamID, index});
  }
  RCPtr<LParameterizedModule> GetModuleForParamID(uint32_t id) override {
    ++lookups;
    const auto found = mModules.find(id);
    return found == mModules.end() ? nullptr : RCPtr<LParameterizedModule>(found->second);
  }
  RCPtr<::IUserPreset> GetUserPreset() override { return nullptr; }
  RCPtr<::IGlobalPreset> GetGlobalPreset() override { return nullptr; }
  QZ::QZResult ReleaseInternalReferences() override {
    mModules.clear();
    return LPanel::ReleaseInternalReferences();
  }

  struct Binding {
    LParameterizedModule* owner;
    uint32_t first;
    uint32_t index;
  };
  std::vector<Binding> bound;
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> shown;
  int lookups = 0;
  // Each module asks for its own id again while it is shown a value, as a panel would.
  bool answerWithRequest = false;

private:
  std::map<uint32_t, RCPtr<SpyModule>> mModules;
};

int32_t SpyModule::SetParamValueLocal(const ParamDescriptor& descriptor, const Variant& value, bool) {
  uint32_t size = 0;
  const auto* data = static_cast<const uint8_t*>(value.GetData(size));
  mDevice.shown.emplace_back(descriptor.id, std::vector<uint8_t>(data, data + size));
  if (mDevice.answerWithRequest) {
    const auto main = QZ::DynamicCast<QZ::LMainControl>(mDevice.GetRootControl());
    EXPECT_EQ(main->RequestParamChange(ParamDescriptor(mId), value, 0), QZ::QZ_FALSE) << "held back";
  }
  return QZ::QZ_OK;
}

std::string Control(const std::string& cls, const std::string& name, const std::string& children = {}) {
  return "<SubControl Class=\"" + cls + "\" Name=\"" + name + "\" XSizeAbs=\"200\" YSizeAbs=\"100\">" +
         "<Skin Name=\"Test\" LookList=\"Plain\">" + children + "</Skin></SubControl>";
}

std::string SkinDocument() {
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<Vandrel_Skin_Definitions><Application Name="PresetEditor">
<Colorizers><Colorizer Name="Fill" ColorType="SolidFill" Color="FFE0E0E0"/></Colorizers>
<Parts><Part Name="Fill" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Fill"/></Parts>
<Looks><Look Name="Plain"><ClientPart Name="Fill" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look></Looks>
<LookLists><LookList Name="Plain" NumLooks="1"><Look Name="Plain" Index="0"/></LookList></LookLists>
<Skins><Skin Name="Test" FontName="Liberation Sans" FontSize="9">)" +
         Control("PresetEditor.MainControl", "mainControl", Control("Test.Device", "viewDevice")) +
         Control("PresetEditor.MainControl", "withBoth",
                 Control("Test.Device", "viewDevice") + Control("Framework.Panel", "viewStatus") +
                     Control("Framework.Panel", "panelDeviceSelector")) +
         Control("PresetEditor.MainControl", "withoutDevice") +
         Control("PresetEditor.MainControl", "panelAsDevice", Control("Framework.Panel", "viewDevice")) +
         R"(</Skin></Skins></Application></Vandrel_Skin_Definitions>)";
}

class MainControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    context.SetApplicationNotificationCenter(centre.Get());
    engine->Initialize(0);
    context.SetRootModuleEngine(engine.Get());
    centre->ProcessNotifications(false);
    factory = RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
    ASSERT_EQ(factory->LoadSkins(QZ::WString(folder.Write("Skins.xml", SkinDocument()).c_str())), QZ::QZ_OK);
    factory->RegisterControlCreateFunction(u"Framework.Panel", &QZ::CreateControlOf<QZ::LPanel>);
    factory->RegisterControlCreateFunction(u"PresetEditor.MainControl", &QZ::CreateControlOf<QZ::LMainControl>);
    factory->RegisterControlCreateFunction(u"Test.Device", &QZ::CreateControlOf<SpyDevice>);
    application.factory = factory;
    main = Make(u"mainControl");
    ASSERT_TRUE(main);
    device = QZ::DynamicCast<SpyDevice>(main->FindChildByName(u"viewDevice"));
    ASSERT_TRUE(device);
  }
  void TearDown() override {
    device = nullptr;
    if (main) {
      main->Detach();
    }
    main = nullptr;
    context.SetRootModuleEngine(nullptr);
    context.SetApplicationNotificationCenter(nullptr);
    centre->Shutdown();
  }

  RCPtr<QZ::LMainControl> Make(const char16_t* name) {
    return QZ::DynamicCast<QZ::LMainControl>(factory->CreateControlByName(QZ::WString(name), nullptr));
  }
  void Post(const RCPtr<QZ::LRefCountedObject>& data) {
    ASSERT_EQ(centre->PostNotification(QZ::LNotification::Create(u"NID_PARAM_MODULE_STATE_CHANGE", data)), QZ::QZ_OK);
    centre->ProcessNotifications(false);
  }
  static RCPtr<QZ::LRefCountedObject> Pair(uint32_t id, const Variant& value) {
    return RCPtr<QZ::LRefCountedObject>(new QZ::LParamValuePair(ParamDescriptor(id), value));
  }
  static RCPtr<QZ::LWrapper<QZ::ParamValues>> List(std::initializer_list<QZ::ParamValue> values) {
    RCPtr<QZ::LWrapper<QZ::ParamValues>> list(new QZ::LWrapper<QZ::ParamValues>);
    EXPECT_EQ(list->SetValueEntries(std::data(values), uint32_t(values.size())), QZ::QZ_OK);
    return list;
  }
  using Shown = std::vector<std::pair<uint32_t, std::vector<uint8_t>>>;

  QZTest::TempFolder folder;
  QZTest::FakeApplicationContext context;
  QZTest::FakeControlApplication application;
  RCPtr<QZ::LNotificationCenter> centre = QZ::LNotificationCenter::CreateNotificationCenter(u"application");
  RCPtr<CountingEngine> engine{new CountingEngine};
  RCPtr<QZ::LControlFactory> factory;
  RCPtr<QZ::LMainControl> main;
  RCPtr<SpyDevice> device;
};

TEST_F(MainControlTest, ListsAreAppliedInListOrderAndPairsOneByOne) {
  Post(RCPtr<QZ::LRefCountedObject>(
      List({{ParamDescriptor(10), Bytes({1})}, {ParamDescriptor(12), Bytes({3})}, {ParamDescriptor(11), Bytes({2})}})));
  EXPECT_EQ(device->shown, (Shown{{10, {1}}, {12, {3}}, {11, {2}}}));
  Post(Pair(11, Bytes({9})));
  EXPECT_EQ(device->shown, (Shown{{10, {1}}, {12, {3}}, {11, {2}}, {11, {9}}}));
  EXPECT_TRUE(engine->sets.empty());
}

TEST_F(MainControlTest, StatusRecordsEmptyValuesAndOtherDataReachNoModule) {
  Variant text;
  text.SetString("QUORIN 49 ZTR");
  Variant devices;
  devices.SetList(&text, 1); // one element: element 1 is missing
  Variant connected;
  connected.SetBool(true);
  for (const auto& [id, value] : {std::pair<uint32_t, Variant>{uint32_t(-2), connected},
                                  {uint32_t(-4), devices},
                                  {uint32_t(-8), text},
                                  {10, Variant()}}) {
    Post(Pair(id, value));
  }
  Post(RCPtr<QZ::LRefCountedObject>(new QZ::LHolder<int32_t>(10)));
  Post(nullptr);
  RCPtr<QZ::LWrapper<QZ::ParamValues>> notAList(new QZ::LWrapper<QZ::ParamValues>);
  notAList->SetBuffer("\x10\x00\x00\x00", 4); // a Buffer, not a List
  Post(RCPtr<QZ::LRefCountedObject>(notAList));
  EXPECT_EQ(device->lookups, 0);
  EXPECT_TRUE(device->shown.empty());
}

// A zero length word would never advance, one past the end names bytes that are not there:
// the whole entries before either are applied and the walk ends.
TEST_F(MainControlTest, AMalformedListAppliesTheEntriesBeforeItsBadLengthWord) {
  const RCPtr<QZ::LWrapper<QZ::ParamValues>> good =
      List({{ParamDescriptor(10), Bytes({1})}, {ParamDescriptor(11), Bytes({3})}});
  uint32_t size = 0;
  const auto* bytes = static_cast<const uint8_t*>(good->GetData(size));
  uint32_t firstLength = 0;
  std::memcpy(&firstLength, bytes, 4);
  for (const uint32_t badLength : {0u, 3u, 0x7FFFFFFFu}) {
    std::vector<uint8_t> block(bytes, bytes + firstLength);
    const uint8_t word[4] = {uint8_t(badLength), uint8_t(badLength >> 8), uint8_t(badLength >> 16),
                             uint8_t(badLength >> 24)};
    block.insert(block.end(), word, word + 4);
    block.insert(block.end(), bytes + firstLength + 4, bytes + size);
    RCPtr<QZ::LWrapper<QZ::ParamValues>> bad(new QZ::LWrapper<QZ::ParamValues>);
    ASSERT_EQ(bad->SetRaw(Variant::List, block.data(), uint32_t(block.size())), Variant::List);
    device->shown.clear();
    Post(RCPtr<QZ::LRefCountedObject>(bad));
    EXPECT_EQ(device->shown, (Shown{{10, {1}}})) << "length word " << badLength;
  }
}

TEST_F(MainControlTest, ARequestForTheParameterBeingAppliedIsHeldBackAndGoesThroughAfterwards) {
  device->answerWithRequest = true;
  Post(Pair(10, Bytes({4})));
  ASSERT_EQ(device->shown.size(), 1u);
  EXPECT_TRUE(engine->sets.empty());
  EXPECT_EQ(main->GetParamBeingApplied(), ParamDescriptor(0xFFFFFFFFu));
  EXPECT_EQ(main->RequestParamChange(ParamDescriptor(10), Bytes({4}), 0), QZ::QZ_OK);
  EXPECT_EQ(engine->sets, std::vector<uint32_t>{10});
  EXPECT_EQ(engine->sets.size(), 1u);
}

TEST_F(MainControlTest, TheTreeIsBoundFromTheEnginesFirstIdAndPollingIsOn) {
  ASSERT_EQ(device->bound.size(), 1u);
  EXPECT_EQ(device->bound[0].owner, static_cast<LParameterizedModule*>(main.Get()));
  EXPECT_EQ(device->bound[0].first, 0u);
  EXPECT_EQ(device->bound[0].index, 0u);
  EXPECT_EQ(engine->polling, std::vector<bool>{true});
  EXPECT_FALSE(main->GetStatusView());
  EXPECT_FALSE(main->GetDeviceSelectorPanel());
  EXPECT_EQ(main->GetDeviceRaw().Get(), static_cast<::IDevice*>(device.Get()));

  const RCPtr<QZ::LMainControl> both = Make(u"withBoth");
  ASSERT_TRUE(both);
  EXPECT_TRUE(both->GetStatusView());
  EXPECT_TRUE(both->GetDeviceSelectorPanel());
  both->Detach();
}

TEST_F(MainControlTest, ASkinAppliedAgainToTheWindowsTopSwitchesPollingOnAndKeepsTheBounds) {
  const RCPtr<QZTest::FakeRootWindow> window(new QZTest::FakeRootWindow);
  ASSERT_EQ(window->InstallRootControl(RCPtr<QZ::LControl>(main)), QZ::QZ_OK);
  EXPECT_EQ(factory->ReapplySkin(RCPtr<QZ::LControl>(main)), QZ::QZ_OK);
  EXPECT_EQ(engine->polling, (std::vector<bool>{true, true}));
  EXPECT_TRUE(window->frameRectRequests.empty()) << "the window keeps its bounds";
  window->InstallRootControl(nullptr);
}

TEST_F(MainControlTest, WithoutTheDeviceViewCreationFailsWithItsText) {
  for (const char16_t* name : {u"withoutDevice", u"panelAsDevice"}) {
    try {
      Make(name);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Runtime Error : Null Pointer : LMainControl couldn't find viewDevice : "
                                 "QZ::LMainControl::Initialize : UI\\DriverCommon\\MainControl : Line 39");
    }
  }
}

} // namespace
