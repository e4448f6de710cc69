#include "QZFramework/Controls/MessageBoxDialog.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "Platform/Window/MessageBoxStyle.h"
#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/FontText.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ScrollView.h"

namespace QZ {

namespace {

namespace Win = Platform::Window;

constexpr char16_t kSkinName[] = u"dialogMessageBox";

struct AnswerButton {
  int32_t answer;
  const char16_t* name;
  const char16_t* textKey;
  const char16_t* text; // when the framework table has none
};

constexpr std::array<AnswerButton, 7> kAnswerButtons = {{
    {Win::IDOK, u"buttonOK", u"MESSAGE_BOX_BUTTON_OK", u"OK"},
    {Win::IDCANCEL, u"buttonCancel", u"MESSAGE_BOX_BUTTON_CANCEL", u"CANCEL"},
    {Win::IDABORT, u"buttonAbort", u"MESSAGE_BOX_BUTTON_ABORT", u"ABORT"},
    {Win::IDRETRY, u"buttonRetry", u"MESSAGE_BOX_BUTTON_RETRY", u"RETRY"},
    {Win::IDIGNORE, u"buttonIgnore", u"MESSAGE_BOX_BUTTON_IGNORE", u"IGNORE"},
    {Win::IDYES, u"buttonYes", u"MESSAGE_BOX_BUTTON_YES", u"YES"},
    {Win::IDNO, u"buttonNo", u"MESSAGE_BOX_BUTTON_NO", u"NO"},
}};

const AnswerButton& ButtonOf(int32_t answer) {
  return *std::find_if(kAnswerButtons.begin(), kAnswerButtons.end(),
                       [answer](const AnswerButton& button) { return button.answer == answer; });
}

uint8_t PressedKey(const KeyCode& key) {
  const bool plain = (key.code & (kKeyCodeDown | kKeyCodeCharacterMask | kKeyCodeCtrl | kKeyCodeAlt)) == kKeyCodeDown;
  return plain ? uint8_t((key.code & kKeyCodeVirtualKeyMask) >> 16) : 0;
}

// Places control at (x, y) of its parent's client area in a size of its own; the rest of
// its skin placement (docking, limits) stays.
void Place(LControl& control, double x, double y, double width, double height) {
  LayoutPosition positions[2];
  LayoutSize sizes[2];
  const double places[2] = {x, y};
  const double lengths[2] = {width, height};
  for (int32_t axis = 0; axis < 2; ++axis) {
    if (const RCPtr<LLayoutDescriptor>& layout = control.GetLayoutDescriptor()) {
      layout->GetAxis(axis, positions[axis], sizes[axis]);
    }
    positions[axis].anchor = 0.0f;
    positions[axis].kind = kPositionToClient;
    positions[axis].rel = 0.0f;
    positions[axis].abs = places[axis];
    sizes[axis] = LayoutSize{kSizeToSelf, {}, 0.0f, lengths[axis]};
  }
  control.SetPlacement(positions[0], sizes[0], positions[1], sizes[1]);
}

// The width, within minimum and maximum, at which text wraps kTextAspect times as wide as it
// is tall: estimated from its length on one line, then widened while it is taller (each
// try wraps the whole text once).
int32_t WrapWidth(const LFontText& text, int32_t minimum, int32_t maximum) {
  const auto flat = [&text](int32_t width) {
    return int64_t(text.GetTextHeight(width)) * LMessageBoxDialog::kTextAspect <= width;
  };
  double length = 0.0;
  for (const WString& paragraph : SplitAtLineFeeds(text.GetText())) {
    length += LFontText(paragraph, text.GetFont()).GetNaturalWidth();
  }
  const double lineHeight = text.GetFont() ? text.GetFont()->GetHeight() : 0;
  int32_t width = std::clamp(int32_t(std::ceil(std::sqrt(LMessageBoxDialog::kTextAspect * lineHeight * length))),
                             minimum, std::max(minimum, maximum));
  while (width < maximum && !flat(width)) {
    width = std::min(maximum, width + width / 8 + 1);
  }
  return width;
}

} // namespace

LMessageBoxDialog::LMessageBoxDialog(const RCPtr<LControl>& parent, const WString& name) : LDialog(parent, name) {}

RCPtr<LMessageBoxDialog> LMessageBoxDialog::Create(const LControlFactory& factory) {
  const RCPtr<LControlDescriptor> descriptor = factory.FindControlDescriptor(WString(kSkinName));
  if (!descriptor) {
    return nullptr;
  }
  // A top control is shown whatever its skin entry says, as the factory's top controls are.
  if (const RCPtr<LLayoutDescriptor>& layout = descriptor->GetLayout()) {
    layout->isVisible = true;
  }
  const RCPtr<LMessageBoxDialog> box =
      DynamicCast<LMessageBoxDialog>(CreateControlOf<LMessageBoxDialog>(nullptr, descriptor));
  const RCPtr<LControl> panel = box ? box->FindChildByName(u"panelText") : nullptr;
  if (!panel || !panel->FindChildByName(u"labelText")) {
    if (box) {
      box->ReleaseInternalReferences();
    }
    return nullptr;
  }
  return box;
}

QZResult LMessageBoxDialog::Prepare(const WString& text, const WString& caption, uint32_t style,
                                    const SizeT<int32_t>& ownerSize, const RectT<int32_t>& workArea) {
  const RCPtr<LMessageBoxDialog> self(this);
  const RCPtr<LScrollView> panel = DynamicCast<LScrollView>(FindChildByName(u"panelText"));
  const RCPtr<LControl> label = panel ? panel->FindChildByName(u"labelText") : nullptr;
  const Win::MessageBoxButtons answers = Win::ButtonsOfStyle(style);
  std::vector<RCPtr<LButton>> shown;
  for (int32_t i = 0; i < answers.count; ++i) {
    const RCPtr<LButton> button = DynamicCast<LButton>(FindChildByName(ButtonOf(answers.answers[size_t(i)]).name));
    if (!button) {
      return QZ_E_FAIL;
    }
    shown.push_back(button);
  }
  if (!label) {
    return QZ_E_FAIL;
  }
  mStyle = style;
  mDefaultAnswer = Win::DefaultAnswer(style);
  SetText(caption);
  label->SetText(text);

  // The skin's box: its margins, the icon, where the text begins, the buttons' row.
  const RectT<double> box = GetRect();
  const RectT<double> textArea = panel->GetRect();
  const RCPtr<LControl> icon = FindChildByName(u"labelIcon");
  const RectT<double> iconArea = icon ? icon->GetRect() : RectT<double>{textArea.x, textArea.y, 0.0, 0.0};
  const RectT<double> buttonArea = shown.front()->GetRect();
  std::vector<double> places;
  for (const AnswerButton& known : kAnswerButtons) {
    if (const RCPtr<LControl> button = FindChildByName(known.name)) {
      places.push_back(button->GetRect().x);
    }
  }
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  const double gap = places.size() > 1 ? std::max(0.0, places[1] - places[0] - buttonArea.width) : 0.0;
  const double left = std::min(iconArea.x, textArea.x);
  const double top = std::min(iconArea.y, textArea.y);
  const double right = box.width - std::max(textArea.x + textArea.width, buttonArea.x + buttonArea.width);
  const double bottom = box.height - (buttonArea.y + buttonArea.height);
  const double aboveButtons = buttonArea.y - std::max(textArea.y + textArea.height, iconArea.y + iconArea.height);
  const double minimumText = std::max(textArea.height, iconArea.height);

  const Win::MessageBoxIcon kind = Win::IconOfStyle(style);
  const bool withIcon = icon && kind != Win::MessageBoxIcon::NoIcon &&
                        icon->ShowLook(int32_t(kind) - int32_t(Win::MessageBoxIcon::Error)) == QZ_OK;
  if (icon) {
    icon->SetVisible(withIcon);
  }
  const double textX = withIcon ? textArea.x : left;

  // The text's width: the skin's, wider as the text asks and the screen lets it.
  RCPtr<LFontText> block(new LFontText(text, label->GetFont()));
  block->SetWrap(true);
  const double rowWidth = double(answers.count) * buttonArea.width + double(answers.count - 1) * gap;
  const auto minimumWidth = int32_t(std::max(box.width - textX - right, rowWidth + left - textX));
  const bool bounded = workArea.width > 0 && workArea.height > 0; // else the window system did not say
  const int32_t natural = block->GetNaturalWidth() + 1;           // a line exactly as wide as the block wraps
  const int32_t widest =
      std::max(minimumWidth, std::min(natural, bounded ? int32_t(workArea.width - textX - right) : natural));
  // A text a little longer than the skin's width stays on its line; a long one wraps at
  // twice that width, wider only as far as the text's shape asks.
  const int32_t sensible = std::min({natural, widest, std::max(minimumWidth, 2 * int32_t(textArea.width))});
  const int32_t width = WrapWidth(*block, std::max(minimumWidth, sensible), widest);
  // Its height: all of it, or what the screen leaves, scrolled.
  const auto wrapped = double(block->GetTextHeight(width));
  const double frame = top + aboveButtons + buttonArea.height + bottom;
  const double tallest = bounded ? std::max(minimumText, double(workArea.height) - buttonArea.height - frame) : wrapped;
  const double textHeight = std::min(std::max(wrapped, minimumText), tallest);
  const double boxWidth = textX + width + right;
  const double boxHeight = frame + textHeight;

  Place(*panel, textX, top, width, textHeight);
  Place(*label, 0, 0, width, textHeight);
  panel->SetClientExtent(width, textHeight);
  if (wrapped > textHeight) {
    // The scroll bar takes its place beside the text, which wraps again beside it.
    panel->SetClientExtent(width, wrapped);
    const auto beside = int32_t(panel->GetContentRect().width);
    const double scrolled = std::max(double(block->GetTextHeight(beside)), textHeight);
    Place(*label, 0, 0, beside, scrolled);
    panel->SetClientExtent(beside, scrolled);
  }

  // The buttons at the bottom right, in the style's order; the default one takes the focus.
  double x = boxWidth - right - rowWidth;
  const double y = boxHeight - bottom - buttonArea.height;
  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  const RCPtr<LStringTable> texts = factory ? factory->GetFrameworkStringTable() : nullptr;
  for (const AnswerButton& known : kAnswerButtons) {
    if (const RCPtr<LControl> button = FindChildByName(known.name)) {
      button->SetVisible(false);
    }
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    const AnswerButton& known = ButtonOf(answers.answers[i]);
    WString name(known.text);
    LookupString(texts.Get(), WString(known.textKey), name);
    shown[i]->SetText(name);
    Place(*shown[i], x, y, buttonArea.width, buttonArea.height);
    shown[i]->SetTabOrder(int32_t(i));
    shown[i]->SetVisible(true);
    x += buttonArea.width + gap;
    if (known.answer == mDefaultAnswer) {
      mDefaultButton = shown[i];
    }
  }
  Place(*this, (double(ownerSize.width) - boxWidth) / 2, (double(ownerSize.height) - boxHeight) / 2, boxWidth,
        boxHeight);
  return QZ_OK;
}

QZResult LMessageBoxDialog::AnswerKey(const RCPtr<LKeyParam>& param) {
  const uint8_t key = param ? PressedKey(param->GetKey()) : 0;
  if (key == Win::VK_RETURN && mDefaultAnswer != 0) {
    EndDialog(mDefaultAnswer); // vetoed or not, the key is used
    return QZ_OK;
  }
  if (key == Win::VK_ESCAPE) {
    if (const std::optional<int32_t> answer = Win::EscapeAnswer(mStyle)) {
      EndDialog(*answer);
    }
    return QZ_OK;
  }
  return QZ_FALSE;
}

QZResult LMessageBoxDialog::OnKeyDown(const RCPtr<LKeyParam>& param) {
  const RCPtr<LMessageBoxDialog> self(this);
  const QZResult answered = AnswerKey(param);
  return answered == QZ_OK ? answered : LDialog::OnKeyDown(param);
}

QZResult LMessageBoxDialog::HandleKey(const RCPtr<LKeyParam>& param) {
  const RCPtr<LMessageBoxDialog> self(this);
  const QZResult answered = AnswerKey(param);
  return answered == QZ_OK ? answered : LDialog::HandleKey(param);
}

QZResult LMessageBoxDialog::CancelFromWindow() {
  const std::optional<int32_t> answer = Win::EscapeAnswer(mStyle);
  return answer ? EndDialog(*answer) : QZResult(QZ_FALSE);
}

QZResult LMessageBoxDialog::SetFocus(bool forward) {
  if (!ContainsFocus() && mDefaultButton && mDefaultButton->IsShown(true)) {
    return mDefaultButton->SetFocus(true);
  }
  return LDialog::SetFocus(forward);
}

std::optional<int32_t> ShowSkinnedMessageBox(IControlApplication& application, const WString& text,
                                             const WString& caption, uint32_t style) {
  const RCPtr<LControlFactory> factory = application.GetControlFactory();
  RCPtr<IRootWindow> owner = application.GetActiveRootWindow();
  if (!owner) {
    owner = application.GetRootWindowAt(0);
  }
  const RCPtr<LMessageBoxDialog> box = factory && owner ? LMessageBoxDialog::Create(*factory) : nullptr;
  if (!box) {
    return std::nullopt;
  }
  const RectT<int32_t> client = owner->GetClientRect();
  if (Failed(box->Prepare(text, caption, style, {client.width, client.height}, application.GetScreenRect()))) {
    box->ReleaseInternalReferences();
    return std::nullopt;
  }
  const int32_t result =
      application.CreateRootWindowForControl(RCPtr<LControl>(box), Win::EscapeAnswer(style).has_value());
  box->ReleaseInternalReferences();
  if (result == QZ_E_FAIL) {
    return std::nullopt;
  }
  return result >= Win::IDOK && result <= Win::IDNO ? result : Win::CancelAnswer(style);
}

} // namespace QZ
