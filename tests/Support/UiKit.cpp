#include "Support/UiKit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Host/ModalLoop.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/Dialog.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/ListBoxItem.h"
#include "QZFramework/Controls/NumericUpDown.h"
#include "QZFramework/Controls/Scrollbar.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/Controls/TextBox.h"
#include "Support/FontconfigInit.h"
#include "UI/DriverCommon/MainControl.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"

namespace QZTest {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;
namespace Shell = QZ::Platform::Shell;
using QZ::RCPtr;
using QZ::WString;

// =============================================================================================
// Inline skins
// =============================================================================================

namespace UiXml {
namespace {

std::string Attributes(const std::string& cls, const std::string& name, Rect rect) {
  return "Class=\"" + cls + "\" Name=\"" + name + "\" XPositionAbs=\"" + std::to_string(rect.x) + "\" YPositionAbs=\"" +
         std::to_string(rect.y) + "\" XSizeAbs=\"" + std::to_string(rect.width) + "\" YSizeAbs=\"" +
         std::to_string(rect.height) + "\"";
}

} // namespace

std::string Control(const std::string& cls, const std::string& name, Rect rect, const std::string& children,
                    const std::string& params, const std::string& lookList) {
  std::string xml = "<SubControl " + Attributes(cls, name, rect) + ">";
  if (!params.empty()) {
    xml += "<CreateParamList>" + params + "</CreateParamList>";
  }
  return xml + "<Skin Name=\"Kit\" LookList=\"" + lookList + "\">" + children + "</Skin></SubControl>";
}

std::string BoolParam(const std::string& id, bool value) {
  return "<CreateParam ID=\"" + id + "\" Type=\"Boolean\">" + (value ? "True" : "False") + "</CreateParam>";
}

std::string ComboBox(const std::string& name, Rect rect) {
  const std::string row = "<SubControl Class=\"Framework.ListBoxItem\" Name=\"templateItem\" XPositionAbs=\"0\" "
                          "YPositionAbs=\"0\" XSizeToControl=\"Parent\" XSizeRel=\"1\" XSizeAbs=\"0\" "
                          "YSizeAbs=\"20\"><Skin Name=\"Kit\" LookList=\"Kit.Text\"/></SubControl>";
  const std::string list = "<SubControl Class=\"Framework.ListBox\" Name=\"listBox\" XPositionAbs=\"0\" "
                           "XSizeToControl=\"Parent\" XSizeRel=\"1\" XSizeAbs=\"0\" YPositionToControl=\"Parent\" "
                           "YPositionRel=\"1\" YPositionAbs=\"2\" YSizeAbs=\"400\" ClipToParent=\"False\" "
                           "Z_Order=\"10\"><Skin Name=\"Kit\" LookList=\"Kit.Plain\">" +
                           row + "</Skin></SubControl>";
  return Control("Framework.ComboBox", name, rect, list, {}, "Kit.Text");
}

std::string UpDown(const std::string& name, Rect rect) {
  const int buttons = rect.height / 2;
  const int field = rect.width - buttons;
  return Control("Framework.NumericUpDown", name, rect,
                 Control("Framework.TextBox", "textBox", {0, 0, field, rect.height}, {}, {}, "Kit.Text") +
                     Control("Framework.Button", "buttonUp", {field, 0, buttons, buttons}) +
                     Control("Framework.Button", "buttonDown", {field, buttons, buttons, buttons}));
}

std::string Toggle(const std::string& name, Rect rect) {
  return Control("Framework.Button", name, rect, {}, BoolParam("AUTO_VALUE_SET", true));
}

std::string TextBox(const std::string& name, Rect rect) {
  return Control("Framework.TextBox", name, rect, {}, {}, "Kit.Text");
}

std::string Dialog(const std::string& name, Rect rect, const std::string& children) {
  return Control("Test.Dialog", name, rect, children);
}

namespace {

std::string Selector(const std::string& selectorClass, const std::string& name, Rect rect, const std::string& part) {
  const std::string label = Control("Framework.Label", "controlNameLabel", {0, 0, rect.width, 16}, {}, {}, "Kit.Text");
  return Control("PresetEditor.Control." + selectorClass, name, rect, label + part);
}

} // namespace

std::string ComboSelector(const std::string& selectorClass, const std::string& name, Rect rect) {
  return Selector(selectorClass, name, rect, ComboBox("comboBox", {0, 18, rect.width, rect.height - 18}));
}

std::string UpDownSelector(const std::string& selectorClass, const std::string& name, Rect rect) {
  return Selector(selectorClass, name, rect, UpDown("parameterControl", {0, 18, rect.width, rect.height - 18}));
}

std::string ToggleSelector(const std::string& selectorClass, const std::string& name, Rect rect) {
  return Selector(selectorClass, name, rect, Toggle("parameterControl", {0, 18, rect.width, rect.height - 18}));
}

} // namespace UiXml

namespace {

// The document around a kit skin: two looks and the skin "Kit".
std::string KitSkinDocument(const std::string& entries) {
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<Vandrel_Skin_Definitions><Application Name="PresetEditor">
<Colorizers>
  <Colorizer Name="Kit.Fill" ColorType="SolidFill" Color="FFE0E0E0"/>
  <Colorizer Name="Kit.Ink" ColorType="SolidFill" Color="FF101010"/>
</Colorizers>
<Parts>
  <Part Name="Kit.Fill" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Kit.Fill"/>
  <Part Name="Kit.Ink" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Kit.Ink"/>
</Parts>
<Looks>
  <Look Name="Kit.Plain"><ClientPart Name="Kit.Fill" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
  <Look Name="Kit.Text">
    <ClientPart Name="Kit.Fill" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
    <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2" TextHAlign="0"
                    TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0.5"
                    TextForegroundPart="Kit.Ink"/>
  </Look>
</Looks>
<LookLists>
  <LookList Name="Kit.Plain" NumLooks="1"><Look Name="Kit.Plain" Index="0"/></LookList>
  <LookList Name="Kit.Text" NumLooks="1"><Look Name="Kit.Text" Index="0"/></LookList>
</LookLists>
<Skins><Skin Name="Kit" FontName="Liberation Sans" FontSize="9">
)" + entries +
         R"(
</Skin></Skins>
</Application></Vandrel_Skin_Definitions>
)";
}

