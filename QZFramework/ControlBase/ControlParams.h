#pragma once
// The parameter objects that controls attach to their notifications, and the condition
// word they describe:
// - QZ::LPointParam, QZ::LPointWithModifiersParam, QZ::LMouseButtonParam,
//   QZ::LMouseWheelParam: pointer events as the root window hands them to a control;
// - QZ::LConditionsParam: a control's condition word before and after a change;
// - QZ::LValueParam: a control's value, 0..1 and in range units;
// - QZ::LSiblingKeyParam: a key offered to the siblings of the control that passed it on.
// (QZ::LMenuActivationParam, the sixth pooled parameter, lives with the menu descriptors.)
//
//   auto press = QZ::LMouseButtonParam::Create(QZ::kMouseButtonLeft, {3, -4}, 0x12, false, 0x1, 0);
//   press->ToString();                                  // "point(3, -4)  modifiers: 0x00000012"
//   control->SendNotification(QZ::LNotification::Create(u"NID_MOUSE_DOWN", press));
//
// Pointer moves, condition changes and value changes make these at a high rate, so five
// classes (LConditionsParam, LMouseButtonParam, LMouseWheelParam, LPointWithModifiersParam,
// LValueParam) come from process-wide pools of blocks of exactly their size, reused
// last-freed first; a derived class of another size is served by the
// heap through the same operators. The pools are locked, so parameters may be made and
// released on any thread. A parameter is filled by its Create and read afterwards; the
// setters are for the one object each control keeps and reuses (its LConditionsParam) and
// for the handled mark of a sibling key, and Refill for the press parameter each root
// window reuses; none is synchronised.

#include <cstddef>
#include <cstdint>

#include "QZFramework/ControlBase/KeyCode.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LControl;

// Bits of a control's condition word.
inline constexpr uint32_t kConditionHasFocus = 0x1;
inline constexpr uint32_t kConditionContainsFocus = 0x2;
inline constexpr uint32_t kConditionMouseOver = 0x4;
inline constexpr uint32_t kConditionCapture = 0x8;
inline constexpr uint32_t kConditionLeftDown = 0x10;
inline constexpr uint32_t kConditionMiddleDown = 0x20;
inline constexpr uint32_t kConditionRightDown = 0x40;
inline constexpr uint32_t kConditionLeftDrag = 0x80;
inline constexpr uint32_t kConditionMiddleDrag = 0x100;
inline constexpr uint32_t kConditionRightDrag = 0x200;
inline constexpr uint32_t kConditionEnabled = 0x400;
inline constexpr uint32_t kConditionVisible = 0x800;
inline constexpr uint32_t kConditionHover = 0x1000;

// Mouse buttons, as button codes and as bits of a held-buttons mask.
inline constexpr uint32_t kMouseButtonLeft = 0x1;
inline constexpr uint32_t kMouseButtonMiddle = 0x2;
inline constexpr uint32_t kMouseButtonRight = 0x4;

// Wheel directions of LMouseWheelParam.
inline constexpr uint32_t kWheelDown = 0;
inline constexpr uint32_t kWheelUp = 1;
inline constexpr uint32_t kWheelLeft = 2;
inline constexpr uint32_t kWheelRight = 3;

class LPointParam : public virtual LRefCountedObject {
public:
  static RCPtr<LPointParam> Create(const PointT<int32_t>& point);

  // In the receiving control's coordinates (the wheel's in the window's).
  const PointT<int32_t>& GetPoint() const { return mPoint; }

  // "point(<x>, <y>)".
  WString ToString() const override;

protected:
  explicit LPointParam(const PointT<int32_t>& point) : mPoint(point) {}
  void SetPoint(const PointT<int32_t>& point) { mPoint = point; }

private:
  PointT<int32_t> mPoint;
};

class LPointWithModifiersParam : public LPointParam {
public:
  // sourceIndex: the input source as the root window gives it; 0 when a control makes it.
  static RCPtr<LPointWithModifiersParam> Create(const PointT<int32_t>& point, uint32_t modifiers,
                                                uint32_t sourceIndex = 0);

  // The key-modifier mask (kModifierCtrl ...).
  uint32_t GetModifiers() const { return mModifiers; }
  uint32_t GetSourceIndex() const { return mSourceIndex; }

  // The point's text, then "  modifiers: 0x" and the mask in eight hexadecimal digits.
  WString ToString() const override;

  static void* operator new(size_t size);
  static void operator delete(void* block);

protected:
  LPointWithModifiersParam(const PointT<int32_t>& point, uint32_t modifiers, uint32_t sourceIndex)
      : LPointParam(point), mModifiers(modifiers), mSourceIndex(sourceIndex) {}
  void SetModifiers(const PointT<int32_t>& point, uint32_t modifiers, uint32_t sourceIndex) {
    SetPoint(point);
    mModifiers = modifiers;
    mSourceIndex = sourceIndex;
  }

private:
  uint32_t mModifiers;
  uint32_t mSourceIndex;
};

