#include <gtest/gtest.h>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "Support/StringPrinter.h"

namespace QZTestToString {

class LPlainObject : public virtual QZ::LRefCountedObject {};

class LNamedObject : public virtual QZ::LRefCountedObject {
public:
  QZ::WString ToString() const override { return QZ::WString(u"named"); }
};

} // namespace QZTestToString

namespace {

TEST(RefCountedObjectToStringTest, DefaultTextNamesTheDynamicType) {
  const QZ::RCPtr<QZ::LRefCountedObject> object(new QZTestToString::LPlainObject);
  EXPECT_EQ(object->ToString(), u"LRefCountedObject::ToString() not overridden. Returning TypeName: "
                                u"class QZTestToString::LPlainObject");
  const QZ::RCPtr<QZ::LRefCountedObject> named(new QZTestToString::LNamedObject);
  EXPECT_EQ(named->ToString(), u"named");
}

} // namespace
