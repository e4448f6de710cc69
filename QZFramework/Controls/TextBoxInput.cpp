// The text box's keys and typed characters, word boundaries, the mouse and the scrolling
// that moves the selection with the pointer.

#include <algorithm>
#include <cwctype>

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Controls/TextBox.h"

namespace QZ {
namespace {

namespace Win = Platform::Window;

constexpr uint32_t kModifierBits = kKeyCodeCtrl | kKeyCodeShift | kKeyCodeAlt | kKeyCodeCommand | kKeyCodeFurther;
constexpr uint32_t kShift = kKeyCodeShift;
constexpr uint32_t kCtrl = kKeyCodeCtrl;
constexpr uint32_t kCtrlShift = kKeyCodeCtrl | kKeyCodeShift;

bool IsSpace(char16_t unit) { return std::iswspace(wint_t(unit)) || std::iswblank(wint_t(unit)); }

int32_t Length(const WString& text) { return int32_t(text.GetLength()); }

} // namespace

// =============================================================================================
// Keys
// =============================================================================================

QZResult LTextBox::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const uint32_t code = param->GetKey().code;
  const uint8_t virtualKey = uint8_t((code & kKeyCodeVirtualKeyMask) >> 16);
  if (virtualKey == 0) {
    return TypeCharacter(char16_t(code & kKeyCodeCharacterMask));
  }
  if (!IsVirtualKeyDown(param->GetKey())) {
    return QZ_OK;
  }
  return OnVirtualKey(virtualKey, code & kModifierBits);
}

QZResult LTextBox::OnVirtualKey(uint8_t virtualKey, uint32_t modifiers) {
  const int32_t length = Length(GetText());
  const bool plain = modifiers == 0;
  switch (virtualKey) {
  case 'A':
    if (modifiers == kCtrl) {
      const bool changed = mSelectionStart != 0 || mSelectionLength != length;
      mAnchor = 0;
      if (changed) {
        SelectRange(0, length);
      }
      // Then on as any letter with Ctrl: passed on.
      return QZ_FALSE;
    }
    break;
  case Win::VK_LEFT:
  case Win::VK_RIGHT: {
    const bool left = virtualKey == Win::VK_LEFT;
    if (plain) {
      ClearSelection();
      if (left ? mCaret > 0 : mCaret < length) {
        SetCaret(mCaret + (left ? -1 : 1));
      }
      return QZ_OK;
    }
    if (modifiers == kShift) {
      if (left ? mCaret == 0 : mCaret == length) {
        return QZ_OK;
      }
      if (mSelectionLength > 0) {
        if (left ? mCaret > mAnchor : mCaret < mAnchor) {
          // The moving end comes back towards the anchor.
          SelectRange(mSelectionStart + (left ? 0 : 1), mSelectionLength - 1);
        } else {
          SelectRange(mSelectionStart - (left ? 1 : 0), mSelectionLength + 1);
        }
      } else {
        mAnchor = mCaret;
        SelectRange(left ? mCaret - 1 : mCaret, 1);
      }
      SetCaret(mCaret + (left ? -1 : 1));
      return QZ_OK;
    }
    if (modifiers == kCtrl) {
      ClearSelection();
      SetCaret(left ? PreviousWordBoundary(mCaret) : NextWordBoundary(mCaret));
      return QZ_OK;
    }
    if (modifiers == kCtrlShift) {
      ExtendSelectionTo(left ? PreviousWordBoundary(mCaret) : NextWordBoundary(mCaret));
      return QZ_OK;
    }
    break;
  }
  case Win::VK_UP:
  case Win::VK_DOWN:
    if (plain || modifiers == kShift || modifiers == kCtrl || modifiers == kCtrlShift) {
      return QZ_FALSE;
    }
    break;
  case Win::VK_HOME:
  case Win::VK_END: {
    const bool home = virtualKey == Win::VK_HOME;
    if (plain) {
      ClearSelection();
      SetCaret(home ? 0 : length);
      return QZ_OK;
    }
    if (modifiers == kShift) {
      if (home ? mCaret == 0 : mCaret == length) {
        return QZ_OK;
      }
      SelectRange(home ? 0 : mAnchor, home ? mAnchor : length - mAnchor);
      SetCaret(home ? 0 : length);
      return QZ_OK;
    }
    break;
  }
  case Win::VK_BACK:
    if (plain) {
      if (mSelectionLength > 0) {
        DeleteSelection();
      } else if (mCaret >= 1) {
        DeleteRange(mCaret - 1, 1);
      }
      return QZ_OK;
    }
    break;
  case Win::VK_DELETE:
    if (plain || modifiers == kCtrl || modifiers == kShift) {
      if (mSelectionLength > 0) {
        DeleteSelection();
      } else if (modifiers == kShift && mCaret >= 1) {
        DeleteRange(mCaret - 1, 1); // Shift+Delete is Backspace
      } else if (modifiers != kShift && mCaret < length) {
        DeleteRange(mCaret, modifiers == kCtrl ? length - mCaret : 1);
      }
      return QZ_OK;
    }
    break;
  case Win::VK_RETURN:
    if (plain) {
      return Validate()->IsValid() ? QZ_FALSE : QZ_OK;
    }
    break;
  default:
    break;
  }
  const bool typed = virtualKey == Win::VK_SPACE || (virtualKey >= '0' && virtualKey <= '9') ||
                     (virtualKey >= 'A' && virtualKey <= 'Z');
  if (typed) {
    // The character event that follows types it; with Ctrl, Alt or Command it is a command.
    return modifiers & (kKeyCodeCtrl | kKeyCodeAlt | kKeyCodeCommand) ? QZ_FALSE : QZ_OK;
  }
  return QZ_FALSE;
}

