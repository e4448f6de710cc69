#pragma once
// LClockEditPanel ("PresetEditor.UserPresetTempoGroup", the "clockGroup" beside the
// controller picture): the tempo group of the user preset and the clock module of the
// editor's module tree. "clockSource" (first id: "Internal", "External") and "timeDivision"
// (first id + 2: "1/4" .. "1/32 Triplets") are labelled selectors; the tempo (first id + 1,
// 20 .. 240 beats a minute in the up-down "tempo", at most 3 typed digits) travels as two
// bytes, hundreds and remainder, which the page packs and unpacks itself.
//
//   clock->SetFirstParamID(userPreset, 121, 0);
//   clock->SetParamValueLocal(QZ::ParamDescriptor(122), bytes0114, true);   // {01 14}: 120
//   // The user types 99: {00 63} goes to the main control for id 122.
//
// UI thread, like every control.

#include <cstdint>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/NumericUpDown.h"
#include "QZFramework/Controls/Panel.h"
#include "UI/ElementEditPanel.h"

class LClockEditPanel : public LElementEditPanel<LClockEditPanel, QZ::LPanel, IClock> {
public:
  // The tempo's range in beats a minute.
  static constexpr double kSlowestTempo = 20.0;
  static constexpr double kFastestTempo = 240.0;

  LClockEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // clockGroup : LClockEditPanel::Initialize : UI\ClockEditPanel : Line 37" without
  // "clockSource" and the same with Line 40 without "timeDivision"; then "Runtime Error :
  // Null Pointer : Cannot find child tempo : LClockEditPanel::Initialize : UI\ClockEditPanel
  // : Line 29" without the up-down "tempo", and "Failed Result : QZRESULT = <code> :
  // LClockEditPanel::Initialize : UI\ClockEditPanel : Line 30" when its "NID_VALUE_CHANGE"
  // cannot be heard.

  // Stores owner, first id and index and binds clockSource to first id, timeDivision to
  // first id + 2. From then on the tempo's changes are sent for first id + 1.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // first id + 1: a value of exactly two bytes {h, l} (each signed) shows h * 100 + l, kept
  // within 20 .. 240; a value of another size is ignored. first id and first id + 2 go to
  // their selectors; other ids change nothing. 0 in every case; fromDevice is not used.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;

  // The handler of the tempo's "NID_VALUE_CHANGE": the tempo t goes to the main control as
  // {t / 100, t - 100 * (t / 100)} (whole numbers, taken down) for first id + 1. Nothing is
  // sent before the page is bound or outside a main control's tree. 1 (handled).
  QZ::QZResult OnTempoChange(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                             const QZ::RCPtr<QZ::LNotification>& notification);

  // The tempo up-down; null before Initialize.
  const QZ::RCPtr<QZ::LNumericUpDown>& GetTempo() const { return mTempo; }

  // The control's cycles first, then the page's.
  QZ::QZResult ReleaseInternalReferences() override;

protected:
  // Finds the tempo, hears its changes and sets its range, decimals and text length.
  void SetUpPage() override;

private:
  QZ::RCPtr<QZ::LNumericUpDown> mTempo;
  bool mBound = false;
};
