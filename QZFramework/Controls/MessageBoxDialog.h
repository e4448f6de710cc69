#pragma once
// QZ::LMessageBoxDialog: the application's message box in the skin's look, and
// QZ::ShowSkinnedMessageBox, which shows one for a message box's style word (MessageBoxW's:
// buttons, default button, icon; Platform/Window/MessageBoxStyle.h) as a modal window of
// the application, sized to its text and centred on its owner.
//
//   const std::optional<int32_t> answer =
//       QZ::ShowSkinnedMessageBox(*application, u"Replace the preset?", u"Load", MB_YESNO | MB_ICONQUESTION);
//   if (!answer) { ... no skinned box here: show the system's ... }
//   else if (*answer == QZ::LDialog::kResultYes) { ... }
//
// The box is made as this class from the current skin's top-level entry "dialogMessageBox"
// (whatever class the entry names; no class name is registered for it). The entry is the
// smallest box, and the layout measures its places: the margins and "labelIcon" (looks 0-3
// the error, question, warning and information icons; without it no icon shows), where the
// text begins ("panelText", a panel that scrolls "labelText", a wrapping label, when the
// text is taller than the screen allows), and the standard buttons ("buttonOK",
// "buttonCancel", "buttonAbort", "buttonRetry", "buttonIgnore", "buttonYes", "buttonNo"):
// their size, and the gap between the first two places of their row. The button texts are
// the framework string table's "MESSAGE_BOX_BUTTON_OK" ... "MESSAGE_BOX_BUTTON_NO".
//
// The text keeps its lines up to twice the skin's width and wraps there; the box grows
// wider still, up to the longest line, while the text would be less than kTextAspect times
// as wide as it is tall, before it grows taller. It stays within the desktop's work area,
// less a button's height for the window's title, and scrolls a text taller than that.
// The style's buttons stand at the bottom right in the system's order; the default one has
// the focus, so Return chooses it (Return elsewhere in the box too). Escape and the
// window's close box answer as Cancel where the box has one, OK for a box of OK alone, and
// do nothing in the others.
//
// UI thread, like every control.

#include <cstdint>
#include <optional>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/Controls/Dialog.h"

namespace QZ {

class LButton;
class LControlFactory;
class LKeyParam;

class LMessageBoxDialog : public LDialog {
public:
  // How many times as wide as tall a wrapped text becomes before the box grows taller.
  static constexpr int32_t kTextAspect = 3;

  LMessageBoxDialog(const RCPtr<LControl>& parent, const WString& name);

  // The box of factory's current skin; null when the skin has no "dialogMessageBox" with
  // "panelText/labelText" or the box cannot be made. Throws what making a control of the
  // skin throws (a faulty skin).
  static RCPtr<LMessageBoxDialog> Create(const LControlFactory& factory);

  // Shows caption (as the window's title), text and the buttons and icon of style, sizes
  // the box for the text within workArea and places it centred on an owner whose client
  // area is ownerSize (in the owner's client coordinates). 0; QZ_E_FAIL when the skin lacks
  // a button the style shows (nothing is shown then).
  QZResult Prepare(const WString& text, const WString& caption, uint32_t style, const SizeT<int32_t>& ownerSize,
                   const RectT<int32_t>& workArea);

  // Return answers as the default button, Escape as Cancel where the box has it (see above):
  // 0. Other keys go on as the dialog's do.
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  QZResult HandleKey(const RCPtr<LKeyParam>& param) override;
  // The close box: Escape's answer; 1 (kept open) in a box that Escape does not close.
  QZResult CancelFromWindow() override;
  // The focus comes to the default button, unless one of the box's controls holds it
  // already.
  QZResult SetFocus(bool forward) override;

private:
  // The key's answer (0) or 1 when the key is not one the box answers.
  QZResult AnswerKey(const RCPtr<LKeyParam>& param);

  uint32_t mStyle = 0;
  int32_t mDefaultAnswer = 0;
  RCPtr<LButton> mDefaultButton;
};

// Shows a skinned box owned by application's active root window (else its first) and
// answers the button chosen: a box ended by the application's exit or a quit answers as a
// cancelled one (Platform::Window::CancelAnswer). Nothing, with nothing shown, when there
// is no root window, the skin has no box (LMessageBoxDialog::Create) or lacks the style's
// buttons, or the window cannot be made: the caller shows the box another way.
std::optional<int32_t> ShowSkinnedMessageBox(IControlApplication& application, const WString& text,
                                             const WString& caption, uint32_t style);

} // namespace QZ
