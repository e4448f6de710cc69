#pragma once
// QZ::LTextBox ("Framework.TextBox", the part "textBox" of other widgets): the editable
// text field. Its text is the control's label; it keeps a caret and a selection, edits
// them from keys, typed characters, the mouse and the clipboard, refuses characters its
// filter excludes and text beyond its maximum length, and lets listeners check or correct
// the text when the user presses Enter or the focus moves away.
//
//   factory->RegisterControlCreateFunction(u"Framework.TextBox", &QZ::CreateControlOf<QZ::LTextBox>);
//   QZ::RCPtr<QZ::LTextBox> box = QZ::DynamicCast<QZ::LTextBox>(factory->CreateControl(panel, entry));
//   box->SetCharacterFilter(u"0123456789", true);       // digits only
//   box->SetMaxLength(3);
//   listener->RegisterNotification(box, u"NID_TEXTBOX_VALIDATING");   // may veto or correct
//   box->SetText(u"42");                                // "NID_TEXTBOX_TEXT_CHANGE"
//
// Notifications (the box's own distributor):
//   "NID_TEXTBOX_TEXT_CHANGE"  the box itself            whenever its text changes
//   "NID_TEXTBOX_VALIDATING"   QZ::LTextValidationParams on Enter, when the focus moves away
//                                                        and on Commit
//   "NID_TEXTBOX_VALIDATED"    the same parameter        afterwards, unless a listener vetoed
//
// Looks: 6 disabled; else 9 while empty and not focused (it shows the hint, the "LABEL" of
// the box's string table); else 2 focused; else 1 under the pointer; else 0. A look the list
// lacks shows look 0. The pointer over the box is "UI_CURSOR_IBEAM".
//
// Typed characters: "printable" is the C library's iswprint under the process's LC_CTYPE;
// surrogate halves are not printable, so a character beyond U+FFFF is refused whole. Word
// boundaries fall at what iswspace or iswblank calls space. An edit over a selection (a typed
// character, a paste, a deletion, a cut) always ends the selection, even when the text comes
// out the same, and leaves the caret after what went in (where the selection began when
// nothing did); a refused character changes nothing.
//
// The context menu (Cut, Copy, Paste, Delete; "EDIT_CUT" ... "EDIT_DELETE" of the
// application's string table) is built when the tree subscribes its notifications; its
// items raise the application's edit requests, which the clipboard (QZ::LClipboard) hands
// back to PerformEdit of the focused box.
//
// Timed behaviour: while focused, the caret blinks on the idle ticks against the
// application clock: shown 0.5 s, hidden 0.3 s.
//
// UI thread, like every control.

#include <cstdint>
#include <vector>

#include "QZFramework/Controls/ScrollView.h"

namespace QZ {

// The parameter of "NID_TEXTBOX_VALIDATING" and "NID_TEXTBOX_VALIDATED".
class LTextValidationParams : public virtual LRefCountedObject {
public:
  // text, and a copy of it as it was; valid.
  static RCPtr<LTextValidationParams> Create(const WString& text);

  // The text being validated; a listener of "NID_TEXTBOX_VALIDATING" may replace it.
  const WString& GetText() const { return mText; }
  void SetText(const WString& text) { mText = text; }
  // The text as validation began.
  const WString& GetOriginalText() const { return mOriginalText; }
  // A listener that clears it vetoes: the text stays as typed, no "NID_TEXTBOX_VALIDATED".
  bool IsValid() const { return mValid; }
  void SetValid(bool valid) { mValid = valid; }

private:
  explicit LTextValidationParams(const WString& text) : mText(text), mOriginalText(text) {}

  WString mText;
  WString mOriginalText;
  bool mValid = true;
};

class LTextBox : public LScrollView {
public:
  // The looks the box chooses among.
  static constexpr int32_t kLookNormal = 0;
  static constexpr int32_t kLookHover = 1;
  static constexpr int32_t kLookFocused = 2;
  static constexpr int32_t kLookDisabled = 6;
  static constexpr int32_t kLookHint = 9;
  // The blink: the caret shows this long, then hides this long (seconds).
  static constexpr double kCaretShownSeconds = 0.5;
  static constexpr double kCaretHiddenSeconds = 0.3;

  LTextBox(const RCPtr<LControl>& parent, const WString& name);
  ~LTextBox() override;

