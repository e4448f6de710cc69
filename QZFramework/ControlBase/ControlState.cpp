// What a control shows and holds, set from outside: its value, whether it is shown and
// enabled, its label and font, the weights, regions and parts of its looks, its cursor,
// the scroll offset of its content; and the direct delivery of a notification.

#include <cmath>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace QZ {
namespace {

bool SameFont(const RCPtr<LFont>& a, const RCPtr<LFont>& b) {
  if (a == b) {
    return true;
  }
  return a && b && a->GetFaceName().CompareNoCase(b->GetFaceName()) == 0 && a->GetSize() == b->GetSize() &&
         a->GetStyle() == b->GetStyle();
}

} // namespace

// =============================================================================================
// Value
// =============================================================================================

double LControl::SetValue(double value) {
  // A NaN would pass the clamp and make every later value look new.
  if (std::isnan(value)) {
    return mValue;
  }
  const double clamped = value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value;
  if (clamped == mValue) {
    return mValue;
  }
  const RCPtr<LControl> self(this);
  mValue = clamped;
  OnValueChanged();
  const double scaled = mScaleType == 1 ? mRangeMinimum * std::pow(mRangeMaximum / mRangeMinimum, mValue)
                                        : mRangeMinimum + (mRangeMaximum - mRangeMinimum) * mValue;
  Announce(u"NID_VALUE_CHANGE", LValueParam::Create(mValue, scaled));
  return mValue;
}

// =============================================================================================
// Shown and enabled
// =============================================================================================

void LControl::TakeFocusFromParent() {
  if (mParent && mParent->mHasFocus && (IsFocusable() || CanTakeFocus())) {
    SetFocus(true); // the parent keeps it when this one cannot
  }
}

bool LControl::SetVisible(bool visible) {
  if (!mLayout || mLayout->isVisible == visible) {
    return IsShown(true);
  }
  const RCPtr<LControl> self(this);
  if (!visible) {
    InvalidateArea();
    if (mParent) {
      mParent->OnChildLayoutChanged(self); // a buffered parent repaints the place
    }
    mLayout->isVisible = false;
    if ((mHasFocus || mContainsFocus) && mParent) {
      mParent->SetFocus(true); // a parent that cannot take it leaves it
    }
  } else {
    mLayout->isVisible = true;
    TakeFocusFromParent();
    InvalidateArea();
    if (mParent) {
      mParent->OnChildLayoutChanged(self); // a buffered parent repaints the place
    }
  }
  NotifyConditionChange();
  return IsShown(true);
}

QZResult LControl::SetEnabled(bool enabled) {
  if (!mLayout) {
    return QZ_E_FAIL;
  }
  if (mLayout->isEnabled == enabled) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  mLayout->isEnabled = enabled;
  if (!enabled && (mHasFocus || mContainsFocus) && mParent) {
    mParent->SetFocus(true); // a parent that cannot take it leaves it
  }
  TakeFocusFromParent();
  NotifyConditionChange();
  InvalidateArea();
  return QZ_OK;
}

// =============================================================================================
// Label and font
// =============================================================================================

QZResult LControl::SetText(const WString& text) { return SetTextInternal(text, true) ? QZ_OK : QZ_FALSE; }

bool LControl::SetTextInternal(const WString& text, bool relayout) {
  if (text == mLabel) {
    return false;
  }
  const RCPtr<LControl> self(this);
  if (!mParent && mRootWindow) {
    mRootWindow->SetCaption(text);
  }
  mLabel = text;
  for (uint32_t i = mLooks.GetCount(); i-- > 0;) {
    if (const RCPtr<LLook>& look = mLooks.GetAt(i)) {
      look->SetText(text);
    }
  }
  const bool textSizes = mLayout && ((!mLayout->minimum[0].toControl && mLayout->textOverflowX != kTextOverflowClip) ||
                                     (!mLayout->minimum[1].toControl && mLayout->textOverflowY != kTextOverflowClip));
  if (relayout && textSizes) {
    PerformLayout();
  }
  InvalidateArea();
  return true;
}