// =============================================================================================
// Word boundaries
// =============================================================================================

int32_t LTextBox::NextWordBoundary(int32_t from) const {
  const WString& text = GetText();
  const int32_t length = Length(text);
  int32_t i = from;
  while (i < length && IsSpace(text.GetBuffer()[i])) {
    ++i;
  }
  while (i < length && !IsSpace(text.GetBuffer()[i])) {
    ++i;
  }
  while (i < length && IsSpace(text.GetBuffer()[i])) {
    ++i;
  }
  return i;
}

int32_t LTextBox::PreviousWordBoundary(int32_t from) const {
  if (from <= 0) {
    return 0;
  }
  const char16_t* text = GetText().GetBuffer();
  int32_t i = from - 1;
  while (i > 0 && IsSpace(text[i])) {
    --i;
  }
  while (i > 0 && !IsSpace(text[i])) {
    --i;
  }
  return IsSpace(text[i]) ? i + 1 : i;
}

// =============================================================================================
// The mouse
// =============================================================================================

RectT<double> LTextBox::TextArea() {
  if (const RCPtr<LLook> look = GetLook(-1); look && look->GetFontText()) {
    return look->GetTextBlockRect().ToDouble();
  }
  return {0.0, 0.0, GetRect().width, GetRect().height};
}

int32_t LTextBox::IndexAtPoint(const PointT<double>& point) {
  const std::vector<LineLayout> lines = LayOutLines();
  if (lines.empty()) {
    return 0;
  }
  const double x = point.x + GetScrollOffset().x;
  const double y = point.y + GetScrollOffset().y;
  size_t row = 0;
  while (row + 1 < lines.size() && y >= lines[row + 1].rect.y) {
    ++row;
  }
  const LineLayout& line = lines[row];
  const WString text = GetText().Mid(line.start, uint32_t(line.length));
  const double offset = x - line.rect.x;
  float before = 0.0f;
  for (int32_t k = 0; k < line.length; ++k) {
    const float after = PrefixWidth(text, k + 1);
    if (offset < (before + after) / 2.0) {
      return line.start + k;
    }
    before = after;
  }
  return line.start + line.length;
}

QZResult LTextBox::HandleLeftButtonDown(const RCPtr<LMouseButtonParam>& param) {
  const RCPtr<LControl> self(this);
  const int32_t index = IndexAtPoint(param->GetPoint().ToDouble());
  if (param->GetModifiers() & kModifierShift) {
    ExtendSelectionTo(index);
  } else {
    ClearSelection();
    SetCaret(index);
    mAnchor = index;
  }
  return QZ_OK;
}

QZResult LTextBox::HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param) {
  if (!HasCapture() || !(IsButtonPressed(0) || IsButtonDragging(0))) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  const RectT<double> area = TextArea();
  const PointT<double> point = param->GetPoint().ToDouble();
  const PointT<double> inside{std::clamp(point.x, area.x, area.x + std::max(area.width - 1.0, 0.0)),
                              std::clamp(point.y, area.y, area.y + std::max(area.height - 1.0, 0.0))};
  ExtendSelectionTo(IndexAtPoint(inside));
  return QZ_OK;
}

QZResult LTextBox::HandleLeftClick(const RCPtr<LMouseButtonParam>& param) {
  if (!param->IsDoubleClick() && !(param->GetModifiers() & kModifierCtrl)) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  const int32_t start = PreviousWordBoundary(mCaret);
  ClearSelection();
  SetCaret(start);
  int32_t end = NextWordBoundary(start);
  while (end > start && IsSpace(GetText().GetBuffer()[end - 1])) {
    --end;
  }
  ExtendSelectionTo(end);
  return QZ_OK;
}

QZResult LTextBox::SetScrollOffset(const PointT<double>& offset) {
  if (mInScrollUpdate) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  mInScrollUpdate = true;
  const QZResult result = LScrollView::SetScrollOffset(offset);
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  if (result == QZ_OK && window && HasCapture() && (IsButtonPressed(0) || IsButtonDragging(0))) {
    const PointT<int32_t> pointer = window->GetMousePosition();
    const PointT<double> origin = GetWindowPosition();
    ExtendSelectionTo(IndexAtPoint({pointer.x - origin.x, pointer.y - origin.y}));
  } else {
    RefreshSelectionDisplay();
  }
  mInScrollUpdate = false;
  return result;
}

} // namespace QZ
