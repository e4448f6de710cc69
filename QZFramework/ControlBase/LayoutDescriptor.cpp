#include "QZFramework/ControlBase/LayoutDescriptor.h"

namespace QZ {

bool LayoutPosition::operator==(const LayoutPosition& other) const {
  return anchor == other.anchor && kind == other.kind && (kind != kPositionToSibling || name == other.name) &&
         rel == other.rel && abs == other.abs && docked == other.docked;
}

bool LayoutSize::operator==(const LayoutSize& other) const {
  return kind == other.kind && (kind != kSizeToSibling || name == other.name) && rel == other.rel && abs == other.abs;
}

RCPtr<LLayoutDescriptor> LLayoutDescriptor::Create() { return RCPtr<LLayoutDescriptor>(new LLayoutDescriptor); }

RCPtr<LLayoutDescriptor> LLayoutDescriptor::Clone() const {
  return RCPtr<LLayoutDescriptor>(new LLayoutDescriptor(*this));
}

RCPtr<LRefCountedObject> LLayoutDescriptor::CreateCopy() const { return Clone(); }

QZResult LLayoutDescriptor::GetAxis(int32_t axis, LayoutPosition& outPosition, LayoutSize& outSize) const {
  if (axis != 0 && axis != 1) {
    return QZ_E_INVALIDARG;
  }
  outPosition = position[axis];
  outSize = size[axis];
  return QZ_OK;
}

QZResult LLayoutDescriptor::GetAxisLimits(int32_t axis, LayoutLimit& outMinimum, LayoutLimit& outMaximum) const {
  if (axis != 0 && axis != 1) {
    return QZ_E_INVALIDARG;
  }
  outMinimum = minimum[axis];
  outMaximum = maximum[axis];
  return QZ_OK;
}

} // namespace QZ