constexpr const char16_t* kSelectorClasses[] = {
    u"LabeledArpTypeSelector",
    u"LabeledArpLatchSelector",
    u"LabeledArpOctaveSelector",
    u"LabeledArpGateSelector",
    u"LabeledArpSwingSelector",
    u"LabeledButtonModeSelector",
    u"LabeledCCSelector",
    u"LabeledChordModeSelector",
    u"LabeledChordSmartScaleSelector",
    u"LabeledChordVoicingsSelector",
    u"LabeledClockSourceSelector",
    u"LabeledDawSettingSelector",
    u"LabeledGlobalMidiChannelSelector",
    u"LabeledKeybedSensitivity",
    u"LabeledLatchingSelector",
    u"LabeledMaxSelector",
    u"LabeledMidiChannelSelector",
    u"LabeledMinSelector",
    u"LabeledNoteSelector",
    u"LabeledPadSensitivity",
    u"LabeledPressedSelector",
    u"LabeledProgramSelector",
    u"LabeledReleasedSelector",
    u"LabeledRootNoteSelector",
    u"LabeledScaleModeScaleSelector",
    u"LabeledTimeDivisionSelector",
};

void RegisterKitClasses(QZ::LControlFactory& factory) {
  const std::pair<const char16_t*, QZ::ControlCreateFunction> classes[] = {
      {u"Framework.Label", &QZ::CreateControlOf<QZ::LLabel>},
      {u"Framework.Button", &QZ::CreateControlOf<QZ::LButton>},
      {u"Framework.Panel", &QZ::CreateControlOf<QZ::LPanel>},
      {u"Framework.ScrollView", &QZ::CreateControlOf<QZ::LScrollView>},
      {u"Framework.ScrollChannel", &QZ::CreateControlOf<QZ::LPanel>},
      {u"Framework.ScrollBar", &QZ::CreateControlOf<QZ::LScrollbar>},
      {u"Framework.TabControl", &QZ::CreateControlOf<QZ::LTabControl>},
      {u"Framework.TextBox", &QZ::CreateControlOf<QZ::LTextBox>},
      {u"Framework.NumericUpDown", &QZ::CreateControlOf<QZ::LNumericUpDown>},
      {u"Framework.ComboBox", &QZ::CreateControlOf<QZ::LComboBox>},
      {u"Framework.ListBox", &QZ::CreateControlOf<QZ::LListBox>},
      {u"Framework.ListBoxItem", &QZ::CreateControlOf<QZ::LListBoxItem>},
      {u"PresetEditor.MainControl", &QZ::CreateControlOf<QZ::LMainControl>},
      {u"Test.Device", &QZ::CreateControlOf<TestDevice>},
      {u"Test.Dialog", &QZ::CreateControlOf<QZ::LDialog>},
  };
  for (const auto& [name, create] : classes) {
    factory.RegisterControlCreateFunction(WString(name), create);
  }
  for (const char16_t* name : kSelectorClasses) {
    factory.RegisterControlCreateFunction(WString(u"PresetEditor.Control.") + WString(name),
                                          &QZ::CreateControlOf<LVariantBufferSetterParameterPanel>);
  }
}