  // --- The control's operations --------------------------------------------------------

  // SetText(text, true).
  QZResult SetText(const WString& text) override;
  // The scroll view's. While the left button holds the box the selection then reaches the
  // character under the pointer; otherwise the selection's display follows. A call made
  // while this runs is the scroll view's alone.
  QZResult SetScrollOffset(const PointT<double>& offset) override;
  // Whether the box takes typed text: true.
  bool AcceptsTextInput() override;
  // Delete, cut and copy while something is selected; paste while the clipboard holds text
  // that fits the maximum length in place of the selection. False for any other code.
  bool CanPaste(int32_t editCode) override;
  // Runs the edit: delete, cut (the selection to the clipboard, then deleted), copy, paste
  // (the clipboard's text in place of the selection, the caret after it). 0; 0x80004005
  // with nothing selected (delete, cut, copy), without clipboard text, when a paste would
  // pass the maximum length, and for any other code; nothing changes then.
  QZResult PerformEdit(int32_t editCode) override;
  // A box that has the focus validates first (Validate); then the scroll view's.
  QZResult SetFocus(bool forward) override;
  // The focus turning on shows the caret for 0.5 s, starts the blink (an idle request) and
  // shows the selection;
  // turning off ends it and hides the caret. The pointer coming over sets the I-beam
  // cursor; a left drag that ends stops the box's scrolling. Then the look follows. 0.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // With an application string table: the context menu of the four edits. Then the
  // scroll view's.
  QZResult SubscribeNotifications() override;
  // "NID_EDIT_CUT_REQ", "NID_EDIT_COPY_REQ", "NID_EDIT_PASTE_REQ", "NID_EDIT_DELETE_REQ":
  // state.enabled is the clipboard's CanPerformEdit of that edit (false without a
  // clipboard); 0. Any other command: the base's answer.
  QZResult IsMenuItemEnabled(const LMenuDescriptor* menu, int32_t itemIndex, const WString& command,
                             LMenuItemState& state) override;
  // The scroll view's. Applied the first time, the string table's "LABEL" becomes the
  // hint (look 9 shows it) and the text comes from the create params' "LABEL" (else it is
  // empty). Then the look follows. The scroll view's result.
  QZResult ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
  // The character index under the point: with Shift the selection reaches it; else the
  // selection goes and the caret (and anchor) moves there. 0.
  QZResult HandleLeftButtonDown(const RCPtr<LMouseButtonParam>& param) override;
  // While the left button holds the box: the selection reaches the index under the point,
  // kept in the text area. 0.
  QZResult HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
  // A double click, or a click with Ctrl, selects the word around the caret. 0.
  QZResult HandleLeftClick(const RCPtr<LMouseButtonParam>& param) override;
  // The keys of the box (navigation, selection, deletion, Enter) and typed characters: 0
  // when consumed, 1 when the key goes on (focus navigation, hot keys).
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  // The blink, while focused. 0.
  QZResult OnTick() override;
  // The selection's highlight (the current look's text colour, a third opaque) and, while
  // focused and in its shown phase, the caret (a 1-pixel bar in that colour). 0.
  QZResult DrawContent(const RCPtr<LRenderer>& renderer) override;
  // The scroll view's; on its success the text follows the scroll offset when painted and
  // the caret is placed. 0 either way.
  QZResult Initialize() override;
  // The text while it is wider than the look's text area, else the control's tool tip.
  WString GetToolTipText() override;
  // Commit: whether the focus may leave now.
  bool CanReleaseFocus() override;

  // --- The box's own --------------------------------------------------------------------

  // Replaces the text: 1, nothing else, when it is the text already. Otherwise the client
  // extent becomes the text's size, the selection goes, the caret goes to 0 (resetCaret) or
  // stays (clamped to the text), the hint look keeps the hint, "NID_TEXTBOX_TEXT_CHANGE" is
  // sent. 0.
  virtual QZResult SetText(const WString& text, bool resetCaret);

  // The characters typing checks: with allowList only those may be typed, else those are
  // refused; an empty filter checks nothing.
  void SetCharacterFilter(const WString& filter, bool allowList);
  const WString& GetCharacterFilter() const { return mCharacterFilter; }
  bool IsFilterAllowList() const { return mFilterIsAllowList; }
  // The maximum length (0: none). A longer text is cut to it, the caret then at its end.
  void SetMaxLength(int32_t maxLength);
  int32_t GetMaxLength() const { return mMaxLength; }

