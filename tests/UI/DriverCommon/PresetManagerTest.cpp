// The preset manager over the editor's engine: saving the engine's values byte for byte,
// loading them back with the excluded indexes kept, refusing bad files whole, and saves
// that fail without losing the file they would have replaced.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "QZFramework/Services/Settings/IniFileManager.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "Support/EngineHarness.h"
#include "Support/FilePermissionsEnforced.h"
#include "Support/HexBytes.h"
#include "Support/StringPrinter.h"
#include "Support/TempFolder.h"
#include "UI/DriverCommon/PresetFileBytes.h"
#include "UI/DriverCommon/PresetManager.h"

namespace {

using QZ::LPresetManager;
using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;
using QZ::WString;
using QZTest::Bytes;
using QZTest::PresetFileBytes;
using QZTest::ValueRecord;

constexpr char kName[] = "Lead.QuorinZTRPreset";

// Files may not grow beyond a size while it lives: a full disk, as a writer sees it.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &mSaved);
    mSavedHandler = ::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
    rlimit limited = mSaved;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &mSaved);
    ::signal(SIGXFSZ, mSavedHandler);
  }

private:
  rlimit mSaved{};
  sighandler_t mSavedHandler = SIG_DFL;
};

// An engine that gives one value fewer than asked for.
class ShortEngine final : public QZ::LPresetEditorAppEngine {
public:
  int32_t GetParamValues(const QZ::ParamIdRange& range, QZ::IArray<QZ::ParamValue>& values, int32_t start) override {
    const int32_t result = LPresetEditorAppEngine::GetParamValues(range, values, start);
    values.RemoveItems(values.GetCount() - 1, 1);
    return result;
  }
};

// Hears the manager's own notifications as they are sent: their names, and the results
// that the post-load ones carry.
struct LoadListener final : QZ::LNotificationClient {
  QZ::QZResult ReceiveNotification(const RCPtr<QZ::LNotificationDistributor>&,
                                   const RCPtr<QZ::LNotification>& notification) override {
    names.emplace_back(notification->GetID());
    if (const auto data = notification->GetParameterAs<QZ::LPresetFileLoadNotificationData>()) {
      results.push_back(data->GetResult());
    }
    return QZ::QZ_OK;
  }
  std::vector<std::u16string> names;
  std::vector<int32_t> results;
};

class PresetManagerTest : public ::testing::Test {
protected:
  void SetUp() override {
    Use(QZ::LPresetEditorAppEngine::Create());
    manager = LPresetManager::Create();
  }

  void Use(RCPtr<LRootModuleEngine> made) {
    engine = std::move(made);
    engine->Initialize(0);
    app.application.SetRootModuleEngine(engine.Get());
    app.Drain();
  }

  std::vector<Variant> EngineValues() {
    QZ::Array<QZ::ParamValue> entries;
    engine->GetParamValues({0, 145}, entries, -1);
    std::vector<Variant> values;
    for (uint32_t i = 0; i < entries.GetCount(); ++i) {
      values.push_back(entries.GetAt(i).value);
    }
    return values;
  }
  Variant Value(uint32_t id) {
    Variant value;
    engine->GetParamValue(ParamDescriptor(id), value);
    return value;
  }
  void Set(uint32_t id, const Variant& value) {
    ASSERT_EQ(engine->SetParamValue(ParamDescriptor(id), value), 0);
    app.Drain();
  }
  // The number of parameter changes the engine announced since the last drain.
  size_t Announced() {
    const std::vector<QZTest::Delivered> heard = app.Drain();
    return size_t(std::count_if(heard.begin(), heard.end(), [](const QZTest::Delivered& delivered) {
      return delivered.name == LRootModuleEngine::kParamModuleStateChange;
    }));
  }
  std::string Write(const std::vector<uint8_t>& bytes, const std::string& name = kName) {
    return folder.Write(name, std::string(bytes.begin(), bytes.end()));
  }
  std::set<std::string> FolderNames() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  QZTest::ApplicationCentre app;
  QZTest::TempFolder folder;
  RCPtr<LRootModuleEngine> engine;
  RCPtr<LPresetManager> manager;
};

