#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "QZFramework/Services/Registry/RegistryKey.h"
#include "Support/TempFolder.h"

namespace {

using QZ::LRegistryKey;
using QZ::RCPtr;
using QZ::VariantEx;
using QZ::WString;

class RegistryKeyTest : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string path =
        mFolder.Write("registry.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                      "[HKEY_LOCAL_MACHINE\\Software\\Orbaxa\\Audio\\Drivers\\Quorin ZTR]\r\n"
                                      "\"SoftwarePath\"=\"/opt/Vandrel/Quorin \xC3\xA9\xE2\x82\xAC\"\r\n"
                                      "\"Flags\"=dword:0000001f\r\n"
                                      "\"Unterminated\"=hex(1):61,00,62,00\r\n"
                                      "[HKEY_LOCAL_MACHINE\\Software\\Orbaxa\\Audio\\Drivers\\Other]\r\n");
    ::setenv("QZ_REGISTRY_FILE", path.c_str(), 1);
  }
  void TearDown() override { ::unsetenv("QZ_REGISTRY_FILE"); }

  static RCPtr<LRegistryKey> Drivers(uint32_t root = LRegistryKey::kLocalMachine) {
    return RCPtr<LRegistryKey>(new LRegistryKey(root, WString(u"Software\\Orbaxa\\Audio\\Drivers"), false));
  }

  QZTest::TempFolder mFolder;
};

TEST_F(RegistryKeyTest, ReadsStringsAsUtf8AndOtherTypesAsBuffers) {
  const RCPtr<LRegistryKey> key = Drivers()->GetSubKey(WString(u"Quorin ZTR"));
  ASSERT_TRUE(key);
  EXPECT_EQ(key->GetPath(), u"Software\\Orbaxa\\Audio\\Drivers\\Quorin ZTR");
  VariantEx value;
  ASSERT_EQ(key->GetValue(WString(u"SoftwarePath"), value), 0);
  EXPECT_EQ(value.GetType(), QZ::Variant::String);
  EXPECT_STREQ(value.GetString(), "/opt/Vandrel/Quorin \xC3\xA9\xE2\x82\xAC");

  ASSERT_EQ(key->GetValue(WString(u"Flags"), value), 0);
  ASSERT_EQ(value.GetType(), QZ::Variant::Buffer);
  uint32_t size = 0;
  const void* data = value.GetData(size);
  ASSERT_EQ(size, 4u);
  EXPECT_EQ(std::memcmp(data, "\x1F\0\0\0", 4), 0);

  // A string value without its terminator ends where its data ends.
  ASSERT_EQ(key->GetValue(WString(u"Unterminated"), value), 0);
  EXPECT_STREQ(value.GetString(), "ab");

  EXPECT_EQ(key->GetValue(WString(u"Missing"), value), QZ::QZ_E_FAIL);
  EXPECT_STREQ(value.GetString(), "ab");
}

TEST_F(RegistryKeyTest, ChildKeysMatchTheirNamesExactly) {
  const RCPtr<LRegistryKey> drivers = Drivers();
  QZ::WStringArray names;
  ASSERT_EQ(drivers->GetSubKeyNames(names), 0);
  ASSERT_EQ(names.GetCount(), 2u);
  EXPECT_EQ(names.GetAt(0), u"Quorin ZTR");
  EXPECT_EQ(names.GetAt(1), u"Other");
  EXPECT_FALSE(drivers->GetSubKey(WString(u"quorin ztr")));
  EXPECT_FALSE(drivers->GetSubKey(WString(u"")));
  EXPECT_TRUE(drivers->GetSubKey(WString(u"Other")));
}

TEST_F(RegistryKeyTest, OpenStaysOpenAndUnknownKeysOrRootsFail) {
  const RCPtr<LRegistryKey> drivers = Drivers();
  EXPECT_EQ(drivers->Open(), 0);
  EXPECT_EQ(drivers->Open(), 1);

  for (const RCPtr<LRegistryKey>& key :
       {Drivers(4), Drivers(LRegistryKey::kCurrentUser),
        RCPtr<LRegistryKey>(new LRegistryKey(LRegistryKey::kLocalMachine, WString(u"Software\\None"), true))}) {
    VariantEx value;
    QZ::WStringArray names;
    names.SetCount(1);
    EXPECT_EQ(key->Open(), QZ::QZ_E_FAIL);
    EXPECT_EQ(key->GetValue(WString(u"SoftwarePath"), value), QZ::QZ_E_FAIL);
    EXPECT_EQ(key->GetSubKeyNames(names), QZ::QZ_E_FAIL);
    EXPECT_EQ(names.GetCount(), 0u);
    EXPECT_FALSE(key->GetSubKey(WString(u"Quorin ZTR")));
  }
}

} // namespace
