// The text box's text, selection and edits, the clipboard's edits, validation, its looks,
// its skin entry and its context menu. Keys and the mouse are in TextBoxInput.cpp, the
// caret's and the selection's geometry and drawing in TextBoxDisplay.cpp.

#include "QZFramework/Controls/TextBox.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/ApplicationClock.h"
#include "QZFramework/System/Clipboard.h"

namespace QZ {
namespace {

constexpr char16_t kBackspace = 0x08;
constexpr char16_t kTab = 0x09;

// The edit requests of the context menu, in menu order, with their texts and edit codes.
struct EditCommand {
  const char16_t* textKey;
  const char16_t* request;
  int32_t editCode;
};
constexpr EditCommand kEditCommands[] = {
    {u"EDIT_CUT", u"NID_EDIT_CUT_REQ", LControl::kEditCut},
    {u"EDIT_COPY", u"NID_EDIT_COPY_REQ", LControl::kEditCopy},
    {u"EDIT_PASTE", u"NID_EDIT_PASTE_REQ", LControl::kEditPaste},
    {u"EDIT_DELETE", u"NID_EDIT_DELETE_REQ", LControl::kEditDelete},
};

RCPtr<LClipboard> ApplicationClipboard() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetClipboard() : nullptr;
}

int32_t Length(const WString& text) { return int32_t(text.GetLength()); }

} // namespace

RCPtr<LTextValidationParams> LTextValidationParams::Create(const WString& text) {
  return RCPtr<LTextValidationParams>(new LTextValidationParams(text));
}

LTextBox::LTextBox(const RCPtr<LControl>& parent, const WString& name) : LScrollView(parent, name) {}

LTextBox::~LTextBox() = default;

// =============================================================================================
// The text
// =============================================================================================

QZResult LTextBox::SetText(const WString& text) { return SetText(text, true); }

QZResult LTextBox::SetText(const WString& text, bool resetCaret) {
  const RCPtr<LControl> self(this);
  if (!SetTextInternal(text, true)) {
    return QZ_FALSE;
  }
  mTextChanged = true;
  double width = 0.0;
  double height = 0.0;
  if (const RCPtr<LLook> look = GetLook(-1); look && look->GetFontText()) {
    const RCPtr<LFontText>& block = look->GetFontText();
    width = block->GetNaturalWidth();
    height = block->GetTextHeight(int32_t(width));
  }
  SetClientExtent(width, height);
  mSelectionStart = 0;
  mSelectionLength = 0;
  mAnchor = 0;
  if (resetCaret || mCaret > Length(text)) {
    mCaret = resetCaret ? 0 : Length(text);
  }
  if (!resetCaret) {
    mAnchor = mCaret;
  }
  RecomputeCaretRect();
  RefreshSelectionDisplay();
  if (!mHintText.IsEmpty()) {
    if (const RCPtr<LLook> hint = GetLook(kLookHint); hint && GetLooks().GetCount() > uint32_t(kLookHint)) {
      hint->SetText(mHintText);
    }
  }
  UpdateLook();
  Announce(u"NID_TEXTBOX_TEXT_CHANGE", self);
  return QZ_OK;
}

void LTextBox::SetCharacterFilter(const WString& filter, bool allowList) {
  mCharacterFilter = filter;
  mFilterIsAllowList = allowList;
}

void LTextBox::SetMaxLength(int32_t maxLength) {
  mMaxLength = maxLength;
  if (maxLength > 0 && Length(GetText()) > maxLength && SetText(GetText().Left(uint32_t(maxLength)), false) == QZ_OK) {
    SetCaret(maxLength, true);
  }
}

// =============================================================================================
// Caret and selection
// =============================================================================================

QZResult LTextBox::SetCaret(int32_t pos, bool force) {
  if (pos < 0 || pos > Length(GetText())) {
    return QZ_E_INVALIDARG;
  }
  if (pos == mCaret && !force) {
    if (mSelectionLength == 0) {
      mAnchor = mCaret;
    }
    return QZ_FALSE;
  }
  mCaret = pos;
  if (mSelectionLength == 0) {
    mAnchor = pos;
  }
  RecomputeCaretRect();
  mCaretVisible = true;
  mNextBlinkTime = Widgets::Now() + kCaretShownSeconds;
  InvalidateChildRect({0.0, 0.0, GetRect().width, GetRect().height}, true);
  return QZ_OK;
}

void LTextBox::ClearSelection() {
  const bool had = mSelectionLength > 0;
  mSelectionStart = 0;
  mSelectionLength = 0;
  mAnchor = 0;
  if (had) {
    RefreshSelectionDisplay();
  }
}

void LTextBox::SelectRange(int32_t start, int32_t count) {
  mSelectionStart = start;
  mSelectionLength = count;
  RefreshSelectionDisplay();
}