TEST_F(PresetManagerTest, SavingTheDefaultsWritesEveryParameterInOrderByteForByte) {
  const std::string name = "Pr\xC3\xA9set \xE2\x98\x83.QuorinZTRPreset"; // UTF-8 on disk
  ASSERT_EQ(manager->SavePresetFile(folder.Wide(name)), 0);
  const std::string saved = folder.Read(name);
  ASSERT_EQ(saved.size(), 3638u);
  EXPECT_EQ(QZTest::ToHex(saved.data(), 12), QZTest::Hex("02000000 00000000 00000000"));
  EXPECT_EQ(QZTest::ToHex(saved.data() + 12, 25),
            QZTest::Hex("19000000 00000000 00000000 0D000000 01000000 0E000000 00"));
  EXPECT_EQ(QZTest::ToHex(saved.data() + 3062, 26),
            QZTest::Hex("1A000000 00000000 7A000000 0E000000 01000000 0E000000 01 14"));
  size_t offset = 12;
  for (uint32_t k = 0; k < 145; ++k) {
    ASSERT_LT(offset + 12, saved.size());
    EXPECT_EQ(uint8_t(saved[offset + 8]), k);
    offset += uint8_t(saved[offset]);
  }
  EXPECT_EQ(offset, saved.size());

  ASSERT_EQ(manager->SavePresetFile(folder.Wide(kName)), 0);
  ASSERT_EQ(manager->SavePresetFile(folder.Wide(name)), 0) << "over the first";
  EXPECT_EQ(folder.Read(kName), saved);
  EXPECT_EQ(folder.Read(name), saved);
  EXPECT_EQ(FolderNames(), (std::set<std::string>{name, kName}));
}

TEST_F(PresetManagerTest, ASavedPresetLoadsBackWithoutTheExcludedGlobals) {
  Set(10, Bytes({5}));
  Set(140, Bytes({3}));
  ASSERT_EQ(manager->SavePresetFile(folder.Wide(kName)), 0);
  Set(10, Bytes({0}));
  Set(140, Bytes({0}));
  QZ::Array<int32_t> globals;
  for (int32_t k : {140, 141, 142, 143, 144}) {
    globals.AddItem(k);
  }
  QZ::Array<int32_t> stale;
  stale.AddItem(10);
  manager->SetExcludedIndexes(stale, false);
  manager->SetExcludedIndexes(globals, true);
  RCPtr<LoadListener> listener(new LoadListener);
  listener->RegisterNotification(manager, LPresetManager::kPresetFilePreLoad);
  listener->RegisterNotification(manager, LPresetManager::kPresetFilePostLoad);

  const std::vector<std::u16string> bothOnce{u"NID_PRESETFILE_PRE_LOAD", u"NID_PRESETFILE_POST_LOAD"};
  EXPECT_EQ(manager->LoadPresetFile(folder.Wide(kName)), 0);
  EXPECT_EQ(listener->names, bothOnce);
  EXPECT_EQ(listener->results, std::vector<int32_t>{0});
  EXPECT_EQ(Value(10), Bytes({5}));
  EXPECT_EQ(Value(140), Bytes({0}));
  EXPECT_EQ(Announced(), 1u) << "only id 10 changed";

  listener->names.clear();
  listener->results.clear();
  EXPECT_EQ(manager->LoadPresetFile(folder.Wide("missing.QuorinZTRPreset")), -3);
  EXPECT_EQ(listener->names, bothOnce);
  EXPECT_EQ(listener->results, std::vector<int32_t>{-3});
  listener->UnregisterAllNotifications();
}

TEST_F(PresetManagerTest, ARefusedFileChangesNothing) {
  Set(5, Bytes({64}));
  ASSERT_EQ(manager->SavePresetFile(folder.Wide(kName)), 0);
  std::string saved = folder.Read(kName);
  Set(5, Bytes({0}));
  const auto withRecord20Reserved = [&] {
    std::string bytes = saved;
    bytes[12 + 20 * 25 + 4] = 1;
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  };
  const auto after = [&](std::vector<uint8_t> tail) {
    std::vector<uint8_t> bytes(saved.begin(), saved.end());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
  };
  const auto header = [](uint32_t version = 2, uint32_t a = 0) { return PresetFileBytes().Header(version, a); };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t result;
  };
  const Case cases[] = {
      {"header only", header().Take(), 0},
      {"version 1", header(1).ByteRecord(5, 64).Take(), -1},
      {"version 3", header(3).ByteRecord(5, 64).Take(), -2},
      {"device word A 1 with version 3", header(3, 1).ByteRecord(5, 64).Take(), -4},
      {"empty", {}, -3},
      {"eight bytes", PresetFileBytes().Word(2).Word(0).Take(), -3},
      {"record 20's reserved word 1", withRecord20Reserved(), -3},
      {"L = 15", after(PresetFileBytes().Word(15).Word(0).Word(1).Bytes({0, 0, 0}).Take()), -3},
      {"L = 0xFFFFFFF0", after(PresetFileBytes().Word(0xFFFFFFF0).Word(0).Word(1).Take()), -3},
      {"one stray byte", after({0}), -3},
      {"three stray bytes", after({0x19, 0, 0}), -3},
      {"two bytes for id 10", after(PresetFileBytes().Record(10, ValueRecord(14, {1, 2})).Take()), -3},
      {"one byte for id 122", after(PresetFileBytes().Record(122, ValueRecord(14, {1})).Take()), -3},
      {"an int32 value", after(PresetFileBytes().Record(3, ValueRecord(2, {1, 0, 0, 0}, 0)).Take()), -3},
      {"a byte of 0x80", after(PresetFileBytes().ByteRecord(3, 0x80).Take()), -3},
  };
  const std::vector<Variant> before = EngineValues();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write(c.bytes);
    EXPECT_EQ(manager->LoadPresetFile(folder.Wide(kName)), c.result);
    EXPECT_EQ(EngineValues(), before);
    EXPECT_EQ(Announced(), 0u);
  }
  EXPECT_EQ(manager->LoadPresetFile(folder.Wide("missing.QuorinZTRPreset")), -3);
  EXPECT_EQ(manager->LoadPresetFile(folder.Wide()), -3) << "a folder";
  EXPECT_EQ(manager->LoadPresetFile(WString()), -3) << "no path";
  EXPECT_EQ(EngineValues(), before);
}

