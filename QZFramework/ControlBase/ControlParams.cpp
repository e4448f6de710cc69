#include "QZFramework/ControlBase/ControlParams.h"

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/Utilities/Storage/ReuseAllocator.h"

namespace QZ {
namespace {

// One pool per class, made on first use and destroyed at exit. Each is locked: parameters
// travel with notifications posted from other threads.
template <class T, uint32_t Room>
ReuseAllocator<T, Room>& Pool() {
  static ReuseAllocator<T, Room> pool(true);
  return pool;
}

// The rooms of the block lists: the mouse pools serve every pointer event.
auto& ConditionsPool() { return Pool<LConditionsParam, 4>(); }
auto& MouseButtonPool() { return Pool<LMouseButtonParam, 32>(); }
auto& MouseWheelPool() { return Pool<LMouseWheelParam, 4>(); }
auto& PointWithModifiersPool() { return Pool<LPointWithModifiersParam, 32>(); }
auto& ValuePool() { return Pool<LValueParam, 4>(); }

// Made ready before the program's main code runs, so that the first event does not pay
// for them.
[[maybe_unused]] const bool gPoolsReady = [] {
  ConditionsPool();
  MouseButtonPool();
  MouseWheelPool();
  PointWithModifiersPool();
  ValuePool();
  return true;
}();

} // namespace

// --- Text forms -------------------------------------------------------------------------

WString LPointParam::ToString() const { return WString::Format(u"point(%d, %d)", mPoint.x, mPoint.y); }

WString LPointWithModifiersParam::ToString() const {
  WString text = LPointParam::ToString();
  text += WString::Format(u"  modifiers: 0x%08x", mModifiers);
  return text;
}

WString LMouseWheelParam::ToString() const {
  WString text = LPointWithModifiersParam::ToString();
  text += WString::Format(u"  direction: %s", mDirection == kWheelDown ? u"down" : u"up");
  return text;
}

WString LConditionsParam::ToString() const { return WString::Format(u"(%g, %g)", mPoint.x, mPoint.y); }

WString LValueParam::ToString() const { return WString::Format(u"ValueParam = %lf", mValue); }

// --- Creation -----------------------------------------------------------------------------

RCPtr<LPointParam> LPointParam::Create(const PointT<int32_t>& point) {
  return RCPtr<LPointParam>(new LPointParam(point));
}

RCPtr<LPointWithModifiersParam> LPointWithModifiersParam::Create(const PointT<int32_t>& point, uint32_t modifiers,
                                                                 uint32_t sourceIndex) {
  return RCPtr<LPointWithModifiersParam>(new LPointWithModifiersParam(point, modifiers, sourceIndex));
}

RCPtr<LMouseButtonParam> LMouseButtonParam::Create(uint32_t button, const PointT<int32_t>& point, uint32_t modifiers,
                                                   bool doubleClick, uint32_t buttonsHeld, uint32_t sourceIndex) {
  return RCPtr<LMouseButtonParam>(
      new LMouseButtonParam(button, point, modifiers, doubleClick, buttonsHeld, sourceIndex));
}

RCPtr<LMouseWheelParam> LMouseWheelParam::Create(const PointT<int32_t>& point, uint32_t modifiers, uint32_t direction,
                                                 uint32_t sourceIndex) {
  return RCPtr<LMouseWheelParam>(new LMouseWheelParam(point, modifiers, direction, sourceIndex));
}

RCPtr<LConditionsParam> LConditionsParam::Create(uint32_t previous, uint32_t current, const PointT<double>& point) {
  return RCPtr<LConditionsParam>(new LConditionsParam(previous, current, point));
}

RCPtr<LValueParam> LValueParam::Create(double value, double scaledValue) {
  return RCPtr<LValueParam>(new LValueParam(value, scaledValue));
}

LSiblingKeyParam::LSiblingKeyParam(const KeyCode& key, const RCPtr<LControl>& source) : mKey(key), mSource(source) {}

LSiblingKeyParam::~LSiblingKeyParam() = default;

RCPtr<LSiblingKeyParam> LSiblingKeyParam::Create(const KeyCode& key, const RCPtr<LControl>& source) {
  return RCPtr<LSiblingKeyParam>(new LSiblingKeyParam(key, source));
}

// --- Pooled storage -----------------------------------------------------------------------

void* LPointWithModifiersParam::operator new(size_t size) { return PointWithModifiersPool().Allocate(uint32_t(size)); }
void LPointWithModifiersParam::operator delete(void* block) { PointWithModifiersPool().Free(block); }

void* LMouseButtonParam::operator new(size_t size) { return MouseButtonPool().Allocate(uint32_t(size)); }
void LMouseButtonParam::operator delete(void* block) { MouseButtonPool().Free(block); }

void* LMouseWheelParam::operator new(size_t size) { return MouseWheelPool().Allocate(uint32_t(size)); }
void LMouseWheelParam::operator delete(void* block) { MouseWheelPool().Free(block); }

void* LConditionsParam::operator new(size_t size) { return ConditionsPool().Allocate(uint32_t(size)); }
void LConditionsParam::operator delete(void* block) { ConditionsPool().Free(block); }

void* LValueParam::operator new(size_t size) { return ValuePool().Allocate(uint32_t(size)); }
void LValueParam::operator delete(void* block) { ValuePool().Free(block); }

} // namespace QZ