std::u16string U16(const WString& text) { return std::u16string(text.View()); }

std::string Utf8(const WString& text) { return text.ToUTF8().GetBuffer(); }

} // namespace

// =============================================================================================
// The engine and the test device
// =============================================================================================

int32_t CountingEngine::SetParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value) {
  setCalls.push_back({descriptor.id, descriptor.qualifier, value});
  return LPresetEditorAppEngine::SetParamValue(descriptor, value);
}

int32_t CountingEngine::ApplyParamValues(const QZ::ParamDescriptors& descriptors) {
  std::vector<uint32_t> ids;
  for (uint32_t i = 0; i < descriptors.GetListCount(); ++i) {
    QZ::ParamDescriptor descriptor;
    descriptors.GetDescriptor(i, descriptor);
    ids.push_back(descriptor.id);
  }
  reRequests.push_back(ids);
  return LPresetEditorAppEngine::ApplyParamValues(descriptors);
}

int32_t CountingEngine::EnableRemoteDevicePolling(bool on) {
  pollingRequests.push_back(on);
  return QZ::QZ_OK;
}

std::vector<uint8_t> CountingEngine::Bytes(uint32_t id) {
  QZ::Variant value;
  GetParamValue(QZ::ParamDescriptor(id), value); // Empty when it has none
  uint32_t size = 0;
  const auto* data = static_cast<const uint8_t*>(value.GetData(size));
  return value.GetType() == QZ::Variant::Buffer && data ? std::vector<uint8_t>(data, data + size)
                                                        : std::vector<uint8_t>();
}

// The module of one routed id: values it is given are recorded and shown on its control.
class TestDevice::RoutedModule final : public LParameterizedModule {
public:
  RoutedModule(TestDevice& device, uint32_t relativeId) : LParameterizedModule(1), mDevice(device), mId(relativeId) {}

  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value,
                             bool fromDevice) override {
    const std::string& path = mDevice.mRoutes[mId];
    mDevice.shown.push_back({descriptor.id, path, value});
    const RCPtr<QZ::LControl> control = mDevice.FindPath(path);
    if (const auto selector = QZ::DynamicCast<LVariantBufferSetterParameterPanel>(control)) {
      return selector->SetValue(value);
    }
    if (const auto module = QZ::DynamicCast<LParameterizedModule>(control)) {
      return module->SetParamValueLocal(descriptor, value, fromDevice);
    }
    return QZ::QZ_OK;
  }