QZResult LControl::SetFont(const RCPtr<LFont>& font) {
  if (!font) {
    return QZ_E_INVALIDARG;
  }
  for (uint32_t i = mLooks.GetCount(); i-- > 0;) {
    if (const RCPtr<LLook>& look = mLooks.GetAt(i)) {
      look->SetFont(font);
    }
  }
  if (SameFont(font, mFont)) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  mFont = font;
  // An explicit font is no longer followed from the parent.
  mFontFaceFromBase = false;
  mFontSizeFromBase = false;
  mFontStyleFromBase = false;
  OnFontChanged();
  for (uint32_t i = 0; i < mChildren.GetCount(); ++i) {
    const RCPtr<LControl> child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    child->OnParentFontChanged(); // a child that cannot follow keeps its font
  }
  // While its first descriptor is applied the control is laid out once, with its label,
  // after the font: laying it out here too would place it and its siblings twice.
  const bool firstApply = mLayout && !mApplied;
  if (!firstApply) {
    PerformLayout();
    InvalidateArea();
  }
  return QZ_OK;
}

QZResult LControl::ApplyResolvedFont(const WString& face, bool faceFromBase, float size, bool sizeFromBase,
                                     float sizeFactor, int32_t style, bool styleFromBase) {
  RCPtr<LFont> base;
  if (mFontInheritsFromParent && mParent && mParent->mFont) {
    base = mParent->mFont;
  } else if (IControlApplication* application = GetControlApplication()) {
    WString defaultFace;
    float defaultSize = 0.0f;
    int32_t defaultStyle = 0;
    if (Succeeded(application->GetDefaultFont(defaultFace, defaultSize, defaultStyle))) {
      base = LFont::GetFont(defaultFace, defaultSize, defaultStyle);
    }
  }
  if (!base && (faceFromBase || sizeFromBase || styleFromBase)) {
    return QZ_E_FAIL;
  }
  const WString resolvedFace = faceFromBase ? base->GetFaceName() : face;
  const float resolvedSize = sizeFromBase ? base->GetSize() * sizeFactor : size;
  const int32_t resolvedStyle = styleFromBase ? base->GetStyle() : style;
  RCPtr<LFont> font = base;
  if (!base || resolvedFace.CompareNoCase(base->GetFaceName()) != 0 || resolvedSize != base->GetSize() ||
      resolvedStyle != base->GetStyle()) {
    font = LFont::GetFont(resolvedFace, resolvedSize, resolvedStyle);
  }
  const QZResult result = SetFont(font);
  if (Failed(result)) {
    return result;
  }
  mFontFaceFromBase = faceFromBase;
  mFontSizeFromBase = sizeFromBase;
  mFontStyleFromBase = styleFromBase;
  mFontSizeFactor = sizeFactor;
  return QZ_OK;
}

QZResult LControl::SetFontSpec(const WString& face, float size, int32_t style) {
  WString defaultFace;
  float defaultSize = 0.0f;
  int32_t defaultStyle = 0;
  IControlApplication* application = GetControlApplication();
  const bool haveDefault =
      application && Succeeded(application->GetDefaultFont(defaultFace, defaultSize, defaultStyle));
  const bool faceFromBase = face.IsEmpty() || (haveDefault && face.CompareNoCase(defaultFace) == 0);
  const bool sizeFromBase = size <= 0.0f || mFontSizeIsRelative;
  const float factor = mFontSizeIsRelative && size > 0.0f ? size : 1.0f;
  return ApplyResolvedFont(face, faceFromBase, size, sizeFromBase, factor, style, style == -1);
}

QZResult LControl::OnParentFontChanged() {
  const bool follows = mFontFaceFromBase || mFontSizeFromBase || mFontStyleFromBase;
  if (!mFontInheritsFromParent || !mParent || !follows || !mFont) {
    return QZ_OK;
  }
  return ApplyResolvedFont(mFont->GetFaceName(), mFontFaceFromBase, mFont->GetSize(), mFontSizeFromBase,
                           mFontSizeFactor, mFont->GetStyle(), mFontStyleFromBase);
}

// =============================================================================================
// Looks
// =============================================================================================

