#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "QZFramework/ObjectBase/Exception.h"
#include "QZFramework/ObjectBase/TypeName.h"

namespace {

const QZ::SourceSite kSite{"QZ::LRefCountedObject::SetUnshareable", R"(ObjectBase\RefCountedObject)", 29};

template <class Caught, class Thrower>
std::string TextOf(Thrower thrower) {
  try {
    thrower();
  } catch (const Caught& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

TEST(ExceptionTest, TextsJoinKindMessageMethodFileAndLine) {
  EXPECT_EQ(TextOf<std::runtime_error>([] { QZ::Throw<std::runtime_error>(kSite); }),
            "Runtime Error : QZ::LRefCountedObject::SetUnshareable : ObjectBase\\RefCountedObject : Line 29");
  EXPECT_EQ(TextOf<std::invalid_argument>([] {
              QZ::Throw<std::invalid_argument>({"QZ::LGDIRenderer::DrawBitmap", R"(Renderer\Gdi\GDIRenderer)", 559},
                                               "Invalid ResizeType passed to DrawBitmap.");
            }),
            "Invalid Argument : Invalid ResizeType passed to DrawBitmap. : QZ::LGDIRenderer::DrawBitmap : "
            "Renderer\\Gdi\\GDIRenderer : Line 559");
  EXPECT_EQ(TextOf<std::logic_error>([] { QZ::Throw<std::logic_error>(kSite); }).substr(0, 14), "Logic Error : ");
  EXPECT_EQ(TextOf<std::out_of_range>([] { QZ::Throw<std::out_of_range>(kSite); }).substr(0, 15), "Out of Range : ");
  EXPECT_EQ(TextOf<std::domain_error>([] { QZ::Throw<std::domain_error>(kSite); }).substr(0, 15), "Domain Error : ");
  EXPECT_EQ(TextOf<std::bad_alloc>([] { QZ::ThrowBadAlloc(); }), "bad allocation");
}

TEST(ExceptionTest, WhatThroughTheFrameworkInterfaceMatchesTheStandardText) {
  try {
    QZ::Throw<std::domain_error>(kSite, "message");
  } catch (const QZ::ExceptionBase& e) {
    const auto& standard = dynamic_cast<const std::exception&>(e);
    EXPECT_STREQ(e.What(), standard.what());
  }
  try {
    QZ::CheckResult(-1, kSite);
  } catch (const QZ::ExceptionBase& e) {
    EXPECT_STREQ(e.What(), dynamic_cast<const std::exception&>(e).what());
  }
}

TEST(ExceptionTest, FailedResultMessagesAreUpperCaseHexWithoutPadding) {
  EXPECT_EQ(QZ::FailedResultException::MakeMessage(static_cast<int32_t>(0x80070057)), "QZRESULT = 80070057");
  EXPECT_EQ(QZ::FailedResultException::MakeMessage(0x1F), "QZRESULT = 1F");
  EXPECT_EQ(QZ::FailedResultException::MakeMessage(-1), "QZRESULT = FFFFFFFF");
}

TEST(ExceptionTest, ResultCheckPassesSuccessAndThrowsFailuresPastRuntimeErrorHandlers) {
  EXPECT_NO_THROW(QZ::CheckResult(0, kSite));
  EXPECT_NO_THROW(QZ::CheckResult(1, kSite));

  bool caughtAsRuntimeError = false;
  std::string text;
  try {
    try {
      QZ::CheckResult(-1, kSite);
    } catch (const std::runtime_error&) {
      caughtAsRuntimeError = true;
    }
  } catch (const std::exception& e) {
    text = e.what();
  }
  EXPECT_FALSE(caughtAsRuntimeError);
  EXPECT_EQ(text, "Failed Result : QZRESULT = FFFFFFFF : QZ::LRefCountedObject::SetUnshareable : "
                  "ObjectBase\\RefCountedObject : Line 29");
}

TEST(ExceptionTest, ACopyKeepsItsTextAfterTheOriginalIsGone) {
  std::optional<QZ::Exception<std::runtime_error>> copy;
  try {
    std::string method = "QZ::Computed<class X>::Method";
    QZ::Throw<std::runtime_error>({method, "File", 7}, std::string(5000, 'm'));
  } catch (const QZ::Exception<std::runtime_error>& e) {
    copy.emplace(e);
  }
  ASSERT_TRUE(copy);
  EXPECT_EQ(std::string(copy->what()),
            "Runtime Error : " + std::string(5000, 'm') + " : QZ::Computed<class X>::Method : File : Line 7");
}

struct PlainRecord {};
enum class Colour { Red };
template <class T>
class Holder {};
QZ_REGISTER_TYPE_NAME(Holder<int>, "class Holder<int>");

TEST(TypeNameTest, ClassesGetTheClassKeyAndRegisteredSpellingsWin) {
  EXPECT_EQ(QZ::TypeName<PlainRecord>(), "class (anonymous namespace)::PlainRecord");
  EXPECT_EQ(QZ::TypeName<Holder<int>>(), "class Holder<int>");
  EXPECT_EQ(QZ::TypeName<int>(), "int");
  QZ::RegisterTypeName(typeid(Colour), "enum Colour");
  EXPECT_EQ(QZ::TypeName<Colour>(), "enum Colour");
}

} // namespace