private:
  TestDevice& mDevice;
  uint32_t mId;
};

TestDevice::TestDevice(const RCPtr<QZ::LControl>& parent, const WString& name) : LPanel(parent, name) {}

RCPtr<QZ::LControl> TestDevice::FindPath(const std::string& path) const {
  RCPtr<QZ::LControl> control(const_cast<TestDevice*>(this));
  size_t start = 0;
  while (control && start <= path.size()) {
    const size_t end = path.find('/', start);
    const std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    control = control->FindChildByName(WString(name.c_str()));
    if (end == std::string::npos) {
      break;
    }
    start = end + 1;
  }
  return control;
}

void TestDevice::Route(uint32_t relativeId, const std::string& path) {
  mRoutes[relativeId] = path;
  mModules[relativeId] = RCPtr<RoutedModule>(new RoutedModule(*this, relativeId));
}

void TestDevice::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  IDevice::SetFirstParamID(owner, firstParamID, index);
  boundOwner = owner;
  boundFirstId = firstParamID;
  boundIndex = index;
  for (const auto& [id, path] : mRoutes) {
    if (const auto selector = QZ::DynamicCast<LVariantBufferSetterParameterPanel>(FindPath(path))) {
      selector->SetParameter(QZ::ParamValue(firstParamID + id));
    }
  }
}

RCPtr<LParameterizedModule> TestDevice::GetModuleForParamID(uint32_t id) {
  ++moduleLookups;
  const auto found = mModules.find(id - GetFirstParamID());
  return found == mModules.end() ? nullptr : RCPtr<LParameterizedModule>(found->second);
}

QZ::QZResult TestDevice::ReleaseInternalReferences() {
  mModules.clear();
  return LPanel::ReleaseInternalReferences();
}

// =============================================================================================
// File dialogs and the shell
// =============================================================================================

class UiKit::DialogRecorder final : public Shell::CommonDialogBackend {
public:
  explicit DialogRecorder(UiKit& kit) : mKit(kit) {}

  Outcome ShowFileDialog(bool save, Shell::OPENFILENAMEW& record, std::string&) override {
    std::u16string filter;
    for (const auto& [description, patterns] : Shell::ParseFilterList(record.lpstrFilter)) {
      filter += (filter.empty() ? u"" : u"|") + description + u"|" + patterns;
    }
    mKit.fileDialogs.push_back({save, record.lpstrTitle, filter, record.lpstrDefExt, record.lpstrInitialDir});
    if (mKit.fileDialogAnswers.empty()) {
      return Outcome::Cancelled;
    }
    std::u16string answer = mKit.fileDialogAnswers.front();
    mKit.fileDialogAnswers.erase(mKit.fileDialogAnswers.begin());
    if (answer.empty()) {
      return Outcome::Cancelled;
    }
    const size_t name = answer.rfind(u'/') + 1; // 0 without a folder
    if (save && !record.lpstrDefExt.empty() && answer.find(u'.', name) == std::u16string::npos) {
      answer += u"." + record.lpstrDefExt;
    }
    record.lpstrFile = answer;
    return Outcome::Chosen;
  }
  bool OpenWithShell(std::u16string_view file) override {
    mKit.shellOpened.emplace_back(file);
    return mKit.shellResult;
  }

private:
  UiKit& mKit;
};

// =============================================================================================
// The kit
// =============================================================================================