class LMouseButtonParam : public LPointWithModifiersParam {
public:
  // button: kMouseButtonLeft, kMouseButtonMiddle or kMouseButtonRight (others are kept as
  // given: the control refuses them); buttonsHeld: the mask still held.
  static RCPtr<LMouseButtonParam> Create(uint32_t button, const PointT<int32_t>& point, uint32_t modifiers,
                                         bool doubleClick, uint32_t buttonsHeld, uint32_t sourceIndex);

  uint32_t GetButton() const { return mButton; }
  bool IsDoubleClick() const { return mDoubleClick; }
  uint32_t GetButtonsHeld() const { return mButtonsHeld; }
  // Gives the parameter the values Create would: for the one object a root window keeps
  // and reuses while nobody else holds it.
  void Refill(uint32_t button, const PointT<int32_t>& point, uint32_t modifiers, bool doubleClick, uint32_t buttonsHeld,
              uint32_t sourceIndex) {
    SetModifiers(point, modifiers, sourceIndex);
    mButton = button;
    mDoubleClick = doubleClick;
    mButtonsHeld = buttonsHeld;
  }

  static void* operator new(size_t size);
  static void operator delete(void* block);

protected:
  LMouseButtonParam(uint32_t button, const PointT<int32_t>& point, uint32_t modifiers, bool doubleClick,
                    uint32_t buttonsHeld, uint32_t sourceIndex)
      : LPointWithModifiersParam(point, modifiers, sourceIndex), mButton(button), mDoubleClick(doubleClick),
        mButtonsHeld(buttonsHeld) {}

private:
  uint32_t mButton;
  bool mDoubleClick;
  uint32_t mButtonsHeld;
};

class LMouseWheelParam : public LPointWithModifiersParam {
public:
  // direction: kWheelDown, kWheelUp (vertical), kWheelLeft, kWheelRight (horizontal).
  static RCPtr<LMouseWheelParam> Create(const PointT<int32_t>& point, uint32_t modifiers, uint32_t direction,
                                        uint32_t sourceIndex = 0);

  uint32_t GetDirection() const { return mDirection; }

  // The base text, then "  direction: down" for kWheelDown and "  direction: up" otherwise.
  WString ToString() const override;

  static void* operator new(size_t size);
  static void operator delete(void* block);

protected:
  LMouseWheelParam(const PointT<int32_t>& point, uint32_t modifiers, uint32_t direction, uint32_t sourceIndex)
      : LPointWithModifiersParam(point, modifiers, sourceIndex), mDirection(direction) {}

private:
  uint32_t mDirection;
};

class LConditionsParam : public virtual LRefCountedObject {
public:
  static RCPtr<LConditionsParam> Create(uint32_t previous, uint32_t current, const PointT<double>& point);

  uint32_t GetPrevious() const { return mPrevious; }
  uint32_t GetCurrent() const { return mCurrent; }
  // The bits that differ between the two words.
  uint32_t GetChanged() const { return mPrevious ^ mCurrent; }
  // The control's drag origin (its last press point, in its parent's coordinates).
  const PointT<double>& GetPoint() const { return mPoint; }
  // Records a transition; the owning control calls it before each announcement.
  void Set(uint32_t previous, uint32_t current, const PointT<double>& point) {
    mPrevious = previous;
    mCurrent = current;
    mPoint = point;
  }

  // "(<x>, <y>)" of the point, each as "%g" writes it.
  WString ToString() const override;

  static void* operator new(size_t size);
  static void operator delete(void* block);

protected:
  LConditionsParam(uint32_t previous, uint32_t current, const PointT<double>& point)
      : mPrevious(previous), mCurrent(current), mPoint(point) {}

private:
  uint32_t mPrevious;
  uint32_t mCurrent;
  PointT<double> mPoint;
};

class LValueParam : public virtual LRefCountedObject {
public:
  // value: the control's value, 0..1; scaledValue: the value mapped onto its range.
  static RCPtr<LValueParam> Create(double value, double scaledValue);

  double GetValue() const { return mValue; }
  double GetScaledValue() const { return mScaledValue; }

  // "ValueParam = " and the value with six decimals.
  WString ToString() const override;

  static void* operator new(size_t size);
  static void operator delete(void* block);

protected:
  LValueParam(double value, double scaledValue) : mValue(value), mScaledValue(scaledValue) {}

private:
  double mValue;
  double mScaledValue;
};

class LSiblingKeyParam : public virtual LRefCountedObject {
public:
  // The handled mark before a receiver used the key, and after.
  static constexpr int32_t kUnhandled = -1;
  static constexpr int32_t kHandled = 0;

  // source: the control that passes the key on.
  static RCPtr<LSiblingKeyParam> Create(const KeyCode& key, const RCPtr<LControl>& source);
  ~LSiblingKeyParam() override;

  const KeyCode& GetKey() const { return mKey; }
  const RCPtr<LControl>& GetSource() const { return mSource; }
  // kUnhandled until a receiver that uses the key sets kHandled.
  int32_t GetHandled() const { return mHandled; }
  void SetHandled(int32_t mark) { mHandled = mark; }

private:
  LSiblingKeyParam(const KeyCode& key, const RCPtr<LControl>& source);

  KeyCode mKey;
  RCPtr<LControl> mSource;
  int32_t mHandled = kUnhandled;
};

} // namespace QZ
