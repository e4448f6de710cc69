#include "UI/DriverCommon/PresetManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Settings/IniFileManager.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"
#include "QZFramework/Utilities/Storage/QZFile.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "UI/DriverCommon/PresetFile.h"

namespace QZ {
namespace {

constexpr char kSource[] = R"(UI\DriverCommon\PresetManager)";
// The answer of a handler that consumed its notification.
constexpr QZResult kHandled = 1;

::LRootModuleEngine* ApplicationEngine() {
  const IApplicationContext* context = GetApplicationContext();
  return context ? context->GetRootModuleEngine() : nullptr;
}

// The rest of an open file, read in pieces that File::Read takes.
class FileSource final : public PresetFile::Source {
public:
  explicit FileSource(File& file) : mFile(file), mRemaining(file.GetLength()) {}

  int64_t Read(void* out, uint32_t count) override {
    static constexpr uint32_t kPiece = 1u << 20;
    auto* at = static_cast<char*>(out);
    uint32_t total = 0;
    try {
      while (total < count) {
        const uint32_t piece = std::min(count - total, kPiece);
        const int32_t got = mFile.Read(at + total, piece, File::kCurrentPosition);
        total += uint32_t(got);
        if (uint32_t(got) < piece) {
          break;
        }
      }
    } catch (const std::exception&) {
      return -1;
    }
    mRemaining -= std::min<uint64_t>(mRemaining, total);
    return total;
  }
  uint64_t Remaining() const override { return mRemaining; }

private:
  File& mFile;
  uint64_t mRemaining;
};

// Every byte to an open descriptor, or false.
class DescriptorSink final : public PresetFile::Sink {
public:
  explicit DescriptorSink(int descriptor) : mDescriptor(descriptor) {}

  bool Write(const void* bytes, uint32_t count) override {
    const auto* at = static_cast<const char*>(bytes);
    while (count != 0) {
      const ssize_t written = ::write(mDescriptor, at, count);
      if (written < 0 && errno == EINTR) {
        continue;
      }
      if (written <= 0) {
        return false;
      }
      at += written;
      count -= uint32_t(written);
    }
    return true;
  }

private:
  const int mDescriptor;
};

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save replaces: a symbolic link's target, so that the link stays a link.
std::string ResolveTarget(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      std::string target = resolved;
      std::free(resolved);
      return target;
    }
  }
  return path;
}

// A new file in folder, made for this save alone: its descriptor and path, or -1.
int CreateTemporaryFile(const std::string& folder, std::string& path) {
  static std::atomic<uint32_t> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = folder + "/.QuorinZTRPreset-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".tmp";
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST) {
      return descriptor;
    }
  }
  return -1;
}

// Writes the file to a temporary file beside target and renames it over target once it
// is completely on disk; on any failure the temporary file goes and target stays as it was.
QZResult ReplaceFile(const std::string& target, const std::vector<Variant>& values) {
  struct stat existing;
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) {
    return QZ_E_FAIL;
  }
  // Only what the user could have written in place is replaced: never a folder, a device
  // or a read-only file.
  if (exists && (!S_ISREG(existing.st_mode) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)) {
    return QZ_E_FAIL;
  }
  const std::string folder = FolderOf(target);
  std::string temporary;
  const int descriptor = CreateTemporaryFile(folder, temporary);
  if (descriptor < 0) {
    return QZ_E_FAIL;
  }
  bool written = !exists || ::fchmod(descriptor, existing.st_mode & 07777) == 0;
  if (written) {
    try {
      DescriptorSink sink(descriptor);
      LPresetFileBuffer record(0, 0, false);
      written = Succeeded(PresetFile::Write(values, sink, record)) && ::fsync(descriptor) == 0;
    } catch (const std::exception&) {
      written = false; // no memory for the record buffer
    }
  }
  written = ::close(descriptor) == 0 && written;
  if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return QZ_E_FAIL;
  }
  // Makes the rename itself durable; the new file is complete either way.
  const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderDescriptor >= 0) {
    ::fsync(folderDescriptor); // best effort: the rename has happened
    ::close(folderDescriptor);
  }
  return QZ_OK;
}

} // namespace

LPresetManager::LPresetManager() : mHandler(new LNotificationHandler<LPresetManager>(*this)) {}

LPresetManager::~LPresetManager() = default;

RCPtr<LPresetManager> LPresetManager::Create() {
  RCPtr<LPresetManager> manager(new LPresetManager);
  if (manager->mHandler) {
    const QZResult added = manager->mHandler->AddHandler(
        &LPresetManager::OnGlobalLoadControlPanelSettings,
        RCPtr<LNotificationDistributor>(GetApplicationNotificationCenter()), kGlobalLoadControlPanelSettings);
    CheckResult(added, {"QZ::LPresetManager::Create", kSource, 29});
    manager->mSubscribed = true;
  }
  return manager;
}