UiKit::UiKit(const Options& options) {
  for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
    const char* value = std::getenv(variable);
    mSavedEnvironment.emplace_back(variable, value ? value : "\x01");
  }
  ::setenv("XDG_CONFIG_HOME", (folders / "config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (folders / "data").c_str(), 1);

  mDialogs = std::make_unique<DialogRecorder>(*this);
  mPreviousDialogs = Shell::SetCommonDialogBackend(mDialogs.get());

  auto backend = std::make_unique<ScriptedVideoBackend>();
  script = backend.get();
  if (!Host::Startup(std::move(backend))) {
    ADD_FAILURE() << "the window layer does not start";
    return;
  }
  centre = QZ::LNotificationCenter::CreateNotificationCenter(WString(u"application"));
  context.SetApplicationNotificationCenter(centre.Get());

  engine = CountingEngine::Create();
  engine->Initialize(0); // its values wait in the centre for the first idle pass
  context.SetRootModuleEngine(engine.Get());
  if (options.keyboardModel >= 0) {
    keyboard = std::make_unique<Simulator::VirtualKeyboard>(options.keyboardModel, midiDevices);
    context.SetDeviceModel(options.keyboardModel);
  }

  factory = RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
  const std::string documents = QZ_RESOURCE_DOCUMENTS;
  if (options.imageFolder.empty()) {
    const std::string skinPath =
        folders.Write("KitSkins.xml", options.document.empty() ? KitSkinDocument(options.skin) : options.document);
    EXPECT_EQ(factory->LoadStringTables(WString((documents + "/StringTables.xml").c_str()),
                                        WString((documents + "/FrameworkStrings.xml").c_str()), 0x0409),
              QZ::QZ_OK);
    EXPECT_EQ(factory->LoadSkins(WString(skinPath.c_str())), QZ::QZ_OK);
  } else {
    // A skin with images is read as a skin folder: its image paths begin with the folder.
    const std::filesystem::path folder =
        std::filesystem::path(folders.Write("Skins.xml", options.document)).parent_path();
    for (const auto& image : std::filesystem::directory_iterator(options.imageFolder)) {
      std::filesystem::copy_file(image.path(), folder / image.path().filename());
    }
    for (const char* tables : {"StringTables.xml", "FrameworkStrings.xml"}) {
      std::filesystem::copy_file(std::filesystem::path(documents) / tables, folder / tables);
    }
    EXPECT_EQ(factory->LoadResources(WString(folder.c_str()), 0x0409), QZ::QZ_OK);
  }
  RegisterKitClasses(*factory);
  application.factory = factory;
  application.rootWindowForControl = [this](const RCPtr<QZ::LControl>& control, bool systemMenu) {
    return RunModal(control, systemMenu);
  };
  mEditorHost = std::make_unique<RecordingEditorUIHost>(factory->GetApplicationStringTable());
  std::filesystem::create_directories(folders / "documents");
  mEditorHost->program = WString((folders / "program").c_str());
  mEditorHost->documents = WString((folders / "documents").c_str());
  QZ::MidiManagerOptions midiOptions;
  midiOptions.midi.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(midiDevices);
  midiOptions.engine = engine;
  midiOptions.replyTimeoutMs = options.replyTimeoutMs;
  midiOptions.pollingIntervalMs = 1;
  midiOptions.stopStepMs = 1;
  mEditorHost->makeMidiManager = [midiOptions] { return QZ::LMidiManager::Create(midiOptions); };
  mEditorHost->midiManager = QZ::LMidiManager::Create(midiOptions);
  application.globalHotKeys =
      RCPtr<QZ::LGlobalHotKeyManager>(new QZ::LGlobalHotKeyManager(centre->GetPostingReceiver()));
  EXPECT_EQ(application.globalHotKeys->GetHotKeyMap().ParseDefinitions(factory->GetApplicationStringTable().Get(),
                                                                       WString(u"GHK_WIN")),
            QZ::QZ_OK);

  window = new QZ::OSWindow;
  if (!window->CreateEx(0, u"QZFrameworkWindow", u"kit", Win::WS_CAPTION | Win::WS_VISIBLE, 0, 0, options.width,
                        options.height, nullptr) ||
      window->CreateRenderer(QZ::kRendererGDI) != QZ::QZ_OK) {
    ADD_FAILURE() << "the kit's window cannot be made";
    return;
  }
  root = window->GetRootWindow();
  application.activeRootWindow = root;
  script->Push(WindowEvent(script->SdlIdOf(window->GetSafeHwnd()), SDL_WINDOWEVENT_FOCUS_GAINED));
  PumpMessages();
  if (!options.top.empty()) {
    EXPECT_EQ(root->SetRootControl(WString(options.top.c_str())), QZ::QZ_OK) << "the top control is not made";
  }
}

UiKit::~UiKit() {
  if (root) {
    root->InstallRootControl(nullptr);
  }
  root = nullptr;
  application.activeRootWindow = nullptr;
  application.rootWindows.clear();
  if (mEditorHost) {
    mEditorHost->midiManager = nullptr; // its thread stops
  }
  application.globalHotKeys = nullptr;
  keyboard.reset();
  Host::Shutdown(); // the windows left go with their objects
  context.SetApplicationNotificationCenter(nullptr);
  context.SetRootModuleEngine(nullptr);
  engine = nullptr;
  if (centre) {
    centre->Shutdown();
  }
  Shell::SetCommonDialogBackend(mPreviousDialogs);
  for (const auto& [variable, value] : mSavedEnvironment) {
    if (value == "\x01") {
      ::unsetenv(variable);
    } else {
      ::setenv(variable, value.c_str(), 1);
    }
  }
}

RCPtr<QZ::LControl> UiKit::Top() const { return root ? root->GetRootControl() : nullptr; }

RCPtr<QZ::LMainControl> UiKit::Main() const { return QZ::DynamicCast<QZ::LMainControl>(Top()); }

RCPtr<QZ::LControl> UiKit::Find(std::string_view path) const {
  RCPtr<QZ::LControl> control = Top();
  size_t start = 0;
  while (control && start < path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    const std::string name(path.substr(start, end - start));
    control = control->FindChildByName(WString(name.c_str()));
    start = end + 1;
  }
  return control;
}

TestDevice& UiKit::Device() const {
  const RCPtr<TestDevice> device = Find<TestDevice>("viewDevice");
  if (!device) {
    ADD_FAILURE() << "the tree has no test device \"viewDevice\"";
    throw std::logic_error("no test device");
  }
  return *device;
}

void UiKit::Bind() {
  if (const RCPtr<QZ::LMainControl> main = Main()) {
    main->SetFirstParamID(nullptr, engine->GetFirstParamID(), 0);
  }
}

int UiKit::PumpIdle(const std::function<bool()>& until, int maxPasses) {
  for (int pass = 1; pass <= maxPasses; ++pass) {
    PumpMessages();
    const bool more = application.DoIdleWork(true);
    if (until ? until() : !more) {
      return pass;
    }
  }
  ADD_FAILURE() << "the idle passes did not settle within " << maxPasses;
  return maxPasses;
}

void UiKit::PumpMessages() {
  Win::MSG msg;
  while (Host::PeekMessage(&msg, Win::PM_REMOVE) && msg.message != Win::WM_QUIT) {
    Host::TranslateMessage(&msg);
    Host::DispatchMessage(&msg);
  }
}

QZ::PointT<int32_t> UiKit::MiddleOf(const QZ::LControl& control) {
  const QZ::PointT<double> origin = control.GetWindowPosition();
  const QZ::RectT<double>& rect = control.GetRect();
  return {int32_t(origin.x + rect.width / 2), int32_t(origin.y + rect.height / 2)};
}

void UiKit::Click(const RCPtr<QZ::LControl>& control) {
  if (!control) {
    ADD_FAILURE() << "a click on no control";
    return;
  }
  const RCPtr<QZ::LRootWindow> target = QZ::DynamicCast<QZ::LRootWindow>(control->GetRootWindowRef());
  QZ::IWindowOSServices* os = target ? target->GetOSServices() : nullptr;
  if (!os) {
    ADD_FAILURE() << "a click on a control outside a window";
    return;
  }
  const uint32_t id = script->SdlIdOf(static_cast<Win::HWND>(os->GetHandle()));
  const QZ::PointT<int32_t> point = MiddleOf(*control);
  script->Push(MotionEvent(id, point.x, point.y));
  script->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, point.x, point.y));
  script->Push(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, point.x, point.y));
  PumpMessages();
}