void LTextBox::ExtendSelectionTo(int32_t pos) {
  const int32_t start = std::min(mAnchor, pos);
  const int32_t count = std::abs(pos - mAnchor);
  SelectRange(start, count);
  SetCaret(pos);
}

// =============================================================================================
// Edits
// =============================================================================================

void LTextBox::ApplyEdit(const WString& text, int32_t caret) {
  const bool overSelection = mSelectionLength > 0;
  // An edit over a selection consumes it even when the text comes out the same ("1" typed
  // over "1"): a selection left standing would be replaced again by the next character.
  if (SetText(text, false) == QZ_OK || overSelection) {
    ClearSelection();
    SetCaret(caret, true);
  }
}

void LTextBox::DeleteRange(int32_t start, int32_t count) {
  WString text = GetText().Left(uint32_t(start));
  text += GetText().Mid(start + count);
  ApplyEdit(text, start);
}

QZResult LTextBox::TypeCharacter(char16_t character) {
  // Surrogate halves are no characters: iswprint refuses them, and a pair with them.
  if (!std::iswprint(wint_t(character)) || character == kTab) {
    return character == kBackspace ? QZ_OK : QZ_FALSE;
  }
  if (!mCharacterFilter.IsEmpty()) {
    const bool listed = Chars::Contains(mCharacterFilter.GetBuffer(), character);
    if (listed != mFilterIsAllowList) {
      return QZ_OK;
    }
  }
  int32_t at = mCaret;
  WString text = GetText();
  if (mSelectionLength > 0) {
    at = mSelectionStart;
    text = GetText().Left(uint32_t(at));
    text += GetText().Mid(at + mSelectionLength);
  }
  const bool fits = mMaxLength == 0 || Length(text) < mMaxLength;
  if (fits) {
    text.Insert(uint32_t(at), WString(character)); // at lies within the text
  }
  // Only an inserted character moves the caret past it; a selection removed alone leaves
  // the caret where it began.
  ApplyEdit(text, fits ? at + 1 : at);
  return QZ_OK;
}

bool LTextBox::AcceptsTextInput() { return true; }

bool LTextBox::CanPaste(int32_t editCode) {
  switch (editCode) {
  case kEditDelete:
  case kEditCut:
  case kEditCopy:
    return mSelectionLength > 0;
  case kEditPaste: {
    const RCPtr<LClipboard> clipboard = ApplicationClipboard();
    const ConstRCPtr<LStringWrapper> text = clipboard ? clipboard->GetText() : nullptr;
    if (!text || text->IsEmpty()) {
      return false;
    }
    return mMaxLength == 0 || mMaxLength >= Length(*text) + Length(GetText()) - mSelectionLength;
  }
  default:
    return false;
  }
}

QZResult LTextBox::PerformEdit(int32_t editCode) {
  const RCPtr<LControl> self(this);
  switch (editCode) {
  case kEditDelete:
    if (mSelectionLength <= 0) {
      return QZ_E_FAIL;
    }
    DeleteSelection();
    return QZ_OK;
  case kEditCut:
    if (mSelectionLength <= 0 || Failed(CopySelection())) {
      return QZ_E_FAIL;
    }
    DeleteSelection();
    return QZ_OK;
  case kEditCopy:
    return mSelectionLength > 0 ? CopySelection() : QZResult(QZ_E_FAIL);
  case kEditPaste:
    return Paste();
  default:
    return QZ_E_FAIL;
  }
}

QZResult LTextBox::CopySelection() {
  const RCPtr<LClipboard> clipboard = ApplicationClipboard();
  if (!clipboard) {
    return QZ_E_FAIL;
  }
  const QZResult written = clipboard->SetText(MakeStringableWrapper(GetText().Mid(mSelectionStart, mSelectionLength)));
  return Failed(written) ? written : QZResult(QZ_OK);
}

QZResult LTextBox::Paste() {
  const RCPtr<LClipboard> clipboard = ApplicationClipboard();
  const ConstRCPtr<LStringWrapper> pasted = clipboard ? clipboard->GetText() : nullptr;
  if (!pasted || pasted->IsEmpty()) {
    return QZ_E_FAIL;
  }
  const int32_t kept = Length(GetText()) - mSelectionLength;
  if (mMaxLength > 0 && mMaxLength < Length(*pasted) + kept) {
    return QZ_E_FAIL;
  }
  const int32_t at = mSelectionLength > 0 ? mSelectionStart : mCaret;
  WString text = GetText().Left(uint32_t(at));
  text += *pasted;
  text += GetText().Mid(at + mSelectionLength);
  ApplyEdit(text, at + Length(*pasted));
  return QZ_OK;
}

// =============================================================================================
// Validation
// =============================================================================================

RCPtr<LTextValidationParams> LTextBox::Validate() {
  const RCPtr<LControl> self(this);
  const RCPtr<LTextValidationParams> params = LTextValidationParams::Create(GetText());
  Announce(u"NID_TEXTBOX_VALIDATING", params);
  if (params->IsValid() && params->GetText() != params->GetOriginalText()) {
    SetText(params->GetText(), false);
  }
  if (params->IsValid()) {
    Announce(u"NID_TEXTBOX_VALIDATED", params);
  }
  return params;
}