void LPresetManager::SetExcludedIndexes(const IArray<int32_t>& indexes, bool replace) {
  if (replace) {
    mExcludedIndexes.RemoveAll();
  }
  mExcludedIndexes.AppendArray(indexes);
}

int32_t LPresetManager::LoadPresetFile(const WString& path) {
  // Sent whether or not anyone listens (1 then): nothing depends on the answer.
  (void)SendNotification(LNotification::Create(kPresetFilePreLoad));
  const int32_t result = ReadPresetFile(path);
  (void)SendNotification(LNotification::Create(kPresetFilePostLoad, new LPresetFileLoadNotificationData(result)));
  return result;
}

int32_t LPresetManager::ReadPresetFile(const WString& path) {
  ::LRootModuleEngine* engine = ApplicationEngine();
  if (!engine) {
    return QZ_E_FAIL;
  }
  std::vector<PresetFile::Record> records;
  try {
    File file(path, WString(), File::kRead);
    if (!file.IsOpen()) {
      return PresetFile::kCorrupt;
    }
    FileSource source(file);
    LPresetFileBuffer record(0, 0, false);
    const int32_t result = PresetFile::Read(source, record, records);
    if (result != PresetFile::kLoaded) {
      return result;
    }
  } catch (const std::exception&) {
    // An unreadable file, or one too large to read into memory.
    return PresetFile::kCorrupt;
  }
  const uint32_t firstParamID = engine->GetFirstParamID();
  for (const PresetFile::Record& record : records) {
    if (record.index < PresetFile::kRecordCount && mExcludedIndexes.IndexOf(int32_t(record.index)) < 0) {
      // As an edit from a panel: what the engine makes of the value is its own affair.
      engine->SetParamValue(ParamDescriptor(firstParamID + record.index), record.value);
    }
  }
  return PresetFile::kLoaded;
}

QZResult LPresetManager::SavePresetFile(const WString& path) {
  ::LRootModuleEngine* engine = ApplicationEngine();
  if (!engine) {
    return QZ_E_FAIL;
  }
  Array<ParamValue> entries;
  engine->GetParamValues({engine->GetFirstParamID(), PresetFile::kRecordCount}, entries, -1);
  if (entries.GetCount() != PresetFile::kRecordCount) {
    return QZ_E_FAIL;
  }
  std::vector<Variant> values;
  values.reserve(PresetFile::kRecordCount);
  for (uint32_t i = 0; i < entries.GetCount(); ++i) {
    values.push_back(entries.GetAt(i).value);
  }
  return ReplaceFile(ResolveTarget(std::string(path.ToUTF8().View())), values);
}

int32_t LPresetManager::WriteRecord(uint32_t index, const Variant& value, IBuffer& buffer) {
  return PresetFile::WriteRecord(index, value, buffer);
}

int32_t LPresetManager::ParseRecord(const IBuffer& buffer, uint32_t offset, uint32_t& index, Variant& value,
                                    uint32_t& reserved) {
  return PresetFile::ParseRecord(buffer, offset, index, value, reserved);
}

void LPresetManager::StoreLastFolder(const WString& folder) {
  IApplicationContext* context = GetApplicationContext();
  IIniFileManager* settings = context ? context->GetIniFileManager() : nullptr;
  const IniFileHandle userSettings = settings ? context->OpenSettingsFile(kUserSettingsFile) : 0;
  if (userSettings != 0) {
    // A folder that is not remembered costs the user a click, nothing more.
    settings->SetString(userSettings, kLastFolderKey, folder);
  }
}

QZResult LPresetManager::OnGlobalLoadControlPanelSettings(const RCPtr<LNotificationDistributor>&,
                                                          const RCPtr<LNotification>& notification) {
  if (const RCPtr<LStringWrapper> path = notification->GetParameterAs<LStringWrapper>()) {
    // Nobody is there to be told: the clients of this distributor hear the result.
    (void)LoadPresetFile(*path);
  }
  return kHandled;
}

QZResult LPresetManager::ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                                             const RCPtr<LNotification>& notification) {
  return mHandler && mSubscribed ? mHandler->HandleNotification(distributor, notification) : QZResult(QZ_OK);
}

QZResult LPresetManager::ReleaseInternalReferences() {
  mSubscribed = false;
  ReleaseDistributorReferences();
  ReleaseClientReferences();
  return LRefCountedObject::ReleaseInternalReferences();
}

} // namespace QZ