void UiKit::Click(const QZ::LControl& from, std::string_view path) {
  RCPtr<QZ::LControl> control(const_cast<QZ::LControl*>(&from));
  size_t start = 0;
  while (control && start < path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    control = control->FindChildByName(WString(std::string(path.substr(start, end - start)).c_str()));
    start = end + 1;
  }
  Click(control);
}

void UiKit::Key(std::u16string_view combination) {
  if (!root->GetFocusedControl()) {
    Top()->SetFocus(true); // as a click into the window would
  }
  const QZ::KeyCode key = QZ::KeyCode::FromString(WString(std::u16string(combination).c_str()));
  root->OnKey(QZ::LKeyParam::Create(key, false));
}

bool UiKit::Choose(const RCPtr<QZ::LControl>& control, int32_t index) {
  const RCPtr<QZ::LComboBox> combo = QZ::DynamicCast<QZ::LComboBox>(control);
  if (!combo || !combo->GetListBox()) {
    ADD_FAILURE() << "Choose needs a combo box with its list";
    return false;
  }
  if (!combo->IsDroppedDown()) {
    Click(control);
  }
  const RCPtr<QZ::LListBox> list = combo->GetListBox();
  const int32_t row = list->GetRowOfItem(index);
  const RCPtr<QZ::LListBoxItem> rowControl = row >= 0 ? list->GetRowControl(row) : nullptr;
  if (rowControl && rowControl->IsShown(true)) {
    Click(rowControl);
  } else {
    list->ActivateItem(index); // Return on the item; an item out of range is refused
  }
  return combo->GetSelectedIndex() == index;
}