TEST_F(PresetManagerTest, LoadingSkipsIndexesBeyondTheParametersAndAppliesRepeatsAgain) {
  Write(PresetFileBytes()
            .Header()
            .Record(145, ValueRecord(6, {1, 0, 0, 0}))
            .ByteRecord(10, 7)
            .Record(0xFFFFFFFF, ValueRecord(14, {1}))
            .ByteRecord(10, 9)
            .Take());
  EXPECT_EQ(manager->LoadPresetFile(folder.Wide(kName)), 0);
  std::vector<std::pair<uint32_t, Variant>> changes;
  for (const QZTest::Delivered& delivered : app.Drain()) {
    changes.push_back(QZTest::PairOf(delivered));
  }
  EXPECT_EQ(changes, (std::vector<std::pair<uint32_t, Variant>>{{10, Bytes({7})}, {10, Bytes({9})}}));
  EXPECT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnected) << "the engine was asked for no stranger";
}

TEST_F(PresetManagerTest, AFailedSaveKeepsTheOldFileAndLeavesNothingBehind) {
  enum class Failure { ReadOnlyFolder, ShortEngine, FullDisk };
  const std::string old = "the preset saved last week";
  for (const Failure failure : {Failure::ReadOnlyFolder, Failure::ShortEngine, Failure::FullDisk}) {
    for (const bool existing : {true, false}) {
      SCOPED_TRACE(testing::Message() << "failure " << int(failure) << (existing ? ", over a file" : ", new file"));
      std::filesystem::remove(folder / kName);
      if (existing) {
        folder.Write(kName, old);
      }
      if (failure == Failure::ShortEngine) {
        Use(RCPtr<LRootModuleEngine>(new ShortEngine));
      }
      QZ::QZResult result = 0;
      if (failure == Failure::ReadOnlyFolder) {
        ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
        QZTest::FilePermissionsEnforced ordinaryUser;
        result = manager->SavePresetFile(folder.Wide(kName));
      } else if (failure == Failure::FullDisk) {
        FileSizeLimit full(1000);
        result = manager->SavePresetFile(folder.Wide(kName));
      } else {
        result = manager->SavePresetFile(folder.Wide(kName));
      }
      ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
      EXPECT_EQ(result, QZ::QZ_E_FAIL);
      EXPECT_EQ(FolderNames(), existing ? std::set<std::string>{kName} : std::set<std::string>{});
      if (existing) {
        EXPECT_EQ(folder.Read(kName), old);
      }
    }
  }
}

