#include "UI/UserPresetPanel.h"

#include <string>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Storage/Holder.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LUserPresetPanel::Initialize";
constexpr char kSource[] = R"(UI\UserPresetPanel)";
constexpr char16_t kLeftClick[] = u"NID_LEFT_CLICK";
constexpr char16_t kButton[] = u"button";
constexpr char16_t kEditPanel[] = u"editPanel";

// Ids relative to the panel's first id, and their widths.
constexpr uint32_t kPitchBendFirst = 0;
constexpr uint32_t kPitchBendWidth = 3;
constexpr uint32_t kModWheelFirst = 3;
constexpr uint32_t kModWheelWidth = 4;
constexpr uint32_t kSustainFirst = 7;
constexpr uint32_t kSustainWidth = 3;
constexpr uint32_t kFaderFirst = 10;
constexpr uint32_t kKnobFirst = 28;
constexpr uint32_t kButtonFirst = 44;
constexpr uint32_t kPadFirst = 89;
constexpr uint32_t kPictureEnd = 121;
constexpr uint32_t kTwoIds = 2;
constexpr uint32_t kButtonWidth = 5;

// The stand-in for "no element": a name that names none binds nothing.
constexpr uint32_t kNoElement = UINT32_MAX;

std::string Narrow(const char16_t* text) { return WString(text).ToUTF8().GetBuffer(); }

[[noreturn]] void ThrowMissing(const std::string& name, int line) {
  QZ::Throw<std::runtime_error>({kInitialize, kSource, line}, "Null Pointer : Cannot find child " + name);
}

// The element number n at the end of name after the word's length of characters, as the
// index n - 1 when 1 <= n <= count; kNoElement otherwise.
uint32_t ElementIndex(const WString& name, size_t wordLength, uint32_t count) {
  const std::u16string_view rest = name.View().substr(std::min(wordLength, size_t(name.GetLength())));
  if (rest.empty() || rest.size() > 3) {
    return kNoElement;
  }
  uint32_t n = 0;
  for (const char16_t digit : rest) {
    if (digit < u'0' || digit > u'9') {
      return kNoElement;
    }
    n = n * 10 + uint32_t(digit - u'0');
  }
  return n >= 1 && n <= count ? n - 1 : kNoElement;
}

} // namespace

// What a click on an element of one kind does.
struct LUserPresetPanel::ElementKind {
  uint32_t page;
  // The leading word of the element names ("knob" of "knob3"); null for the single
  // elements, whose page is bound once.
  const char16_t* word;
  uint32_t count;
  // The first id of element 0, and the ids of each element.
  uint32_t first;
  uint32_t width;
};

