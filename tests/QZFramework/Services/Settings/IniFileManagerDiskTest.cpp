// The settings store against what users leave on disk: repeated corruption, read-only
// files and folders, things that are no regular file, and symbolic links.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <string>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Settings/IniFileManager.h"
#include "SettingsTestSupport.h"
#include "Support/FilePermissionsEnforced.h"
#include "Support/StringPrinter.h"

namespace {

namespace fs = std::filesystem;
using QZ::IniFileHandle;
using QZ::WString;
using SettingsTest::CapturedReports;
using SettingsTest::ReadFile;
using SettingsTest::WriteFile;

const std::string kValidDocument = "<plist><dict><key>1_0_0</key><dict>"
                                   "<key>DeviceModel</key><integer>1</integer></dict></dict></plist>";

class IniFileManagerDiskTest : public testing::Test {
protected:
  IniFileHandle Open(const std::string& path) {
    IniFileHandle handle = 0;
    EXPECT_EQ(mStore->Load(WString(path.c_str()), u"1_0_0", u"Quorin Preset Editor", handle), 0);
    EXPECT_NE(handle, 0u);
    return handle;
  }

  int32_t Model(IniFileHandle handle) {
    int32_t model = -1;
    EXPECT_EQ(mStore->GetInt(handle, u"DeviceModel", -1, model), 0);
    return model;
  }

  SettingsTest::TempFolder mFolder;
  QZ::RCPtr<QZ::LIniFileManager> mStore{new QZ::LIniFileManager};
};

TEST_F(IniFileManagerDiskTest, EveryCorruptionKeepsItsOwnBackup) {
  const std::string path = mFolder / "UserSettings.ini";
  const std::string corruptions[] = {"<plist><dict><key>first</key>", "\xff\xfe garbage", "<plist><dict></plist>"};
  const std::string backups[] = {path + ".bak", path + ".bak.1", path + ".bak.2"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(backups[i]);
    WriteFile(path, corruptions[i]);
    QZ::RCPtr<QZ::LIniFileManager> store(new QZ::LIniFileManager);
    IniFileHandle handle = 0;
    CapturedReports reports;
    ASSERT_EQ(store->Load(WString(path.c_str()), u"1_0_0", u"Quorin Preset Editor", handle), 0);
    EXPECT_TRUE(reports.Reported(path + ": unreadable settings file kept as " + backups[i])) << reports.Text();
    EXPECT_EQ(store->SetInt(handle, u"DeviceModel", i), 0);
    EXPECT_EQ(store->SaveFile(handle), 0);
    for (int kept = 0; kept <= i; ++kept) {
      EXPECT_EQ(ReadFile(backups[kept]), corruptions[kept]);
    }
  }

  // The first free name is taken, even below one in use.
  fs::remove(backups[0]);
  WriteFile(path, corruptions[0]);
  const IniFileHandle handle = Open(path);
  EXPECT_EQ(Model(handle), -1);
  EXPECT_EQ(ReadFile(backups[0]), corruptions[0]);
  EXPECT_EQ(ReadFile(backups[1]), corruptions[1]);
}

// The same read-only file as root would see it and as an ordinary user sees it.
TEST_F(IniFileManagerDiskTest, AReadOnlyFileIsNeitherReplacedNorForgotten) {
  for (const bool ordinaryUser : {false, true}) {
    SCOPED_TRACE(ordinaryUser ? "ordinary user" : "as run");
    const std::string path = mFolder / (ordinaryUser ? "User.ini" : "Root.ini");
    WriteFile(path, kValidDocument);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    std::optional<QZTest::FilePermissionsEnforced> permissions;
    if (ordinaryUser) {
      permissions.emplace();
    }
    const IniFileHandle handle = Open(path);
    EXPECT_EQ(mStore->SetInt(handle, u"DeviceModel", 3), 0);
    {
      CapturedReports reports;
      EXPECT_EQ(mStore->SaveFile(handle), -1);
      EXPECT_TRUE(reports.Reported(path + ": settings not saved: the file is read-only")) << reports.Text();
    }
    EXPECT_EQ(ReadFile(path), kValidDocument);
    EXPECT_EQ(Model(handle), 3);

    // Once the user allows it, the change is still there to be saved.
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(mStore->SaveFile(handle), 0);
    EXPECT_NE(ReadFile(path).find("<key>DeviceModel</key><integer>3</integer>"), std::string::npos);
    EXPECT_EQ(mStore->CloseFile(handle, false), 0);
  }
}

TEST_F(IniFileManagerDiskTest, AReadOnlyFolderFailsEverySaveAloud) {
  const std::string folder = mFolder / "settings";
  const std::string user = folder + "/UserSettings.ini";
  const std::string app = folder + "/AppSettings.ini";
  const std::string corrupt = "<plist><dict><key>1_0_0</key>";
  const std::string keptInPlace = app + ": settings not saved: the unreadable file is kept in place";
  const std::string denied = user + ": settings not saved: Permission denied";
  fs::create_directory(folder);
  WriteFile(app, corrupt);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  QZTest::FilePermissionsEnforced ordinaryUser;
  {
    CapturedReports reports;
    EXPECT_EQ(mStore->SetInt(Open(user), u"DeviceModel", 2), 0);
    EXPECT_EQ(mStore->SetInt(Open(app), u"DeviceModel", 2), 0);
    EXPECT_EQ(mStore->SaveAndCloseAll(), 0);
    EXPECT_TRUE(
        reports.Reported(app + ": unreadable settings file could not be kept as " + app + ".bak: Permission denied"))
        << reports.Text();
    EXPECT_TRUE(reports.Reported(denied)) << reports.Text();
    EXPECT_TRUE(reports.Reported(keptInPlace)) << reports.Text();
  }
  EXPECT_FALSE(fs::exists(user));
  EXPECT_EQ(ReadFile(app), corrupt);

  const IniFileHandle userHandle = Open(user);
  const IniFileHandle appHandle = Open(app);
  EXPECT_EQ(mStore->SetInt(userHandle, u"DeviceModel", 2), 0);
  EXPECT_EQ(mStore->SetInt(appHandle, u"DeviceModel", 2), 0);
  {
    CapturedReports reports;
    EXPECT_EQ(mStore->SaveFile(userHandle), -1);
    EXPECT_EQ(mStore->SaveFile(appHandle), -1);
    EXPECT_TRUE(reports.Reported(denied)) << reports.Text();
    EXPECT_TRUE(reports.Reported(keptInPlace)) << reports.Text();
  }
  EXPECT_EQ(ReadFile(app), corrupt);

  // Once the folder may be written, the unreadable file is kept aside by the save.
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  EXPECT_EQ(mStore->SaveFile(userHandle), 0);
  EXPECT_EQ(mStore->SaveFile(appHandle), 0);
  EXPECT_EQ(ReadFile(app + ".bak"), corrupt);
  EXPECT_NE(ReadFile(app).find("<key>DeviceModel</key><integer>2</integer>"), std::string::npos);
  EXPECT_NE(ReadFile(user).find("<key>DeviceModel</key><integer>2</integer>"), std::string::npos);
}

TEST_F(IniFileManagerDiskTest, WhatIsNoRegularFileIsNeitherReadNorReplaced) {
  ASSERT_EQ(mkfifo((mFolder / "fifo").c_str(), 0644), 0);
  fs::create_directory(mFolder / "folder");
  fs::create_symlink("fifo", mFolder / "link-to-fifo");
  for (const std::string name : {"fifo", "folder", "link-to-fifo"}) {
    SCOPED_TRACE(name);
    const std::string path = mFolder / name;
    const auto type = fs::symlink_status(path).type();
    CapturedReports reports;
    auto loading = std::async(std::launch::async, [&] {
      IniFileHandle handle = 0;
      const int32_t result = mStore->Load(WString(path.c_str()), u"1_0_0", u"Quorin Preset Editor", handle);
      return std::make_pair(result, handle);
    });
    if (loading.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
      ADD_FAILURE() << "Load blocks on " << path;
      // Give the blocked reader a writer, so the test can end.
      close(open((mFolder / "fifo").c_str(), O_WRONLY | O_NONBLOCK));
    }
    const auto [result, handle] = loading.get();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Model(handle), -1);
    EXPECT_EQ(mStore->SetInt(handle, u"DeviceModel", 2), 0);
    EXPECT_EQ(mStore->SaveFile(handle), -1);
    EXPECT_TRUE(reports.Reported(path + ": not a regular file: settings start from their defaults")) << reports.Text();
    EXPECT_TRUE(reports.Reported(path + ": settings not saved: not a regular file")) << reports.Text();
    EXPECT_EQ(fs::symlink_status(path).type(), type);
    EXPECT_FALSE(fs::exists(path + ".bak"));
  }
  EXPECT_TRUE(fs::is_fifo(mFolder / "fifo"));
  EXPECT_EQ(fs::read_symlink(mFolder / "link-to-fifo"), "fifo");
}

