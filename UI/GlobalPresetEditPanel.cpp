#include "UI/GlobalPresetEditPanel.h"

#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Storage/Holder.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LGlobalPresetEditPanel::Initialize";
constexpr char kSource[] = R"(UI\GlobalPresetEditPanel)";

struct SelectorSite {
  const char16_t* name;
  const char* shown;
  int line;
};

constexpr SelectorSite kSelectors[LGlobalPresetEditPanel::kSelectorCount] = {
    {u"midiChannel", "midiChannel", 30},
    {u"program", "program", 34},
    {u"keyboardSensitivity", "keyboardSensitivity", 37},
    {u"padSensitivity", "padSensitivity", 40},
    {u"dawSetting", "dawSetting", 43},
};

// Channels travel as 1 .. 16 for the items "Channel 1" .. "Channel 16".
constexpr double kMidiChannelOffset = 1.0;

} // namespace

LGlobalPresetEditPanel::LGlobalPresetEditPanel(const RCPtr<QZ::LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LGlobalPresetEditPanel::Initialize() {
  const QZResult base = LScrollView::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    return QZ::QZ_E_FAIL;
  }
  for (uint32_t k = 0; k < kSelectorCount; ++k) {
    const SelectorSite& site = kSelectors[k];
    mSelectors[k] = QZ::DynamicCast<LVariantBufferSetterParameterPanel>(FindChildByName(WString(site.name)));
    if (!mSelectors[k]) {
      QZ::Throw<std::runtime_error>({kInitialize, kSource, site.line},
                                    std::string("Null Pointer : Cannot find child ") + site.shown);
    }
    if (k == 0) {
      mSelectors[k]->SetValueOffset(kMidiChannelOffset);
    }
  }
  Subscribe(&LGlobalPresetEditPanel::OnDeviceModelSelectionChanged,
            RCPtr<QZ::LNotificationDistributor>(QZ::GetApplicationNotificationCenter()),
            u"NID_DEVICE_MODEL_SELECTION_CHANGED", {kInitialize, kSource, 45});
  return base;
}

void LGlobalPresetEditPanel::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  LParameterizedModule::SetFirstParamID(owner, firstParamID, index);
  for (uint32_t k = 0; k < kSelectorCount && mSelectors[k]; ++k) {
    mSelectors[k]->SetParameter(QZ::ParamValue(firstParamID + k));
  }
}

int32_t LGlobalPresetEditPanel::SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value,
                                                   bool) {
  const uint32_t k = descriptor.id - GetFirstParamID();
  if (k < kSelectorCount && mSelectors[k]) {
    const RCPtr<LGlobalPresetEditPanel> self(this); // a selector's handlers may take the tree down
    mSelectors[k]->SetValue(value);
  }
  return QZ::QZ_OK;
}

QZResult LGlobalPresetEditPanel::OnDeviceModelSelectionChanged(const RCPtr<QZ::LNotificationDistributor>&,
                                                               const RCPtr<QZ::LNotification>& notification) {
  const auto model = notification->GetParameterAs<QZ::LHolder<DEVICE_MODELS>>();
  // A skin without the logo still follows the model everywhere else.
  const RCPtr<QZ::LControl> logo = FindChildByName(WString(u"productLogosMultiLookLabel"));
  if (model && logo) {
    logo->ShowLook(model->GetValue());
  }
  return QZ::QZ_FALSE;
}

QZResult LGlobalPresetEditPanel::ReleaseInternalReferences() {
  mSelectors.fill(nullptr);
  return LScrollView::ReleaseInternalReferences();
}