LUserPresetPanel::LUserPresetPanel(const RCPtr<QZ::LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

LUserPresetPanel::~LUserPresetPanel() = default;

// =============================================================================================
// The control
// =============================================================================================

RCPtr<QZ::LControl> LUserPresetPanel::RequirePath(std::initializer_list<const char16_t*> path, int line) const {
  RCPtr<QZ::LControl> control(const_cast<LUserPresetPanel*>(this));
  for (const char16_t* name : path) {
    control = control->FindChildByName(WString(name));
    if (!control) {
      ThrowMissing(Narrow(name), line);
    }
  }
  return control;
}

RCPtr<QZ::LControl> LUserPresetPanel::FindEditPanel() const {
  const RCPtr<QZ::LControl>& parent = GetParent();
  return parent ? parent->FindChildByName(WString(kEditPanel)) : nullptr;
}

bool LUserPresetPanel::SkinPlacesEditPanelLater() const {
  const RCPtr<QZ::LControl>& parent = GetParent();
  const RCPtr<QZ::LControlDescriptor> entry = parent ? parent->GetControlDescriptor() : nullptr;
  if (!entry) {
    return false;
  }
  const QZ::ControlDescriptorArray& entries = entry->GetChildren();
  for (uint32_t i = 0; i < entries.GetCount(); ++i) {
    if (entries.GetAt(i)->GetName() == WString(kEditPanel)) {
      return true;
    }
  }
  return false;
}

const RCPtr<LUserPresetEditPanel>& LUserPresetPanel::GetEditPanel() {
  if (!mEditPanel && !mReleased) {
    mEditPanel = QZ::DynamicCast<LUserPresetEditPanel>(FindEditPanel());
  }
  return mEditPanel;
}

QZResult LUserPresetPanel::Initialize() {
  const QZResult base = LScrollView::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    QZ::Throw<std::runtime_error>({kInitialize, kSource, 26}, "Null Pointer : Cannot create notification handler");
  }
  // The edit pages stand beside the picture, not in it. A skin may place them after the
  // picture: they are taken once they exist.
  const RCPtr<QZ::LControl> sibling = FindEditPanel();
  mEditPanel = QZ::DynamicCast<LUserPresetEditPanel>(sibling);
  if (!mEditPanel && (sibling || !SkinPlacesEditPanelLater())) {
    ThrowMissing("editPanel", 32);
  }
  Subscribe(&LUserPresetPanel::OnWheelClicked, RequirePath({u"wheelGroup", u"wheel", kButton}, 34), kLeftClick,
            {kInitialize, kSource, 35});
  Subscribe(&LUserPresetPanel::OnKeyboardClicked, RequirePath({u"keyboardGroup", u"keyboard1", kButton}, 37),
            kLeftClick, {kInitialize, kSource, 38});

  const struct {
    const char16_t* name;
    Method handler;
    int missingLine;
    int subscribeLine;
  } groups[] = {{u"sliderGroup", &LUserPresetPanel::OnSliderClicked, 41, 46},
                {u"buttonGroup", &LUserPresetPanel::OnButtonClicked, 51, 58},
                {u"knobGroup", &LUserPresetPanel::OnKnobClicked, 63, 68},
                {u"padGroup1", &LUserPresetPanel::OnPadClicked, 72, 77},
                {u"padGroup2", &LUserPresetPanel::OnPadClicked, 80, 85}};
  for (const auto& group : groups) {
    const RCPtr<QZ::LControl> control = FindChildByName(WString(group.name));
    if (!control) {
      ThrowMissing(Narrow(group.name), group.missingLine);
    }
    const ChildControlList& elements = control->GetChildren();
    for (uint32_t i = 0; i < elements.GetCount(); ++i) {
      const RCPtr<QZ::LControl> button =
          elements.GetAt(i, ChildControlList::kInsertionOrder)->FindChildByName(WString(kButton));
      // A child without a button is refused by the table, with the group's line.
      Subscribe(group.handler, button, kLeftClick, {kInitialize, kSource, group.subscribeLine});
    }
  }

  for (uint32_t i = 0; i < kKnobCount; ++i) {
    mKnobModules.push_back(QZ::LSliderAndKnob::Create());
  }
  for (uint32_t i = 0; i < kFaderCount; ++i) {
    mFaderModules.push_back(QZ::LSliderAndKnob::Create());
  }
  for (uint32_t i = 0; i < kButtonCount; ++i) {
    mButtonModules.push_back(QZ::LHardwareButton::Create());
  }
  for (uint32_t i = 0; i < kPadCount; ++i) {
    mPadModules.push_back(QZ::LPad::Create());
  }
  mModWheelModule = QZ::LModWheel::Create();
  mSustainModule = QZ::LSustain::Create();
  mPitchbendModule = QZ::LPitchbend::Create();

  BindViews();
  mSustainView = QZ::DynamicCast<LSustainViewPanel>(RequirePath({u"sustainGroup", u"sustain1"}, 168));
  if (!mSustainView) {
    ThrowMissing("sustain1", 168);
  }
  Subscribe(&LUserPresetPanel::OnSustainClicked, RequirePath({u"sustainGroup", u"sustain1", kButton}, 170), kLeftClick,
            {kInitialize, kSource, 171});
  mSustainView->SetFirstParamID(this, GetFirstParamID() + kSustainFirst, 0);
  Subscribe(&LUserPresetPanel::OnDeviceModelSelectionChanged,
            RCPtr<QZ::LNotificationDistributor>(QZ::GetApplicationNotificationCenter()),
            u"NID_DEVICE_MODEL_SELECTION_CHANGED", {kInitialize, kSource, 175});
  return base;
}