void UiKit::Type(const RCPtr<QZ::LControl>& textBox, std::u16string_view text) {
  if (!textBox) {
    ADD_FAILURE() << "typing into no control";
    return;
  }
  textBox->SetFocus(true);
  root->OnKey(QZ::LKeyParam::Create(QZ::KeyCode::FromString(WString(u"Ctrl+VKEY_A")), false));
  for (const char16_t unit : text) {
    root->OnKey(QZ::LKeyParam::Create(QZ::KeyCode(unit, 0), false));
  }
}

std::u16string UiKit::TextOf(const RCPtr<QZ::LControl>& control) {
  return control ? U16(control->GetText()) : std::u16string();
}

std::u16string UiKit::ToolTipOf(const RCPtr<QZ::LControl>& control) {
  return control ? U16(control->GetToolTipText()) : std::u16string();
}

void UiKit::SetMessageBoxAnswer(int32_t answer) {
  mEditorHost->SetAnswer(answer);
  application.messageBoxAnswer = answer;
}

void UiKit::WhenModalOpens(const std::u16string& name, std::vector<ModalStep> steps) {
  mModals.push_back({name, std::move(steps)});
}

namespace {

// Runs a dialog's steps from the idle passes of its modal loop, one per pass, and ends a
// loop that outlives its bound. The ticks wait in the dialog window's own queue: the
// application centre delivers nothing while the dialog was opened from one of its
// deliveries.
class ModalDriver final : public QZ::LNotificationClient {
public:
  static constexpr char16_t kTick[] = u"NID_UIKIT_MODAL_TICK";

  ModalDriver(QZ::LRootWindow& window, QZ::LControl& dialog, Win::HWND hwnd, std::vector<UiKit::ModalStep> steps,
              std::u16string name)
      : mWindow(window), mDialog(dialog), mHwnd(hwnd), mSteps(std::move(steps)), mName(std::move(name)) {}

  void Start() {
    RegisterNotification(RCPtr<QZ::LNotificationDistributor>(&mWindow), kTick);
    Post();
  }
  void Stop() { UnregisterAllNotifications(); } // how many

