#pragma once
// QZ::LPair<K,V,KeyToString,Base>: a key and a value shared through smart pointers, whose
// text is the key's text.
//
//   QZ::RCPtr<QZ::LParamValuePair> change(new QZ::LParamValuePair(descriptor, value));
//   change->first.id;       // the fields are reached directly
//   change->ToString();     // the parameter id in decimal, u"105"
//
// Base is the shared base the pair derives from virtually (QZ::LTaggableObject, so
// every pair carries a tag). A pair has no copy on write. The fields are not
// synchronised: the thread that made the pair fills it before sharing it.

#include <type_traits>

#include "QZFramework/ObjectBase/TaggableObject.h"
#include "QZFramework/Utilities/Storage/Pair.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

template <class K, class V, WString (*KeyToString)(const K&), class Base = LTaggableObject>
class LPair : public Pair<K, V>, public virtual Base {
  static_assert(std::is_base_of_v<LRefCountedObject, Base>, "the pair is shared through its base");

public:
  LPair(const K& key, const V& value) : Pair<K, V>(key, value) {}

  WString ToString() const override { return KeyToString(this->first); }
};

// The text of a smart pointer's object; empty for null.
template <class Pointer>
WString PointeeToString(const Pointer& pointer) {
  return pointer ? pointer->ToString() : WString();
}

// The descriptor's parameter id as an unsigned decimal number.
WString ParamDescriptorToString(const ParamDescriptor& descriptor);

// One parameter value with the descriptor that names it, as a notification carries it.
using LParamValuePair = LPair<ParamDescriptor, Variant, &ParamDescriptorToString, LTaggableObject>;

} // namespace QZ
