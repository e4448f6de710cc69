#pragma once
// QZTest::UiKit: the editor's user interface built for a test, without any display. A kit
// is the whole neighbourhood of the editor's panels: the control factory with the program's
// string tables and a skin (inline XML, or the program's skins), the widget and editor
// classes registered under their skin names, a window of SDL's offscreen driver whose root
// window holds the tree (scripted backend: no X display, a fake clock), the real offline
// engine (QZ::LPresetEditorAppEngine, Initialize(0)) behind a counting subclass, a MIDI
// manager on the in-process virtual backend (optionally with a virtual keyboard) that the
// editor's host makes anew for another keyboard model, the "GHK_WIN" hot keys posted to the
// application centre, temporary XDG and documents folders, and recorders of message boxes,
// file dialogs (a saved name without an extension gets the default one, as the system's
// dialog gives it) and the shell's open action.
//
//   QZTest::UiKit::Options options;
//   options.skin = QZTest::UiXml::Control("PresetEditor.MainControl", "mainControl", {0, 0, 400, 300},
//       QZTest::UiXml::Control("Test.Device", "viewDevice", {0, 0, 400, 300},
//           QZTest::UiXml::ComboSelector("LabeledArpGateSelector", "gate", {10, 10, 120, 42})));
//   QZTest::UiKit kit(options);                       // tree built, engine values delivered
//   kit.Device().Route(127, "gate");                  // id 127 is shown on "gate"
//   kit.Bind();                                       // the main control binds the tree again
//   auto gate = kit.Find<LVariantBufferSetterParameterPanel>("viewDevice/gate");
//   kit.Choose(kit.Find("viewDevice/gate/comboBox"), 8);   // the user picks "80 %"
//   kit.engine->setCalls.size();                      // 1: {127, {08}}
//   kit.PumpIdle();                                   // the engine's announcement comes back
//
//   // A dialog: the steps run inside its modal loop, then it must be closed by them.
//   kit.WhenModalOpens("dialogAbout", {[&](QZ::LControl& dialog) { kit.Click(dialog, "buttonOK"); }});
//
// Paths name controls by their skin names below the top control, separated by '/'. Clicks
// are the window layer's events at the control's place in its window, through the OS window
// and the root window; keys go to the root window's key input (OnKey) as the OS window
// hands them on. Everything on the test's thread; one kit at a time.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "Engine/PresetEditorCommon/MidiManager.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "Platform/Shell/CommonDialogs.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "Simulator/Keyboard/VirtualKeyboard.h"
#include "Support/FakeApplicationContext.h"
#include "Support/FakeControlApplication.h"
#include "Support/RecordingEditorUIHost.h"
#include "Support/ScriptedVideoBackend.h"
#include "Support/TempFolder.h"

namespace QZ {
class LMainControl;
}

namespace QZTest {

// Pieces of inline skins: SubControl elements with the kit's plain looks ("Kit.Plain" a
// solid fill, "Kit.Text" a fill with centred text). rect is x, y, width, height.
namespace UiXml {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// A control of class cls named name with children (SubControl elements), create
// parameters (CreateParam elements) and a look list.
std::string Control(const std::string& cls, const std::string& name, Rect rect, const std::string& children = {},
                    const std::string& params = {}, const std::string& lookList = "Kit.Plain");
// A boolean create parameter.
std::string BoolParam(const std::string& id, bool value);
// A combo box with its list ("listBox", rows from "templateItem").
std::string ComboBox(const std::string& name, Rect rect);
// A numeric up-down ("textBox", "buttonUp", "buttonDown").
std::string UpDown(const std::string& name, Rect rect);
// A toggle button ("AUTO_VALUE_SET" True).
std::string Toggle(const std::string& name, Rect rect);
// A text box.
std::string TextBox(const std::string& name, Rect rect);
// A plain QZ::LDialog ("Test.Dialog") with children.
std::string Dialog(const std::string& name, Rect rect, const std::string& children);
// "PresetEditor.Control.<selectorClass>" with its "controlNameLabel" and a "comboBox", an
// up-down or a toggle as its "parameterControl".
std::string ComboSelector(const std::string& selectorClass, const std::string& name, Rect rect);
std::string UpDownSelector(const std::string& selectorClass, const std::string& name, Rect rect);
std::string ToggleSelector(const std::string& selectorClass, const std::string& name, Rect rect);

} // namespace UiXml

// The application's engine, counting what the user interface asks of it. Polling requests
// are recorded and not passed on: no engine thread runs under the kit.
class CountingEngine final : public QZ::LPresetEditorAppEngine {
public:
  struct SetCall {
    uint32_t id;
    QZ::Variant qualifier;
    QZ::Variant value;
  };