namespace {

// The view named format with number in group, as T; throws the missing-child text naming
// the view with line when there is none of that class (the group was found before).
template <class T>
RCPtr<T> FindView(const QZ::LControl& panel, const char16_t* group, const char16_t* format, uint32_t number, int line) {
  const WString name = WString::Format(format, number);
  const RCPtr<QZ::LControl> groupControl = panel.FindChildByName(WString(group));
  RCPtr<T> view = groupControl ? QZ::DynamicCast<T>(groupControl->FindChildByName(name)) : nullptr;
  if (!view) {
    ThrowMissing(name.ToUTF8().GetBuffer(), line);
  }
  return view;
}

} // namespace

void LUserPresetPanel::BindViews() {
  // The views are found once; they are bound again whenever the panel's first id moves.
  if (mPadViews.empty()) {
    for (uint32_t k = 0; k < kPadCount; ++k) {
      const bool second = k >= kPadsPerGroup;
      mPadViews.push_back(FindView<LPadViewPanel>(*this, second ? u"padGroup2" : u"padGroup1", u"pad%d",
                                                  k % kPadsPerGroup + 1, second ? 148 : 144));
    }
    for (uint32_t k = 0; k < kFaderCount; ++k) {
      mFaderViews.push_back(FindView<LKnobViewPanel>(*this, u"sliderGroup", u"slider%d", k + 1, 152));
    }
    for (uint32_t k = 0; k < kKnobCount; ++k) {
      mKnobViews.push_back(FindView<LKnobViewPanel>(*this, u"knobGroup", u"knob%d", k + 1, 156));
    }
    for (uint32_t k = 0; k < kButtonCount; ++k) {
      mButtonViews.push_back(FindView<LCommonButtonViewPanel>(*this, u"buttonGroup", u"button%d", k + 1, 160));
    }
  }
  const uint32_t first = GetFirstParamID();
  for (uint32_t k = 0; k < mPadViews.size(); ++k) {
    mPadViews[k]->SetFirstParamID(this, first + kPadFirst + kTwoIds * k, k);
  }
  for (uint32_t k = 0; k < mFaderViews.size(); ++k) {
    mFaderViews[k]->SetFirstParamID(this, first + kFaderFirst + kTwoIds * k, k);
  }
  for (uint32_t k = 0; k < mKnobViews.size(); ++k) {
    mKnobViews[k]->SetFirstParamID(this, first + kKnobFirst + kTwoIds * k, k);
  }
  for (uint32_t k = 0; k < mButtonViews.size(); ++k) {
    mButtonViews[k]->SetFirstParamID(this, first + kButtonFirst + kButtonWidth * k, k);
  }
}

QZResult LUserPresetPanel::SubscribeNotifications() {
  const RCPtr<LUserPresetPanel> self(this);
  if (const RCPtr<LUserPresetEditPanel> pages = GetEditPanel()) {
    const uint32_t first = GetFirstParamID();
    pages->ShowEditPage(LUserPresetEditPanel::kWheelsPage);
    if (const RCPtr<LParameterizedModule> sustain = PageModule(LUserPresetEditPanel::kSustainPage)) {
      sustain->SetFirstParamID(this, first + kSustainFirst, 0);
    }
    if (const RCPtr<LParameterizedModule> mod = PageModule(LUserPresetEditPanel::kWheelsPage, u"modWheel")) {
      mod->SetFirstParamID(this, first + kModWheelFirst, 0);
    }
    if (const RCPtr<LParameterizedModule> pitch = PageModule(LUserPresetEditPanel::kWheelsPage, u"pitchBendWheel")) {
      pitch->SetFirstParamID(this, first + kPitchBendFirst, 0);
    }
    pages->ShowEditPage(LUserPresetEditPanel::kNoPage);
  }
  ApplyDeviceModel(uint32_t(QZ::GetDeviceModel()));
  return LScrollView::SubscribeNotifications();
}