  // Moves the caret to pos (0 .. length): 0x80070057 outside. At the caret already
  // without force: the anchor follows an empty selection, 1. Otherwise the caret moves
  // (the anchor with it while nothing is selected), shows for the next 0.5 s, 0.
  QZResult SetCaret(int32_t pos, bool force = false);
  int32_t GetCaret() const { return mCaret; }
  int32_t GetSelectionStart() const { return mSelectionStart; }
  int32_t GetSelectionLength() const { return mSelectionLength; }
  int32_t GetAnchor() const { return mAnchor; }
  // The caret: x, y, width 1, the line's height, in content coordinates (the text's, before
  // scrolling).
  const RectT<float>& GetCaretRect() const { return mCaretRect; }
  bool IsCaretVisible() const { return mCaretVisible; }
  // The selection's highlight rectangles, one per line, in content coordinates.
  const std::vector<RectT<float>>& GetSelectionRects() const { return mSelectionRects; }
  const WString& GetHintText() const { return mHintText; }
  // Whether SetText has ever replaced the text.
  bool HasTextChanged() const { return mTextChanged; }

  // "NID_TEXTBOX_VALIDATING" with the text; a listener's different text (valid kept) is
  // applied without moving the caret; then, unless vetoed, "NID_TEXTBOX_VALIDATED" with the
  // same parameter, which is returned.
  RCPtr<LTextValidationParams> Validate();
  // Validate: whether the text was accepted.
  bool Commit();

private:
  // --- Text and edits (TextBox.cpp) ---
  // Clears the selection: start, length and anchor 0; redrawn when something was selected.
  void ClearSelection();
  // Selects count characters from start (0: none at start), the anchor kept.
  void SelectRange(int32_t start, int32_t count);
  // The selection reaches pos from the anchor; the caret goes to pos.
  void ExtendSelectionTo(int32_t pos);
  // Applies text as an edit's result: when it changed the text, or when the edit ran over a
  // selection, the selection goes and the caret moves to caret (forced).
  void ApplyEdit(const WString& text, int32_t caret);
  // Applies the text without the count characters from start; the caret to start.
  void DeleteRange(int32_t start, int32_t count);
  void DeleteSelection() { DeleteRange(mSelectionStart, mSelectionLength); }
  // A typed character: 0 taken (or refused), 1 when it goes on.
  QZResult TypeCharacter(char16_t character);
  QZResult Paste();
  QZResult CopySelection();
  // The look of the box's state.
  void UpdateLook();

  // --- Keys and the mouse (TextBoxInput.cpp) ---
  QZResult OnVirtualKey(uint8_t virtualKey, uint32_t modifiers);
  int32_t NextWordBoundary(int32_t from) const;
  int32_t PreviousWordBoundary(int32_t from) const;
  // The character index nearest point (control coordinates).
  int32_t IndexAtPoint(const PointT<double>& point);
  // The box's text area in control coordinates.
  RectT<double> TextArea();

  // --- Geometry and drawing (TextBoxDisplay.cpp) ---
  // The start index of each laid-out line of the current look.
  struct LineLayout {
    int32_t start;
    int32_t length;
    RectT<float> rect; // content coordinates
  };
  std::vector<LineLayout> LayOutLines();
  // How far the first count characters of line reach in the current look's font.
  float PrefixWidth(const WString& line, int32_t count);
  void RecomputeCaretRect();
  // Leaves the blink's idle request with the window until the next blink is due.
  void WaitForBlink();
  void RefreshSelectionDisplay();
  // The colour of the current look's text.
  ColorT<float> TextColor();

  WString mCharacterFilter;
  bool mFilterIsAllowList = true;
  WString mHintText;
  int32_t mCaret = 0;
  int32_t mSelectionStart = 0;
  int32_t mSelectionLength = 0;
  int32_t mAnchor = 0;
  int32_t mMaxLength = 0;
  bool mTextChanged = false;
  RectT<float> mCaretRect{0.0f, 0.0f, 1.0f, 0.0f};
  bool mCaretVisible = true;
  double mNextBlinkTime = 0.0;
  std::vector<RectT<float>> mSelectionRects;
  bool mInScrollUpdate = false;
};

} // namespace QZ