  QZ::QZResult ReceiveNotification(const RCPtr<QZ::LNotificationDistributor>&,
                                   const RCPtr<QZ::LNotification>&) override {
    if (!Host::IsInModalLoop(mHwnd)) {
      return QZ::QZ_OK;
    }
    if (mNext < mSteps.size()) {
      mSteps[mNext++](mDialog);
    } else if (++mPassesAfterSteps > UiKit::kIdleBound) {
      ADD_FAILURE() << "the dialog \"" << Utf8(WString(mName.c_str())) << "\" is still open " << UiKit::kIdleBound
                    << " idle passes after its last step";
      Host::EndModalLoop(mHwnd, -1);
      return QZ::QZ_OK;
    }
    Post();
    return QZ::QZ_OK;
  }

private:
  void Post() { (void)mWindow.PostNotification(QZ::LNotification::Create(kTick, nullptr)); }

  QZ::LRootWindow& mWindow;
  QZ::LControl& mDialog;
  Win::HWND mHwnd;
  std::vector<UiKit::ModalStep> mSteps;
  std::u16string mName;
  size_t mNext = 0;
  int mPassesAfterSteps = 0;
};

} // namespace

int32_t UiKit::RunModal(const RCPtr<QZ::LControl>& control, bool systemMenu) {
  application.modalControls.push_back(control->GetName());
  auto found = std::find_if(mModals.begin(), mModals.end(),
                            [&](const Modal& modal) { return control->GetName() == WString(modal.name.c_str()); });
  if (found == mModals.end()) {
    ADD_FAILURE() << "a modal dialog \"" << Utf8(control->GetName()) << "\" opened that no step closes";
    return QZ::QZ_E_FAIL;
  }
  const Modal modal = std::move(*found);
  mModals.erase(found);

  auto made = std::make_unique<QZ::OSWindow>();
  const QZ::RectT<double>& rect = control->GetRect();
  if (!made->CreateEx(Win::WS_EX_DLGMODALFRAME, u"QZFrameworkWindow", control->GetText(),
                      Win::WS_CAPTION | (systemMenu ? Win::WS_SYSMENU : 0u), 40, 40, std::max(1, int32_t(rect.width)),
                      std::max(1, int32_t(rect.height)), window->GetSafeHwnd())) {
    return QZ::QZ_E_FAIL;
  }
  QZ::OSWindow& dialogWindow = *made.release(); // its window's from now on
  if (dialogWindow.CreateRenderer(QZ::kRendererGDI) != QZ::QZ_OK) {
    return QZ::QZ_E_FAIL;
  }
  const RCPtr<QZ::LRootWindow> dialogRoot = dialogWindow.GetRootWindow();
  dialogRoot->InstallRootControl(control);
  const RCPtr<QZ::IRootWindow> previous = application.activeRootWindow;
  application.activeRootWindow = dialogRoot;
  script->Push(WindowEvent(script->SdlIdOf(dialogWindow.GetSafeHwnd()), SDL_WINDOWEVENT_FOCUS_GAINED));
  const RCPtr<ModalDriver> driver(
      new ModalDriver(*dialogRoot, *control, dialogWindow.GetSafeHwnd(), modal.steps, modal.name));
  driver->Start();
  const int32_t result = dialogWindow.GetOSServices().RunModalLoop();
  driver->Stop();
  application.activeRootWindow = previous;
  // The window manager gives the owner its focus back, which makes it take input again.
  const RCPtr<QZ::LRootWindow> owner = QZ::DynamicCast<QZ::LRootWindow>(previous);
  if (QZ::IWindowOSServices* os = owner ? owner->GetOSServices() : nullptr) {
    script->Push(WindowEvent(script->SdlIdOf(static_cast<Win::HWND>(os->GetHandle())), SDL_WINDOWEVENT_FOCUS_GAINED));
  }
  return result;
}

} // namespace QZTest
