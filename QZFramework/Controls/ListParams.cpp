#include "QZFramework/Controls/ListParams.h"

namespace QZ {

RCPtr<LItemConditionsParam> LItemConditionsParam::Create(uint32_t itemIndex, int32_t lookIndex, bool mouseOver,
                                                         uint32_t previous, uint32_t current,
                                                         const PointT<double>& point) {
  return RCPtr<LItemConditionsParam>(
      new LItemConditionsParam(itemIndex, lookIndex, mouseOver, previous, current, point));
}

RCPtr<LIndexedDataParam> LIndexedDataParam::Create(int32_t index, const ConstRCPtr<LTaggableObject>& data) {
  return RCPtr<LIndexedDataParam>(new LIndexedDataParam(index, data));
}

WString LIndexedDataParam::ToString() const {
  WString text = WString::Format(u"LIndexedDataParam: Index = %d, Data = ", mIndex);
  if (mData) {
    text += mData->ToString();
  }
  return text;
}

RCPtr<LIndexedDataWithValueParam>
LIndexedDataWithValueParam::Create(int32_t index, const ConstRCPtr<LTaggableObject>& data, double value) {
  return RCPtr<LIndexedDataWithValueParam>(new LIndexedDataWithValueParam(index, data, value));
}

WString LIndexedDataWithValueParam::ToString() const {
  return LIndexedDataParam::ToString() + WString::Format(u" Value = %lf", mValue);
}

} // namespace QZ