TEST_F(IniFileManagerDiskTest, ALinkStaysAndWhatItLeadsToIsKeptAndReplaced) {
  // UserSettings.ini -> profile/current.ini -> store/settings.ini (relative links).
  const std::string corrupt = "<plist><dict><key>1_0_0</key><dict>";
  fs::create_directory(mFolder / "profile");
  fs::create_directory(mFolder / "store");
  const std::string target = mFolder / "store/settings.ini";
  WriteFile(target, corrupt);
  fs::create_symlink("../store/settings.ini", mFolder / "profile/current.ini");
  fs::create_symlink("profile/current.ini", mFolder / "UserSettings.ini");
  const std::string path = mFolder / "UserSettings.ini";

  CapturedReports reports;
  const IniFileHandle handle = Open(path);
  EXPECT_TRUE(reports.Reported(path + ": unreadable settings file kept as " + mFolder.Path() +
                               "/profile/../store/settings.ini.bak"))
      << reports.Text();
  EXPECT_EQ(mStore->SetInt(handle, u"DeviceModel", 2), 0);
  EXPECT_EQ(mStore->SaveFile(handle), 0);

  EXPECT_EQ(fs::read_symlink(path), "profile/current.ini");
  EXPECT_EQ(fs::read_symlink(mFolder / "profile/current.ini"), "../store/settings.ini");
  EXPECT_EQ(ReadFile(target + ".bak"), corrupt);
  EXPECT_NE(ReadFile(target).find("<key>DeviceModel</key><integer>2</integer>"), std::string::npos);
  EXPECT_FALSE(fs::exists(mFolder / "profile/current.ini.bak"));
  EXPECT_FALSE(fs::exists(path + ".bak"));

  // A link whose file is gone leads the first save to make it there.
  fs::remove(target);
  QZ::RCPtr<QZ::LIniFileManager> store(new QZ::LIniFileManager);
  IniFileHandle again = 0;
  ASSERT_EQ(store->Load(WString(path.c_str()), u"1_0_0", u"Quorin Preset Editor", again), 0);
  EXPECT_EQ(store->SetInt(again, u"DeviceModel", 1), 0);
  EXPECT_EQ(store->SaveFile(again), 0);
  EXPECT_EQ(fs::read_symlink(path), "profile/current.ini");
  EXPECT_NE(ReadFile(target).find("<key>DeviceModel</key><integer>1</integer>"), std::string::npos);
}

} // namespace
