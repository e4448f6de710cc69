#pragma once
// An application context for tests of the services and the device control: installed
// for its lifetime, with a settings store whose two files live in memory only (loaded
// from paths that do not exist, never saved), a hand-driven millisecond clock, and the
// editor page, engine and notification centre that a test gives it.
//
//   QZTest::FakeApplicationContext application;   // installed
//   application.SetDeviceModel(0);                 // "DeviceModel" = 0 in UserSettings.ini
//   QZ::GetDeviceModel();                          // 0

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Settings/IniFileManager.h"

namespace QZTest {

class FakeApplicationContext final : public QZ::IApplicationContext {
public:
  FakeApplicationContext() : mSettings(new QZ::LIniFileManager) { QZ::InstallApplicationContext(this); }
  ~FakeApplicationContext() { QZ::UninstallApplicationContext(this); }
  FakeApplicationContext(const FakeApplicationContext&) = delete;
  FakeApplicationContext& operator=(const FakeApplicationContext&) = delete;

  void SetDeviceModel(int32_t model) {
    mSettings->SetInt(OpenSettingsFile(QZ::kUserSettingsFile), u"DeviceModel", model);
  }
  // From now on the application has no settings store.
  void DropSettings() { mSettings = nullptr; }
  void SetCurrentEditorPage(int32_t page) { mPage = page; }
  void AdvanceMilliseconds(uint32_t step) { mMilliseconds += step; }
  void SetRootModuleEngine(LRootModuleEngine* engine) { mEngine = engine; }
  void SetApplicationNotificationCenter(QZ::LNotificationCenter* centre) { mCentre = centre; }

  int32_t GetCurrentEditorPage() const override { return mPage; }
  LRootModuleEngine* GetRootModuleEngine() const override { return mEngine; }
  QZ::LNotificationCenter* GetApplicationNotificationCenter() const override { return mCentre; }
  uint32_t GetMilliseconds() const override { return mMilliseconds; }
  QZ::IIniFileManager* GetIniFileManager() const override { return mSettings.Get(); }

  uint32_t OpenSettingsFile(int32_t kind) override {
    const bool user = kind == QZ::kUserSettingsFile;
    QZ::IniFileHandle& handle = user ? mUserSettings : mAppSettings;
    if (handle == 0 && mSettings) {
      // A failed load leaves the handle 0, which is what callers check.
      (void)mSettings->Load(user ? u"/nonexistent/QZFakeApplication/UserSettings.ini"
                                 : u"/nonexistent/QZFakeApplication/AppSettings.ini",
                            u"1_0_0", u"Fake Application", handle);
    }
    return handle;
  }

private:
  QZ::RCPtr<QZ::LIniFileManager> mSettings;
  QZ::IniFileHandle mUserSettings = 0;
  QZ::IniFileHandle mAppSettings = 0;
  int32_t mPage = 0;
  uint32_t mMilliseconds = 0;
  LRootModuleEngine* mEngine = nullptr;
  QZ::LNotificationCenter* mCentre = nullptr;
};

} // namespace QZTest