QZResult LControl::SetLookWeight(uint32_t index, float weight, bool exclusive) {
  if (index >= mLooks.GetCount()) {
    return QZ_E_INVALIDARG;
  }
  if (mLookWeights.GetCount() < mLooks.GetCount()) {
    mLookWeights.SetCount(mLooks.GetCount());
  }
  bool changed = false;
  if (weight >= 0.0f && weight <= 1.0f && mLookWeights.GetAt(index) != weight) {
    mLookWeights.GetAt(index) = weight;
    changed = true;
  }
  for (uint32_t i = mLookWeights.GetCount(); exclusive && i-- > 0;) {
    if (i != index && mLookWeights.GetAt(i) != 0.0f) {
      mLookWeights.GetAt(i) = 0.0f;
      changed = true;
    }
  }
  if (changed) {
    InvalidateArea();
  }
  return QZ_OK;
}

QZResult LControl::SetLookRegion(int32_t index, const RectListT<int32_t>& region) {
  const RCPtr<LLook> look = GetLook(index);
  if (!look) {
    return QZ_E_INVALIDARG;
  }
  look->GetOwnRegion() = region;
  InvalidateArea();
  return QZ_OK;
}

QZResult LControl::SetLookPartImage(const ConstRCPtr<LBitmap>& image, ResizeType resizeType, int32_t index,
                                    bool replacesClient) {
  const RCPtr<LLook> look = GetLook(index);
  if (!look) {
    return QZ_E_FAIL;
  }
  const QZResult result = look->SetClientPart(image, resizeType, replacesClient);
  if (result != QZ_FALSE && look == GetLook(-1)) {
    InvalidateArea();
  }
  return result;
}

QZResult LControl::SetLookTextPart(const RCPtr<LVisualPart>& part, int32_t index) {
  const RCPtr<LLook> look = GetLook(index);
  if (!look) {
    return QZ_E_FAIL;
  }
  return look->SetTextForegroundPart(part); // QZ_E_INVALIDARG for null
}

// =============================================================================================
// Cursor, scrolling, direct notifications
// =============================================================================================

void LControl::SetCursor(CursorHandle cursor) {
  if (cursor == mCursor) {
    return;
  }
  const CursorHandle previous = mCursor;
  mCursor = cursor;
  if (!mMouseOver) {
    return;
  }
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    const CursorHandle shown = window->SetCursor(cursor);
    if (previous == 0) {
      // Put back when the pointer leaves or the capture ends.
      mSavedCursor = shown;
    }
  }
}

QZResult LControl::SetScrollOffset(const PointT<double>& offset) {
  const PointT<double> rounded{double(RoundHalfAway(offset.x)), double(RoundHalfAway(offset.y))};
  if (rounded == mScrollOffset) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  mScrolling = true;
  InvalidateArea();
  const PointT<double> previous = mScrollOffset;
  mScrollOffset = rounded;
  for (uint32_t i = 0; i < mChildren.GetCount(); ++i) {
    const RCPtr<LControl> child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    const RCPtr<LLayoutDescriptor>& layout = child->GetLayoutDescriptor();
    mScrollChildDocked = layout && (layout->position[0].docked || layout->position[1].docked);
    child->OnParentResized(mRect.width, mRect.height);
  }
  mScrollChildDocked = false;
  InvalidateArea();
  ScrollContent(previous, rounded);
  Announce(u"NID_SCROLL_OFFSET_CHANGE");
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    // The pointer now lies over other content.
    PointT<int32_t> local;
    window->SetMouseOverAt(window->GetMousePosition(), local, true); // only the hover matters
  }
  mScrolling = false;
  return QZ_OK;
}

QZResult LControl::SendNotificationTo(const RCPtr<LNotificationReceiver>& receiver, NotificationName name,
                                      const RCPtr<LRefCountedObject>& parameter) {
  if (!receiver) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LNotification> notification = LNotification::Create(name, parameter);
  if (!notification) {
    return QZ_E_INVALIDARG;
  }
  return receiver->ReceiveNotification(RCPtr<LNotificationDistributor>(this), notification);
}

} // namespace QZ
