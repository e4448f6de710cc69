#include <gtest/gtest.h>

#include "QZFramework/Services/ApplicationContext.h"
#include "Support/FakeApplicationContext.h"

namespace {

TEST(ApplicationContextTest, OnlyTheInstalledContextIsUninstalled) {
  EXPECT_EQ(QZ::GetApplicationContext(), nullptr);
  QZTest::FakeApplicationContext first;
  EXPECT_EQ(QZ::GetApplicationContext(), &first);
  {
    QZTest::FakeApplicationContext second;
    EXPECT_EQ(QZ::GetApplicationContext(), &second);
    QZ::UninstallApplicationContext(&first);
    EXPECT_EQ(QZ::GetApplicationContext(), &second);
  }
  EXPECT_EQ(QZ::GetApplicationContext(), nullptr);
}

TEST(ApplicationContextTest, TheModelIsTheUserSettingsDeviceModel) {
  QZTest::FakeApplicationContext application;
  EXPECT_EQ(QZ::GetDeviceModel(), QZ::kDefaultDeviceModel) << "key missing";
  application.SetDeviceModel(QZ::kDeviceModel61Keys);
  EXPECT_EQ(QZ::GetDeviceModel(), QZ::kDeviceModel61Keys);
  application.GetIniFileManager()->SetInt(application.OpenSettingsFile(QZ::kAppSettingsFile), u"DeviceModel", 0);
  EXPECT_EQ(QZ::GetDeviceModel(), QZ::kDeviceModel61Keys) << "the application settings do not hold it";
  application.SetDeviceModel(QZ::kDeviceModel25Keys);
  EXPECT_EQ(application.GetDeviceModel(), QZ::kDeviceModel25Keys);
}

TEST(ApplicationContextTest, WithoutSettingsOrApplicationTheModelIsThe49KeyModel) {
  EXPECT_EQ(QZ::GetDeviceModel(), QZ::kDeviceModel49Keys);
  QZTest::FakeApplicationContext application;
  application.SetDeviceModel(QZ::kDeviceModel25Keys);
  application.DropSettings();
  EXPECT_EQ(QZ::GetDeviceModel(), QZ::kDeviceModel49Keys);
}

} // namespace
