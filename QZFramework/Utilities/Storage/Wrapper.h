#pragma once
// QZ::LWrapper and QZ::LWrapperStringable: a value class made shareable by deriving
// from it.
//
//   QZ::RCPtr<QZ::LWrapper<QZ::ParamValues>> values(new QZ::LWrapper<QZ::ParamValues>);
//   values->SetParamValue(descriptor, level);       // the wrapper is the value
//
//   QZ::ConstRCPtr<QZ::LTaggableObject> item = QZ::MakeTaggableString(u"Preset 1");
//   item->ToString();                                // u"Preset 1"
//
// Base is the shared base the wrapper derives from virtually. A wrapper has no copy on
// write. The value is not synchronised: fill it before sharing it, or guard it.

#include <type_traits>

#include "QZFramework/ObjectBase/TaggableObject.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

template <class T, class Base = LRefCountedObject>
class LWrapper : public T, public virtual Base {
  static_assert(std::is_base_of_v<LRefCountedObject, Base>, "the wrapper is shared through its base");

public:
  // A default value (an empty list, a closed gate ...).
  LWrapper() = default;
  explicit LWrapper(const T& value) : T(value) {}
};

// A wrapper whose text is TextOf(the value).
template <class T, WString (*TextOf)(const T&), class Base = LTaggableObject>
class LWrapperStringable : public T, public virtual Base {
  static_assert(std::is_base_of_v<LRefCountedObject, Base>, "the wrapper is shared through its base");

public:
  LWrapperStringable() = default;
  explicit LWrapperStringable(const T& value) : T(value) {}

  WString ToString() const override { return TextOf(*this); }
};

// A shared string whose text is the string itself: the items of list and combo boxes.
using LStringWrapper = LWrapperStringable<WString, &StringToString, LTaggableObject>;

// A new wrapper holding a copy of text (sharing its buffer); the result holds the only
// reference.
ConstRCPtr<LStringWrapper> MakeStringableWrapper(const WString& text);
// The same wrapper seen as its taggable part; the result holds the only reference.
ConstRCPtr<LTaggableObject> MakeTaggableString(const WString& text);

} // namespace QZ