  static QZ::RCPtr<CountingEngine> Create() { return QZ::RCPtr<CountingEngine>(new CountingEngine); }

  int32_t SetParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value) override;
  // Records the ids asked for, then announces them as the engine does.
  int32_t ApplyParamValues(const QZ::ParamDescriptors& descriptors) override;
  int32_t EnableRemoteDevicePolling(bool on) override;

  // The bytes the engine holds for id (empty when the value is no buffer).
  std::vector<uint8_t> Bytes(uint32_t id);

  std::vector<SetCall> setCalls;
  // The ids of each ApplyParamValues call.
  std::vector<std::vector<uint32_t>> reRequests;
  std::vector<bool> pollingRequests;

private:
  CountingEngine() = default;
};

// "Test.Device": the device module of a test tree, a panel whose ids are routed to named
// descendants. A route's descendant shows the values the main control applies when it is a
// labelled selector (SetValue), and is bound by SetFirstParamID (SetParameter with
// first id + relative id); a descendant that is a parameter module (an edit page, a view)
// gets them through its SetParamValueLocal and is bound by the test. Every value applied
// through the device is recorded.
class TestDevice final : public QZ::LPanel, public ::IDevice {
public:
  struct Shown {
    uint32_t id;
    std::string path;
    QZ::Variant value;
  };

