#pragma once
// The parameters of the list boxes' notifications:
// - QZ::LItemConditionsParam: a row's condition change, told as the item the row shows
//   ("NID_ITEM_HOVER_CONDITION_CHANGE", "NID_ITEM_LEFT_DRAG_CONDITION_CHANGE");
// - QZ::LIndexedDataParam and QZ::LIndexedDataWithValueParam: an item, its data and a value
//   ("NID_ITEM_CHECK_CHANGE", "NID_ITEM_CHECKBOX_CLICKED").
//
//   auto param = QZ::LIndexedDataWithValueParam::Create(3, nullptr, 1.0);
//   param->ToString();     // "LIndexedDataParam: Index = 3, Data =  Value = 1.000000"
//
// Each is a heap object of its own (the conditions pool serves only its own class), made
// with one reference and read-only once sent. Any thread may release one.

#include <cstdint>

#include "QZFramework/ControlBase/ControlParams.h"
#include "QZFramework/ObjectBase/TaggableObject.h"

namespace QZ {

class LItemConditionsParam : public LConditionsParam {
public:
  // itemIndex: the item the row shows (-1 when none); lookIndex: the row's current look
  // (-1 when none shows); mouseOver: the pointer is over the row. The rest as the row's
  // own condition change gave them.
  static RCPtr<LItemConditionsParam> Create(uint32_t itemIndex, int32_t lookIndex, bool mouseOver, uint32_t previous,
                                            uint32_t current, const PointT<double>& point);

  uint32_t GetItemIndex() const { return mItemIndex; }
  int32_t GetLookIndex() const { return mLookIndex; }
  bool IsMouseOver() const { return mMouseOver; }

private:
  LItemConditionsParam(uint32_t itemIndex, int32_t lookIndex, bool mouseOver, uint32_t previous, uint32_t current,
                       const PointT<double>& point)
      : LConditionsParam(previous, current, point), mItemIndex(itemIndex), mLookIndex(lookIndex),
        mMouseOver(mouseOver) {}

  uint32_t mItemIndex;
  int32_t mLookIndex;
  bool mMouseOver;
};

class LIndexedDataParam : public virtual LRefCountedObject {
public:
  // data may be null.
  static RCPtr<LIndexedDataParam> Create(int32_t index, const ConstRCPtr<LTaggableObject>& data);

  int32_t GetIndex() const { return mIndex; }
  const ConstRCPtr<LTaggableObject>& GetData() const { return mData; }

  // "LIndexedDataParam: Index = <index>, Data = " and the data's text (nothing for none).
  WString ToString() const override;

protected:
  LIndexedDataParam(int32_t index, const ConstRCPtr<LTaggableObject>& data) : mIndex(index), mData(data) {}

private:
  int32_t mIndex;
  ConstRCPtr<LTaggableObject> mData;
};

class LIndexedDataWithValueParam : public LIndexedDataParam {
public:
  static RCPtr<LIndexedDataWithValueParam> Create(int32_t index, const ConstRCPtr<LTaggableObject>& data, double value);

  double GetValue() const { return mValue; }

  // The base's text, then " Value = " and the value with six decimals.
  WString ToString() const override;

private:
  LIndexedDataWithValueParam(int32_t index, const ConstRCPtr<LTaggableObject>& data, double value)
      : LIndexedDataParam(index, data), mValue(value) {}

  double mValue;
};

} // namespace QZ
