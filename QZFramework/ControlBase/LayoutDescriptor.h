#pragma once
// QZ::LLayoutDescriptor: the placement record of a control, read from its skin
// SubControl: per axis a position and a size, each relative to a reference, an anchor,
// a docked flag, a minimum and a maximum size; besides the clip, visibility, enabled,
// Z-order, tab-stop, text-overflow and layout-order fields.
//
//   QZ::RCPtr<QZ::LLayoutDescriptor> layout = QZ::LLayoutDescriptor::Create();
//   layout->size[0].abs;                         // 16.0: the default width
//   QZ::LayoutPosition position;
//   QZ::LayoutSize size;
//   layout->GetAxis(1, position, size);          // copies of the Y blocks
//   QZ::RCPtr<QZ::LLayoutDescriptor> mine = layout->Clone();   // independent copy
//
// A record of plain fields: the skin loader fills it, the layout reads it, the control's
// placement setters write their own clone. Not synchronised: UI thread.

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// Kinds of the reference a position is measured from ("XPositionToControl").
inline constexpr int32_t kPositionToParent = 0;  // "Parent" or "Screen"
inline constexpr int32_t kPositionToClient = 1;  // "Client" or "Active Window"
inline constexpr int32_t kPositionToSibling = 2; // any other text: a sibling of that name

// Kinds of the reference a size is measured against ("XSizeToControl").
inline constexpr int32_t kSizeToParent = 0;  // "Parent" or "Screen"
inline constexpr int32_t kSizeToClient = 1;  // "Client" or "Active Window"
inline constexpr int32_t kSizeToSelf = 2;    // "Self": the absolute size alone
inline constexpr int32_t kSizeToSibling = 3; // any other text: a sibling of that name

// Text overflow ("TextOverflowXType", "TextOverflowYType"; Y knows no wrapping).
inline constexpr int32_t kTextOverflowClip = 0;
inline constexpr int32_t kTextOverflowExpand = 1;
inline constexpr int32_t kTextOverflowWrap = 2;

// Where one axis of a control begins.
struct LayoutPosition {
  // 0: the position names the near edge, 1 the far edge, 0.5 the centre.
  float anchor = 0.0f;
  int32_t kind = kPositionToClient;
  // The sibling's name (kind kPositionToSibling only).
  WString name;
  float rel = 0.0f;
  double abs = 0.0;
  // The control does not scroll with its parent's content on this axis.
  bool docked = false;

  // Compares the name only where the kind uses it.
  bool operator==(const LayoutPosition& other) const;
};

// How long one axis of a control is.
struct LayoutSize {
  int32_t kind = kSizeToSelf;
  // The sibling's name (kind kSizeToSibling only).
  WString name;
  float rel = 0.0f;
  double abs = 0.0;

  // Compares the name only where the kind uses it.
  bool operator==(const LayoutSize& other) const;
};

// A minimum or maximum size of one axis: "Self" (toControl false) limits by abs alone;
// any other reference ("Children" or a child's name) by that extent.
struct LayoutLimit {
  bool toControl = false;
  WString name;
  float rel = 0.0f;
  double abs = 0.0;

  bool operator==(const LayoutLimit& other) const = default;
};

class LLayoutDescriptor : public virtual LRefCountedObject {
public:
  // A new descriptor with the defaults below.
  static RCPtr<LLayoutDescriptor> Create();
  // An independent copy of every field.
  RCPtr<LLayoutDescriptor> Clone() const;
  RCPtr<LRefCountedObject> CreateCopy() const override;

  // Copies of the position and size blocks of axis 0 (X) or 1 (Y): 0; QZ_E_INVALIDARG for any
  // other axis, the outputs untouched.
  QZResult GetAxis(int32_t axis, LayoutPosition& outPosition, LayoutSize& outSize) const;
  // Copies of the minimum and maximum blocks of axis 0 or 1: 0; QZ_E_INVALIDARG for any other
  // axis, the outputs untouched.
  QZResult GetAxisLimits(int32_t axis, LayoutLimit& outMinimum, LayoutLimit& outMaximum) const;

  bool clipToParent = true;
  int32_t zOrder = 0;
  int32_t tabStop = 0;
  bool isVisible = true;
  bool isEnabled = true;
  // Index 0 is X, 1 is Y.
  LayoutPosition position[2];
  LayoutSize size[2] = {{kSizeToSelf, {}, 0.0f, 16.0}, {kSizeToSelf, {}, 0.0f, 40.0}};
  LayoutLimit minimum[2];
  LayoutLimit maximum[2];
  WString textDecoration;
  int32_t textOverflowX = kTextOverflowClip;
  int32_t textOverflowY = kTextOverflowClip;
  // Sort key among siblings (ascending, document order among equals).
  int32_t layoutOrder = 0;

private:
  LLayoutDescriptor() = default;
  LLayoutDescriptor(const LLayoutDescriptor&) = default;
};

} // namespace QZ