// =============================================================================================
// The user preset
// =============================================================================================

void LUserPresetPanel::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  IUserPreset::SetFirstParamID(owner, firstParamID, index);
  if (!mPadViews.empty()) {
    BindViews();
    mSustainView->SetFirstParamID(this, firstParamID + kSustainFirst, 0);
  }
}

RCPtr<LParameterizedModule> LUserPresetPanel::PageModule(uint32_t kind, const char16_t* child) {
  const RCPtr<LUserPresetEditPanel>& pages = GetEditPanel();
  const RCPtr<QZ::LPanel> page = pages ? pages->GetEditPage(kind) : nullptr;
  if (!page) {
    return nullptr;
  }
  return QZ::DynamicCast<LParameterizedModule>(child ? page->FindChildByName(WString(child))
                                                     : RCPtr<QZ::LControl>(page));
}

void LUserPresetPanel::ShowOn(const RCPtr<LParameterizedModule>& module, uint32_t width,
                              const QZ::ParamDescriptor& descriptor, const QZ::Variant& value) {
  if (!module || (width > 0 && descriptor.id - module->GetFirstParamID() >= width)) {
    return;
  }
  if (const RCPtr<LParameterizedModule> shown = module->GetModuleForParamID(descriptor.id)) {
    shown->SetParamValueLocal(descriptor, value, false);
  }
}

int32_t LUserPresetPanel::SetParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool) {
  const RCPtr<LUserPresetPanel> self(this); // a display's handlers may take the tree down
  const uint32_t k = descriptor.id - GetFirstParamID();
  const auto showOnViews = [&](const auto& views, uint32_t width) {
    for (const auto& view : views) {
      ShowOn(view, width, descriptor, value);
    }
  };
  if (k < kModWheelFirst) {
    ShowOn(PageModule(LUserPresetEditPanel::kWheelsPage, u"pitchBendWheel"), kPitchBendWidth, descriptor, value);
  } else if (k < kSustainFirst) {
    ShowOn(PageModule(LUserPresetEditPanel::kWheelsPage, u"modWheel"), kModWheelWidth, descriptor, value);
  } else if (k < kFaderFirst) {
    ShowOn(PageModule(LUserPresetEditPanel::kSustainPage), kSustainWidth, descriptor, value);
    ShowOn(mSustainView, 0, descriptor, value);
  } else if (k < kKnobFirst) {
    ShowOn(PageModule(LUserPresetEditPanel::kSliderPage), kTwoIds, descriptor, value);
    showOnViews(mFaderViews, kTwoIds);
  } else if (k < kButtonFirst) {
    ShowOn(PageModule(LUserPresetEditPanel::kKnobPage), kTwoIds, descriptor, value);
    showOnViews(mKnobViews, kTwoIds);
  } else if (k < kPadFirst) {
    ShowOn(PageModule(LUserPresetEditPanel::kButtonPage), kButtonWidth, descriptor, value);
    showOnViews(mButtonViews, kButtonWidth);
  } else if (k < kPictureEnd) {
    ShowOn(PageModule(LUserPresetEditPanel::kPadPage), kTwoIds, descriptor, value);
    showOnViews(mPadViews, kTwoIds);
  }
  return QZ::QZ_OK;
}

RCPtr<IPitchbend> LUserPresetPanel::GetPitchbend() { return mPitchbendModule; }

RCPtr<IModWheel> LUserPresetPanel::GetModWheel() { return mModWheelModule; }

RCPtr<ISustain> LUserPresetPanel::GetSustain() { return mSustainModule; }

RCPtr<ISliderAndKnob> LUserPresetPanel::GetSlider(uint32_t i) {
  return i < mFaderModules.size() ? mFaderModules[i] : nullptr;
}

RCPtr<ISliderAndKnob> LUserPresetPanel::GetKnob(uint32_t i) {
  return i < mKnobModules.size() ? mKnobModules[i] : nullptr;
}

RCPtr<IHardwareButton> LUserPresetPanel::GetHardwareButton(uint32_t i) {
  return i < mButtonModules.size() ? mButtonModules[i] : nullptr;
}