TEST_F(PresetManagerTest, ASaveReplacesOnlyAWritableFileAndKeepsALinkALink) {
  std::filesystem::create_directory(folder / "Folder.QuorinZTRPreset");
  EXPECT_EQ(manager->SavePresetFile(folder.Wide("Folder.QuorinZTRPreset")), QZ::QZ_E_FAIL);
  EXPECT_EQ(manager->SavePresetFile(folder.Wide("missing/Lead.QuorinZTRPreset")), QZ::QZ_E_FAIL);
  folder.Write("Locked.QuorinZTRPreset", "locked");
  ASSERT_EQ(::chmod((folder / "Locked.QuorinZTRPreset").c_str(), 0444), 0);
  {
    QZTest::FilePermissionsEnforced ordinaryUser;
    EXPECT_EQ(manager->SavePresetFile(folder.Wide("Locked.QuorinZTRPreset")), QZ::QZ_E_FAIL);
  }
  EXPECT_EQ(folder.Read("Locked.QuorinZTRPreset"), "locked");

  folder.Write(kName, "old");
  ASSERT_EQ(::chmod((folder / kName).c_str(), 0640), 0);
  std::filesystem::create_symlink(kName, folder / "Link.QuorinZTRPreset");
  ASSERT_EQ(manager->SavePresetFile(folder.Wide("Link.QuorinZTRPreset")), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "Link.QuorinZTRPreset"));
  EXPECT_EQ(folder.Read(kName).size(), 3638u);
  struct stat info;
  ASSERT_EQ(::stat((folder / kName).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the replaced file's permissions are kept";
}

TEST_F(PresetManagerTest, ALoadRequestPostedToTheApplicationLoadsTheFileItNames) {
  Write(PresetFileBytes().Header().ByteRecord(10, 7).Take());
  // Checked below.
  (void)app.centre->PostNotification(
      QZ::LNotification::Create(LPresetManager::kGlobalLoadControlPanelSettings, new QZ::LHolder<int32_t>(1)));
  app.Drain();
  EXPECT_EQ(Value(10), Bytes({0})) << "no path, no load";
  // Checked below.
  (void)app.centre->PostNotification(QZ::LNotification::Create(LPresetManager::kGlobalLoadControlPanelSettings,
                                                               new QZ::LStringWrapper(folder.Wide(kName))));
  app.Drain();
  EXPECT_EQ(Value(10), Bytes({7}));

  // Let go, the manager no longer listens.
  manager = nullptr;
  Set(10, Bytes({0}));
  // Checked below.
  (void)app.centre->PostNotification(QZ::LNotification::Create(LPresetManager::kGlobalLoadControlPanelSettings,
                                                               new QZ::LStringWrapper(folder.Wide(kName))));
  app.Drain();
  EXPECT_EQ(Value(10), Bytes({0}));
}

TEST_F(PresetManagerTest, CreatingItWithoutAnApplicationCentreFailsWithTheResult) {
  app.application.SetApplicationNotificationCenter(nullptr);
  try {
    LPresetManager::Create();
    ADD_FAILURE() << "no exception";
  } catch (const QZ::FailedResultException& failure) {
    EXPECT_STREQ(failure.what(), "Failed Result : QZRESULT = 80070057 : QZ::LPresetManager::Create : "
                                 "UI\\DriverCommon\\PresetManager : Line 29");
  }
}

TEST_F(PresetManagerTest, TheLastFolderIsRememberedInTheUserSettings) {
  manager->StoreLastFolder(u"/home/me/Presets/Live");
  QZ::WString stored;
  QZ::IIniFileManager* settings = app.application.GetIniFileManager();
  ASSERT_EQ(settings->GetString(app.application.OpenSettingsFile(QZ::kUserSettingsFile), u"PresetLastFolderPath",
                                WString(), stored),
            0);
  EXPECT_EQ(stored, u"/home/me/Presets/Live");
  app.application.DropSettings();
  manager->StoreLastFolder(u"/elsewhere"); // nowhere to store it: nothing happens
}

// The fuzz target's seed corpus is made here from what the editor writes, so it follows
// the format. QZ_UPDATE_FUZZ_SEEDS=1 writes the seeds into the corpus folder; otherwise
// they are compared with it.
TEST_F(PresetManagerTest, TheFuzzTargetsSeedsAreFilesTheEditorWritesOrRefuses) {
  ASSERT_EQ(manager->SavePresetFile(folder.Wide(kName)), 0);
  const std::string saved = folder.Read(kName);
  std::string corrupt = saved;
  corrupt[12 + 20 * 25 + 4] = 1;
  const struct {
    const char* name;
    std::string bytes;
    int32_t result;
  } seeds[] = {
      {"default", saved, 0},
      {"header-only", saved.substr(0, 12), 0},
      {"tempo-record", saved.substr(0, 12) + saved.substr(3062, 26), 0},
      {"reserved-word-set", corrupt, -3},
  };
  const std::filesystem::path corpus = std::filesystem::path(QZ_FUZZ_CORPUS) / "PresetFileFuzz";
  const char* update = std::getenv("QZ_UPDATE_FUZZ_SEEDS");
  if (update && std::string(update) == "1") {
    std::filesystem::create_directories(corpus);
  }
  for (const auto& seed : seeds) {
    SCOPED_TRACE(seed.name);
    folder.Write(seed.name, seed.bytes);
    EXPECT_EQ(manager->ReadPresetFile(folder.Wide(seed.name)), seed.result);
    if (update && std::string(update) == "1") {
      std::ofstream(corpus / seed.name, std::ios::binary) << seed.bytes;
    }
    std::ifstream committed(corpus / seed.name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(committed), {}), seed.bytes)
        << "run with QZ_UPDATE_FUZZ_SEEDS=1 to write the seeds";
  }
}

} // namespace