  TestDevice(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Shows id (relative to the device's first id) on the descendant at path.
  void Route(uint32_t relativeId, const std::string& path);

  // Stores the fields, then binds every routed selector.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // The module of a routed id; null for any other id. Each call is counted.
  QZ::RCPtr<LParameterizedModule> GetModuleForParamID(uint32_t id) override;
  QZ::RCPtr<::IUserPreset> GetUserPreset() override { return nullptr; }
  QZ::RCPtr<::IGlobalPreset> GetGlobalPreset() override { return nullptr; }

  // The descendant at path ('/' between names); null when absent.
  QZ::RCPtr<QZ::LControl> FindPath(const std::string& path) const;

  QZ::QZResult ReleaseInternalReferences() override;

  std::vector<Shown> shown;
  int moduleLookups = 0;
  // SetFirstParamID's arguments, last call.
  LParameterizedModule* boundOwner = nullptr;
  uint32_t boundFirstId = 0xFFFFFFFFu;
  uint32_t boundIndex = 0xFFFFFFFFu;

private:
  class RoutedModule;

  std::map<uint32_t, std::string> mRoutes;
  std::map<uint32_t, QZ::RCPtr<RoutedModule>> mModules;
};

// A file dialog the user interface opened.
struct FileDialogCall {
  bool save = false;
  std::u16string title;
  std::u16string filter; // pairs separated by '|'
  std::u16string defaultExtension;
  std::u16string folder;
};

class UiKit {
public:
  struct Options {
    // The top-level SubControl elements of an inline skin (UiXml) in the kit's document, with
    // the kit's looks.
    std::string skin;
    // A whole skin document in place of the kit's (skin is then not used); its current skin
    // is its first.
    std::string document;
    // A folder whose files (the skin's images) are copied beside the document; empty: none.
    std::string imageFolder;
    // The skin entry made as the window's top control; empty: none until the test sets one.
    std::u16string top = u"mainControl";
    int32_t width = 1200;
    int32_t height = 850;
    // A virtual keyboard of this model on the MIDI manager's backend (-1: none) and the
    // manager's reply time-out: long enough that a loaded, sanitized run still hears a
    // reply on the first try; only a test of a keyboard that never answers waits it out.
    int32_t keyboardModel = -1;
    uint32_t replyTimeoutMs = 500;
  };

  // How many idle passes PumpIdle and a modal dialog get before the test fails.
  static constexpr int kIdleBound = 200;

  explicit UiKit(const Options& options);
  UiKit() : UiKit(Options()) {}
  ~UiKit();
  UiKit(const UiKit&) = delete;
  UiKit& operator=(const UiKit&) = delete;

  // --- The tree ------------------------------------------------------------------------

  QZ::RCPtr<QZ::LControl> Top() const;
  // The top control as the main control; null when it is not one.
  QZ::RCPtr<QZ::LMainControl> Main() const;
  // The control at path below the top control ("viewDevice/tabControl"); null when absent.
  QZ::RCPtr<QZ::LControl> Find(std::string_view path) const;
  template <class T>
  QZ::RCPtr<T> Find(std::string_view path) const {
    return QZ::DynamicCast<T>(Find(path));
  }
  // The "viewDevice" test device (fails the test when there is none).
  TestDevice& Device() const;
  // Binds the tree again from the engine's first id, as the main control's Initialize does.
  void Bind();

  // --- Idle ----------------------------------------------------------------------------

  // Idle passes (posted notifications delivered, "NID_IDLE", the windows' key queues) until
  // nothing is left to deliver or until holds; at most maxPasses. The passes made; the test
  // fails when until never held.
  int PumpIdle(const std::function<bool()>& until = nullptr, int maxPasses = kIdleBound);

  // --- Input through the window and the root window ---------------------------------------------------

  // A left click at the middle of control (or its descendant at path): pointer move, press
  // and release of the window layer, each delivered before the call returns.
  void Click(const QZ::RCPtr<QZ::LControl>& control);
  void Click(const QZ::LControl& from, std::string_view path);
  // A key combination as the string tables write hot keys ("Ctrl+Shift+VKEY_S"), to the
  // focused control (the top control takes the focus first when nothing has it).
  void Key(std::u16string_view combination);
  // Opens the combo box's list with a click and clicks the row of item index (or picks it
  // as Return does when no row shows it). Whether index is then the selection.
  bool Choose(const QZ::RCPtr<QZ::LControl>& combo, int32_t index);
  // Focuses the text box, selects its text (Ctrl+A) and types text over it, one character
  // key each.
  void Type(const QZ::RCPtr<QZ::LControl>& textBox, std::u16string_view text);

  // --- Readers -------------------------------------------------------------------------

  static std::u16string TextOf(const QZ::RCPtr<QZ::LControl>& control);
  static std::u16string ToolTipOf(const QZ::RCPtr<QZ::LControl>& control);

  // --- Modal dialogs -------------------------------------------------------------------

  using ModalStep = std::function<void(QZ::LControl& dialog)>;
  // The next dialog named name that asks for a modal window runs in one: steps run inside
  // its modal loop, one per idle pass; a dialog still open kIdleBound passes after the last
  // step fails the test and is ended with -1.
  void WhenModalOpens(const std::u16string& name, std::vector<ModalStep> steps);

  // --- Recorders -----------------------------------------------------------------------

  // Message boxes of the editor (caption, text, style) and their answer.
  void SetMessageBoxAnswer(int32_t answer);
  const std::vector<RecordingEditorUIHost::Box>& MessageBoxes() const { return mEditorHost->boxes; }
  // The editor's MIDI manager now (the host makes a new one for each model change).
  QZ::RCPtr<QZ::LMidiManager> Midi() const { return mEditorHost ? mEditorHost->midiManager : nullptr; }
  // The next file dialogs end with these paths (an empty path: cancelled); none left: cancel.
  std::vector<std::u16string> fileDialogAnswers;
  std::vector<FileDialogCall> fileDialogs;
  // Addresses handed to the shell and whether it starts a program for them.
  std::vector<std::u16string> shellOpened;
  bool shellResult = true;

  // --- The neighbourhood ---------------------------------------------------------------

  // $XDG_CONFIG_HOME, $XDG_DATA_HOME, the documents ("documents") and the program's folder
  // ("program", which holds no user guide unless the test puts one there) below it
  TempFolder folders;
  QZ::Platform::Midi::VirtualMidiRegistry midiDevices;
  FakeApplicationContext context;
  FakeControlApplication application;
  QZ::RCPtr<QZ::LNotificationCenter> centre;
  QZ::RCPtr<CountingEngine> engine;
  std::unique_ptr<Simulator::VirtualKeyboard> keyboard;
  QZ::RCPtr<QZ::LControlFactory> factory;
  ScriptedVideoBackend* script = nullptr;
  QZ::OSWindow* window = nullptr;
  QZ::RCPtr<QZ::LRootWindow> root;

private:
  class DialogRecorder;
  struct Modal {
    std::u16string name;
    std::vector<ModalStep> steps;
  };

  // The control's middle in the window's client coordinates.
  static QZ::PointT<int32_t> MiddleOf(const QZ::LControl& control);
  void PumpMessages();
  int32_t RunModal(const QZ::RCPtr<QZ::LControl>& control, bool systemMenu);

  std::vector<std::pair<const char*, std::string>> mSavedEnvironment;
  std::unique_ptr<RecordingEditorUIHost> mEditorHost;
  std::unique_ptr<DialogRecorder> mDialogs;
  QZ::Platform::Shell::CommonDialogBackend* mPreviousDialogs = nullptr;
  std::vector<Modal> mModals;
};

} // namespace QZTest