RCPtr<IPad> LUserPresetPanel::GetPad(uint32_t i) { return i < mPadModules.size() ? mPadModules[i] : nullptr; }

RCPtr<IClock> LUserPresetPanel::GetClock() { return QZ::DynamicCast<IClock>(FindChildByName(WString(u"clockGroup"))); }

namespace {

// The page of the keyboard page's tab named tab, as the module interface I.
template <class I>
RCPtr<I> KeyboardTab(const RCPtr<LUserPresetEditPanel>& editPanel, const char16_t* tab) {
  const RCPtr<QZ::LPanel> keyboard = editPanel ? editPanel->GetEditPage(LUserPresetEditPanel::kKeyboardPage) : nullptr;
  const auto tabs =
      keyboard ? QZ::DynamicCast<QZ::LTabControl>(keyboard->FindChildByName(WString(u"tabControl"))) : nullptr;
  return tabs ? QZ::DynamicCast<I>(tabs->GetPageOfTab(WString(tab))) : nullptr;
}

} // namespace

RCPtr<IArp> LUserPresetPanel::GetArp() { return KeyboardTab<IArp>(GetEditPanel(), u"arp"); }

RCPtr<IChord> LUserPresetPanel::GetChord() { return KeyboardTab<IChord>(GetEditPanel(), u"chord"); }

RCPtr<IScale> LUserPresetPanel::GetScale() { return KeyboardTab<IScale>(GetEditPanel(), u"scale"); }

// =============================================================================================
// The picture
// =============================================================================================

void LUserPresetPanel::ApplyDeviceModel(uint32_t model) {
  // A skin without the logo still lays the picture out.
  if (const RCPtr<QZ::LControl> logo = FindChildByName(WString(u"productLogosMultiLookLabel"))) {
    logo->ShowLook(int32_t(model & 0xFF)); // a look the logo lacks leaves it
  }
  if (model > uint32_t(QZ::kDeviceModel61Keys)) {
    return;
  }
  // The 25-key keyboard has one fader and one button.
  const bool all = model != uint32_t(QZ::kDeviceModel25Keys);
  for (size_t i = 1; i < mFaderViews.size(); ++i) {
    mFaderViews[i]->SetVisible(all);
  }
  for (size_t i = 1; i < mButtonViews.size(); ++i) {
    mButtonViews[i]->SetVisible(all);
  }
}

void LUserPresetPanel::Select(const RCPtr<QZ::LNotificationDistributor>& source) {
  QZ::RCPtrArray<QZ::LControl, 1, 0> descendants;
  CollectDescendants(descendants);
  const WString button(kButton);
  for (uint32_t i = 0; i < descendants.GetCount(); ++i) {
    if (descendants.GetAt(i)->GetName() == button) {
      descendants.GetAt(i)->SetValue(0.0);
    }
  }
  if (const RCPtr<QZ::LButton> clicked = QZ::DynamicCast<QZ::LButton>(source)) {
    clicked->SetValue(1.0);
  }
}

void LUserPresetPanel::RequestValues(uint32_t first, uint32_t count) const {
  const QZ::IApplicationContext* context = QZ::GetApplicationContext();
  if (LRootModuleEngine* engine = context ? context->GetRootModuleEngine() : nullptr) {
    engine->ApplyParamValues(QZ::ParamDescriptors(QZ::ParamIdRange{GetFirstParamID() + first, count}));
  }
}

