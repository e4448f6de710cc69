#pragma once
// LGlobalPresetEditPanel ("PresetEditor.GlobalPresetEditor"): the page of the controller's
// global settings and the global-preset module of the editor's module tree. Its five
// selectors show the ids first + 0 .. 4: MIDI channel ("midiChannel", sent as the index + 1),
// program, keyboard sensitivity, pad sensitivity and DAW setting. Below them the logo of the
// keyboard model ("productLogosMultiLookLabel", one look per model) follows
// "NID_DEVICE_MODEL_SELECTION_CHANGED"; until the first change it shows the skin's look.
//
//   page->SetFirstParamID(device, 140, 0);                                  // 140 .. 144
//   page->SetParamValueLocal(QZ::ParamDescriptor(144), mackie, true);       // {02}: "Mackie/HUI"
//
// UI thread, like every control.

#include <array>
#include <cstdint>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ScrollView.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"

class LGlobalPresetEditPanel : public QZ::LHandlerTableControl<LGlobalPresetEditPanel, QZ::LScrollView>,
                               public IGlobalPreset {
public:
  static constexpr uint32_t kSelectorCount = 5;

  LGlobalPresetEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The scroll view's, its handler table, the selectors (the channel's value offset 1.0),
  // then the application centre's "NID_DEVICE_MODEL_SELECTION_CHANGED" heard. The scroll
  // view's result; QZ_E_FAIL without a table. A missing selector throws "Runtime Error :
  // Null Pointer : Cannot find child <name> : LGlobalPresetEditPanel::Initialize :
  // UI\GlobalPresetEditPanel : Line <n>" (midiChannel 30, program 34, keyboardSensitivity
  // 37, padSensitivity 40, dawSetting 43); a refused subscription "Failed Result : QZRESULT =
  // <code> : ... : Line 45".
  QZ::QZResult Initialize() override;

  // Stores owner, first id and index, then binds selector k to first + k.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // The value of first + k (k 0 .. 4) goes to selector k; other ids change nothing. 0.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;

  // The logo shows the look of the model the notification holds (a
  // QZ::LHolder<DEVICE_MODELS>); a page without its logo keeps going. 1.
  QZ::QZResult OnDeviceModelSelectionChanged(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                             const QZ::RCPtr<QZ::LNotification>& notification);

  // The control's cycles first, then the scroll view's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  std::array<QZ::RCPtr<LVariantBufferSetterParameterPanel>, kSelectorCount> mSelectors;
};
