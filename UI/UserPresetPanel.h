#pragma once
// LUserPresetPanel ("PresetEditor.UserPresetEditor", the "controlNavigation" of the device
// view's page "userPresetEditor"): the controller picture and the user preset module of the
// editor's module tree. Clicking an element's "button" shows the element's page on the
// sibling "editPanel" (UserPresetEditPanel.h), selects that button alone (value 1.0, every
// other "button" of the picture 0.0), binds the page to the element and asks the engine to
// deliver the element's values again:
//
//   element               page        bound to (first id, index)   re-requested
//   "wheelGroup"/"wheel"  "wheels"    (at subscription)            3 .. 6
//   "keyboardGroup"       "keyboard"  -                            -
//   "sliderGroup"/sliderN "slider"    (10 + 2k, k)                 2 ids
//   "buttonGroup"/buttonN "button"    (44 + 5k, k)                 5 ids
//   "knobGroup"/knobN     "knob"      (28 + 2k, k)                 2 ids
//   "padGroup1"/padN      "pad"       (89 + 2k, k)                 2 ids
//   "padGroup2"/padN      "pad"       (89 + 2k, k), k from 8 on    2 ids
//   "sustainGroup"        "sustain"   (at subscription: 7)         7 .. 9
// with k = N - 1; an element whose name does not end in a number of its group (1 .. 9
// faders and buttons, 1 .. 8 knobs and pads) shows its page and binds nothing. Ids are
// relative to the panel's first id (the device view binds it at the engine's first).
//
//   // the main control hands a value of the knob 3's CC to the panel's knob module 2:
//   preset->GetModuleForParamID(33)->SetParamValueLocal(QZ::ParamDescriptor(33), cc74, true);
//   // -> knob view 3 ("CC: 74") and, while it is bound to 32, the "knob" page
//
// As the user preset (IUserPreset) it owns the engine's modules of the picture's elements
// (8 knobs, 9 faders, 9 buttons, 16 pads, mod wheel, sustain, pitch bend), whose values all
// come back to SetParamValue and reach the views and the pages showing those ids; the
// clock ("clockGroup") and the keyboard page's "arp", "chord" and "scale" tabs are modules
// themselves. The keyboard model ("NID_DEVICE_MODEL_SELECTION_CHANGED" with a
// QZ::LHolder<DEVICE_MODELS>) picks the logo's look and, for 25 keys, hides faders and
// buttons 2 .. 9. UI thread, like every control.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/LeafModules.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ScrollView.h"
#include "UI/ButtonViewPanel.h"
#include "UI/KnobViewPanel.h"
#include "UI/PadViewPanel.h"
#include "UI/SustainViewPanel.h"
#include "UI/UserPresetEditPanel.h"

class LUserPresetPanel : public QZ::LHandlerTableControl<LUserPresetPanel, QZ::LScrollView>, public IUserPreset {
public:
  // The picture's elements of each kind.
  static constexpr uint32_t kKnobCount = 8;
  static constexpr uint32_t kFaderCount = 9;
  static constexpr uint32_t kButtonCount = 9;
  static constexpr uint32_t kPadCount = 16;
  static constexpr uint32_t kPadsPerGroup = 8;

  LUserPresetPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);
  ~LUserPresetPanel() override;

  // --- The control ---------------------------------------------------------------------

  // The scroll view's (its failure returned as it is), the handler table, the sibling
  // "editPanel" (or, when the parent's skin entry makes it after the picture, its name kept
  // for the first use), the clicks of the wheel, the keyboard and every child's "button" of
  // the five groups (in insertion order) heard, the modules made, the views of the groups and
  // the pedal ("sustainGroup"/"sustain1", whose button is heard) bound, the model changes
  // heard. Throws QZ::Exception<std::runtime_error> "Runtime Error : Null Pointer : Cannot
  // find child <name> : LUserPresetPanel::Initialize : UI\UserPresetPanel : Line <n>", name
  // the first missing one: editPanel 32, sliderGroup 41, buttonGroup 51, knobGroup 63,
  // padGroup1 72, padGroup2 80, wheelGroup / wheel / its button 34, keyboardGroup /
  // keyboard1 / its button 37, the views padN of padGroup1 144 and of padGroup2 148, sliderN
  // 152, knobN 156, buttonN 160, sustainGroup / sustain1 168, the pedal's button 170;
  // "... Cannot create notification handler ... Line 26" without a handler table; a
  // refused subscription "Failed Result : QZRESULT = <code> : LUserPresetPanel::Initialize
  // : UI\UserPresetPanel : Line <n>": wheel 35, keyboard 38, a fader's button 46 (also for
  // a child without a "button"), buttons 58, knobs 68, padGroup1 77, padGroup2 85, the
  // pedal 171, the model changes 175.
  QZ::QZResult Initialize() override;
  // The sustain page bound at 7, the wheels page's "modWheel" at 3 and "pitchBendWheel" at
  // 0, every page hidden, the stored keyboard model applied, then the scroll view's.
  QZ::QZResult SubscribeNotifications() override;

  // --- The user preset (IUserPreset) -------------------------------------------------------

  // IUserPreset's binding of the modules and module pages, then the views bound again from
  // the new first id.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // A value of one of the picture's ids (relative 0 .. 120) handed to what shows it: the
  // pitch-bend wheel (0 .. 2), the mod wheel (3 .. 6), the sustain page (7 .. 9) and the
  // pedal, the fader page and views (10 .. 27), the knob page and views (28 .. 43), the
  // button page and views (44 .. 88), the pad page and views (89 .. 120); a page or a view
  // only when its bound ids hold id (the pedal always). Each is handed it through its
  // SetParamValueLocal (fromDevice false). Ids from 121 on change nothing. 0.
  int32_t SetParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;

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
  // The owned modules; null before Initialize and, for the indexed ones, for i not below
  // their count.
  QZ::RCPtr<IPitchbend> GetPitchbend() override;
  QZ::RCPtr<IModWheel> GetModWheel() override;
  QZ::RCPtr<ISustain> GetSustain() override;
  QZ::RCPtr<ISliderAndKnob> GetSlider(uint32_t i) override;
  QZ::RCPtr<ISliderAndKnob> GetKnob(uint32_t i) override;
  QZ::RCPtr<IHardwareButton> GetHardwareButton(uint32_t i) override;
  QZ::RCPtr<IPad> GetPad(uint32_t i) override;
  // "clockGroup"; the keyboard page's tab pages "arp", "chord" and "scale", looked up at
  // each call. Null when absent.
  QZ::RCPtr<IClock> GetClock() override;
  QZ::RCPtr<IArp> GetArp() override;
  QZ::RCPtr<IChord> GetChord() override;
  QZ::RCPtr<IScale> GetScale() override;

  // --- The picture -----------------------------------------------------------------------

  // "productLogosMultiLookLabel" (when the skin has it) shows look model & 255; model 0
  // hides faders and buttons 2 .. 9, models 1 and 2 show them; knobs and pads stay.
  void ApplyDeviceModel(uint32_t model);
  // The sibling "editPanel" (found by Initialize or, when the skin places it after the
  // picture, at the first call once it exists); null before.
  const QZ::RCPtr<LUserPresetEditPanel>& GetEditPanel();

  // Click handlers (NID_LEFT_CLICK of the element's "button"): the table above. 1.
  QZ::QZResult OnWheelClicked(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                              const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnKeyboardClicked(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                 const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnSliderClicked(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                               const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnButtonClicked(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                               const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnKnobClicked(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                             const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnPadClicked(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                            const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnSustainClicked(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                const QZ::RCPtr<QZ::LNotification>& notification);
  // NID_DEVICE_MODEL_SELECTION_CHANGED: ApplyDeviceModel with the held model. 1.
  QZ::QZResult OnDeviceModelSelectionChanged(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                             const QZ::RCPtr<QZ::LNotification>& notification);

  // The control's cycles (edit panel, views) first, then the scroll view's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  struct ElementKind;

  QZ::QZResult OnElementClicked(const QZ::RCPtr<QZ::LNotificationDistributor>& source, const ElementKind& kind);
  // Every "button" below the panel at 0.0, then source (when a button) at 1.0.
  void Select(const QZ::RCPtr<QZ::LNotificationDistributor>& source);
  // Asks the application engine to announce count values from first id + first again.
  void RequestValues(uint32_t first, uint32_t count) const;
  // The child at path below the panel; throws the missing-child text naming the first
  // missing name with line.
  QZ::RCPtr<QZ::LControl> RequirePath(std::initializer_list<const char16_t*> path, int line) const;
  void BindViews();
  // A page of the edit panel (or its child named child) as a module; null when absent.
  QZ::RCPtr<LParameterizedModule> PageModule(uint32_t kind, const char16_t* child = nullptr);
  // The sibling "editPanel"; null when there is none (yet).
  QZ::RCPtr<QZ::LControl> FindEditPanel() const;
  // Whether the parent's skin entry has an "editPanel" (made after the picture).
  bool SkinPlacesEditPanelLater() const;
  // Hands the value to module when its bound ids (width of them) hold the descriptor's id,
  // or always with width 0.
  static void ShowOn(const QZ::RCPtr<LParameterizedModule>& module, uint32_t width,
                     const QZ::ParamDescriptor& descriptor, const QZ::Variant& value);

  QZ::RCPtr<LUserPresetEditPanel> mEditPanel;
  std::vector<QZ::RCPtr<QZ::LSliderAndKnob>> mKnobModules;
  std::vector<QZ::RCPtr<QZ::LSliderAndKnob>> mFaderModules;
  std::vector<QZ::RCPtr<QZ::LHardwareButton>> mButtonModules;
  std::vector<QZ::RCPtr<QZ::LPad>> mPadModules;
  QZ::RCPtr<QZ::LSustain> mSustainModule;
  QZ::RCPtr<QZ::LPitchbend> mPitchbendModule;
  QZ::RCPtr<QZ::LModWheel> mModWheelModule;
  std::vector<QZ::RCPtr<LPadViewPanel>> mPadViews;
  std::vector<QZ::RCPtr<LKnobViewPanel>> mFaderViews;
  std::vector<QZ::RCPtr<LKnobViewPanel>> mKnobViews;
  std::vector<QZ::RCPtr<LCommonButtonViewPanel>> mButtonViews;
  QZ::RCPtr<LSustainViewPanel> mSustainView;
  // Set once the cycles are broken: the edit panel is not looked up again.
  bool mReleased = false;
};