QZResult LUserPresetPanel::OnElementClicked(const RCPtr<QZ::LNotificationDistributor>& source,
                                            const ElementKind& kind) {
  const RCPtr<LUserPresetPanel> self(this); // the page's and the buttons' handlers may take the tree down
  if (const RCPtr<LUserPresetEditPanel> pages = GetEditPanel()) {
    pages->ShowEditPage(kind.page);
  }
  Select(source);
  if (!kind.word) {
    if (kind.width > 0) {
      RequestValues(kind.first, kind.width);
    }
    return QZ::QZ_FALSE;
  }
  const auto button = QZ::DynamicCast<QZ::LControl>(source);
  const RCPtr<QZ::LControl> element = button ? button->GetParent() : nullptr;
  if (!element) {
    return QZ::QZ_FALSE;
  }
  uint32_t k = ElementIndex(element->GetName(), std::u16string_view(kind.word).size(), kind.count);
  if (k == kNoElement) {
    return QZ::QZ_FALSE; // another element's ids would be bound
  }
  const RCPtr<QZ::LControl>& group = element->GetParent();
  if (kind.page == LUserPresetEditPanel::kPadPage && group && group->GetName() == WString(u"padGroup2")) {
    k += kPadsPerGroup;
  }
  const uint32_t first = kind.first + kind.width * k;
  if (const RCPtr<LParameterizedModule> page = PageModule(kind.page)) {
    page->SetFirstParamID(this, GetFirstParamID() + first, k);
  }
  RequestValues(first, kind.width);
  return QZ::QZ_FALSE;
}

QZResult LUserPresetPanel::OnWheelClicked(const RCPtr<QZ::LNotificationDistributor>& source,
                                          const RCPtr<QZ::LNotification>&) {
  return OnElementClicked(source, {LUserPresetEditPanel::kWheelsPage, nullptr, 1, kModWheelFirst, kModWheelWidth});
}

QZResult LUserPresetPanel::OnKeyboardClicked(const RCPtr<QZ::LNotificationDistributor>& source,
                                             const RCPtr<QZ::LNotification>&) {
  return OnElementClicked(source, {LUserPresetEditPanel::kKeyboardPage, nullptr, 1, 0, 0});
}

QZResult LUserPresetPanel::OnSliderClicked(const RCPtr<QZ::LNotificationDistributor>& source,
                                           const RCPtr<QZ::LNotification>&) {
  return OnElementClicked(source, {LUserPresetEditPanel::kSliderPage, u"slider", kFaderCount, kFaderFirst, kTwoIds});
}

QZResult LUserPresetPanel::OnButtonClicked(const RCPtr<QZ::LNotificationDistributor>& source,
                                           const RCPtr<QZ::LNotification>&) {
  return OnElementClicked(source,
                          {LUserPresetEditPanel::kButtonPage, u"button", kButtonCount, kButtonFirst, kButtonWidth});
}

QZResult LUserPresetPanel::OnKnobClicked(const RCPtr<QZ::LNotificationDistributor>& source,
                                         const RCPtr<QZ::LNotification>&) {
  return OnElementClicked(source, {LUserPresetEditPanel::kKnobPage, u"knob", kKnobCount, kKnobFirst, kTwoIds});
}

QZResult LUserPresetPanel::OnPadClicked(const RCPtr<QZ::LNotificationDistributor>& source,
                                        const RCPtr<QZ::LNotification>&) {
  return OnElementClicked(source, {LUserPresetEditPanel::kPadPage, u"pad", kPadsPerGroup, kPadFirst, kTwoIds});
}

QZResult LUserPresetPanel::OnSustainClicked(const RCPtr<QZ::LNotificationDistributor>& source,
                                            const RCPtr<QZ::LNotification>&) {
  return OnElementClicked(source, {LUserPresetEditPanel::kSustainPage, nullptr, 1, kSustainFirst, kSustainWidth});
}

QZResult LUserPresetPanel::OnDeviceModelSelectionChanged(const RCPtr<QZ::LNotificationDistributor>&,
                                                         const RCPtr<QZ::LNotification>& notification) {
  if (const auto model = notification->GetParameterAs<QZ::LHolder<DEVICE_MODELS>>()) {
    ApplyDeviceModel(uint32_t(model->GetValue()));
  }
  return QZ::QZ_FALSE;
}

QZResult LUserPresetPanel::ReleaseInternalReferences() {
  mReleased = true;
  mEditPanel = nullptr;
  mPadViews.clear();
  mFaderViews.clear();
  mKnobViews.clear();
  mButtonViews.clear();
  mSustainView = nullptr;
  return LScrollView::ReleaseInternalReferences();
}