bool LTextBox::Commit() { return Validate()->IsValid(); }

bool LTextBox::CanReleaseFocus() { return Commit(); }

QZResult LTextBox::SetFocus(bool forward) {
  const RCPtr<LControl> self(this);
  if (HasFocus()) {
    Validate(); // a veto keeps the text as typed
  }
  return LScrollView::SetFocus(forward);
}

// =============================================================================================
// Looks, conditions, skin entry and context menu
// =============================================================================================

void LTextBox::UpdateLook() {
  int32_t look = kLookNormal;
  if (!IsEnabled(true)) {
    look = kLookDisabled;
  } else if (GetText().IsEmpty() && !HasFocus()) {
    look = kLookHint;
  } else if (HasFocus()) {
    look = kLookFocused;
  } else if (GetConditions() & kConditionHover) {
    look = kLookHover;
  }
  if (uint32_t(look) >= GetLooks().GetCount() || !GetLooks().GetAt(uint32_t(look))) {
    look = kLookNormal;
  }
  ShowLook(look);
}

QZResult LTextBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const RCPtr<LControl> self(this);
  LScrollView::OnConditionsChanged(param);
  const uint32_t changed = param->GetChanged();
  const uint32_t now = param->GetCurrent();
  if (changed & kConditionHasFocus) {
    if (now & kConditionHasFocus) {
      mCaretVisible = true;
      mNextBlinkTime = Widgets::Now() + kCaretShownSeconds;
      RecomputeCaretRect();
      RefreshSelectionDisplay();
      AddIdleRequest(); // outside a window only counted
    } else {
      const RCPtr<IRootWindow> window = GetRootWindowRef();
      if (!window || !window->CancelIdleRequestAt(this)) {
        ReleaseIdleRequest(); // the blink's, unless the window kept it
      }
      mCaretVisible = false;
      RefreshSelectionDisplay();
    }
  }
  if ((changed & kConditionHover) && (now & kConditionHover)) {
    if (IControlApplication* application = GetControlApplication()) {
      SetCursor(application->GetApplicationCursor(u"UI_CURSOR_IBEAM"));
    }
  }
  if ((changed & kConditionLeftDrag) && !(now & kConditionLeftDrag)) {
    StopAxisAnimation(0);
    StopAxisAnimation(1);
  }
  UpdateLook();
  return QZ_OK;
}

QZResult LTextBox::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) {
  const RCPtr<LControl> self(this);
  const bool first = !IsDescriptorApplied();
  const QZResult result = LScrollView::ApplyDescriptor(descriptor);
  if (Failed(result)) {
    return result;
  }
  WString hint;
  if (LookupString(GetStringTable().Get(), TableKey<u"LABEL">(), hint)) {
    mHintText = hint;
    if (first) {
      // The string table's label is the hint: the text is the skin's own label, if any.
      WString text;
      LookupString(descriptor->GetCreateParams().Get(), TableKey<u"LABEL">(), text); // none: empty
      SetTextInternal(text, false);
    }
    if (const RCPtr<LLook> look = GetLook(kLookHint); look && GetLooks().GetCount() > uint32_t(kLookHint)) {
      look->SetText(mHintText);
    }
  }
  UpdateLook();
  return result;
}

QZResult LTextBox::SubscribeNotifications() {
  const RCPtr<LControl> self(this);
  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  if (const RCPtr<LStringTable> texts = factory ? factory->GetApplicationStringTable() : nullptr) {
    const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
    for (const EditCommand& command : kEditCommands) {
      WString label;
      LookupString(texts.Get(), command.textKey, label); // a missing text leaves the label empty
      menu->InsertNewItem(menu->GetItemCount(), label, command.request, true, false);
    }
    SetContextMenuDescriptor(menu);
  }
  return LScrollView::SubscribeNotifications();
}

QZResult LTextBox::IsMenuItemEnabled(const LMenuDescriptor* menu, int32_t itemIndex, const WString& command,
                                     LMenuItemState& state) {
  for (const EditCommand& edit : kEditCommands) {
    if (command == edit.request) {
      const RCPtr<LClipboard> clipboard = ApplicationClipboard();
      state.enabled = clipboard && clipboard->CanPerformEdit(edit.editCode);
      return QZ_OK;
    }
  }
  return LScrollView::IsMenuItemEnabled(menu, itemIndex, command, state);
}

QZResult LTextBox::Initialize() {
  if (Failed(LScrollView::Initialize())) {
    return QZ_OK;
  }
  SetLooksFollowScroll(true);
  RecomputeCaretRect();
  return QZ_OK;
}

WString LTextBox::GetToolTipText() { return IsTextTruncated() ? GetText() : LScrollView::GetToolTipText(); }

} // namespace QZ
