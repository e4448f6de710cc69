#pragma once
// LUserPresetChordEditPanel ("PresetEditor.ChordModeUserPresetEditPanel"): the chord page of
// the user preset and the chord module of the editor's module tree. Its nine parameters are
// the smart root note (first id), the chord mode (+ 1), the voicing (+ 2) and six user
// chord notes (+ 3 .. + 8). The mode decides what the page shows: "Major" and "Minor" the
// root note and voicing, "Custom" the six notes. The selectors send the user's edits
// themselves; the page follows the mode value that comes back from the engine.
//
//   page->SetFirstParamID(userPreset, 129, 0);   // mode 130, notes 132 .. 137 titled "NOTE 1" ..
//   page->SetParamValueLocal(QZ::ParamDescriptor(130), custom, true);   // {02}: the notes show
//
// UI thread, like every control.

#include <array>
#include <cstdint>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ScrollView.h"
#include "UI/ChordModeNoteVariantBufferSetterParameterPanel.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"

class LUserPresetChordEditPanel : public QZ::LHandlerTableControl<LUserPresetChordEditPanel, QZ::LScrollView>,
                                  public IChord {
public:
  static constexpr uint32_t kUserNoteCount = 6;

  LUserPresetChordEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The scroll view's, its handler table, then the selectors. The scroll view's result;
  // QZ_E_FAIL without a table. A missing selector throws "Runtime Error : Null Pointer :
  // Cannot find child <name> : LUserPresetChordEditPanel::Initialize : UI\ChordEditPanel :
  // Line <n>" (mode 32, smartRootNode 35, voicings 38, userChordNote1 .. 6 41 .. 56).
  QZ::QZResult Initialize() override;

  // Stores owner, first id and index; binds mode to first + 1, root note to first, voicings
  // to first + 2 and user note i to first + 2 + i, titled "NOTE i".
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // The value of first + k (k 0 .. 8) goes to its selector; after the mode the page shows
  // the selectors of the mode the mode selector now holds. Other ids change nothing. 0.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;

  // 0 and 1: root note and voicing shown, the user notes hidden; 2: the six user notes
  // shown, root note and voicing hidden; any other mode changes nothing.
  virtual void ShowChordModeControls(int32_t mode);
  // User note i (1 .. 6) shown when count >= i, hidden otherwise.
  virtual void ShowUserChordNotes(int32_t count);

  // The control's cycles first, then the scroll view's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  QZ::RCPtr<LVariantBufferSetterParameterPanel> mMode;
  QZ::RCPtr<LVariantBufferSetterParameterPanel> mSmartRootNote;
  QZ::RCPtr<LVariantBufferSetterParameterPanel> mVoicings;
  std::array<QZ::RCPtr<LChordModeNoteVariantBufferSetterParameterPanel>, kUserNoteCount> mUserNotes;
};
