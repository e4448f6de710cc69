#pragma once
// QZ::LPresetManager: saves the controller's 145 parameter values from the application
// engine to a preset file (PresetFile.h) and loads a file back into the engine, the way
// an edit from a panel goes.
//
//   QZ::RCPtr<QZ::LPresetManager> presets = QZ::LPresetManager::Create();
//   QZ::Array<int32_t> globals;
//   for (int32_t k = 140; k <= 144; ++k) globals.AddItem(k);
//   presets->SetExcludedIndexes(globals, true);       // loading keeps the global settings
//   presets->SavePresetFile(u"/home/me/Lead.QuorinZTRPreset");   // 0
//   presets->LoadPresetFile(u"/home/me/Lead.QuorinZTRPreset");   // 0, or -1 to -4
//
// A save collects the values first and replaces the file only once the new one is
// completely on disk: a failure leaves the old file as it was. A load checks the whole
// file before the engine is given any value: a refused file changes nothing.
//
// Clients of the manager's own distributor hear "NID_PRESETFILE_PRE_LOAD" (no data) and
// "NID_PRESETFILE_POST_LOAD" (a QZ::LPresetFileLoadNotificationData) around every load,
// synchronously. "NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS" posted to the application
// centre with a QZ::LStringWrapper holding a path loads that file.
//
// Main thread only. The engine and the settings store are the installed application
// context's (ApplicationContext.h). Hold the manager through QZ::RCPtr: its
// registrations are internal references, dropped with the last outside one.

#include <cstdint>

#include "QZFramework/Notification/NotificationHandler.h"
#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/Buffer.h"
#include "QZFramework/Utilities/Storage/StringT.h"
#include "QZFramework/Utilities/Storage/Variant.h"

namespace QZ {

// The data of "NID_PRESETFILE_POST_LOAD": the load's result.
class LPresetFileLoadNotificationData : public virtual LRefCountedObject {
public:
  explicit LPresetFileLoadNotificationData(int32_t result) : mResult(result) {}
  int32_t GetResult() const { return mResult; }

private:
  const int32_t mResult;
};

class LPresetManager : public virtual LNotificationClient, public virtual LNotificationDistributor {
public:
  static constexpr char16_t kGlobalLoadControlPanelSettings[] = u"NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS";
  static constexpr char16_t kPresetFilePreLoad[] = u"NID_PRESETFILE_PRE_LOAD";
  static constexpr char16_t kPresetFilePostLoad[] = u"NID_PRESETFILE_POST_LOAD";
  // The text key of the last folder a preset file was chosen in ("UserSettings.ini").
  static constexpr char16_t kLastFolderKey[] = u"PresetLastFolderPath";

  // A new manager subscribed to "NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS" at the
  // application centre. Throws QZ::FailedResultException ("Failed Result : QZRESULT =
  // 80070057 : QZ::LPresetManager::Create : UI\DriverCommon\PresetManager : Line 29") when
  // the subscription is refused, as it is without an application centre.
  static RCPtr<LPresetManager> Create();

  // Record indexes that loading skips: emptied first when replace is set, then indexes
  // appended.
  void SetExcludedIndexes(const IArray<int32_t>& indexes, bool replace);

  // Sends "NID_PRESETFILE_PRE_LOAD", reads the file (ReadPresetFile), sends
  // "NID_PRESETFILE_POST_LOAD" with the result and returns it.
  [[nodiscard]] int32_t LoadPresetFile(const WString& path);
  // Reads the file at path (UTF-8 on disk, opened without locks) and, once all of it is
  // accepted, hands each record to the engine in file order as parameter first id + k
  // with an empty qualifier (its result not looked at), skipping the excluded indexes
  // and indexes of 145 or more; a repeated index is set again. The PresetFile::Read
  // result (0 loaded, -1 older, -2 newer, -3 unreadable or corrupt, -4 another device);
  // QZ_E_FAIL, nothing read, without an application engine.
  [[nodiscard]] int32_t ReadPresetFile(const WString& path);
  // Writes the engine's 145 values (ids first id + 0 to + 144) to a new file beside
  // path and renames it over path: 0. QZ_E_FAIL, the file at path as it was and no new
  // file left, without an engine, when the engine gives another number of values, when
  // path is a folder, another non-regular file or a file that may not be written, or when
  // any write, the flush, the close or the rename fails.
  [[nodiscard]] QZResult SavePresetFile(const WString& path);

  // The codec's record operations (PresetFile::WriteRecord, PresetFile::ParseRecord).
  [[nodiscard]] static int32_t WriteRecord(uint32_t index, const Variant& value, IBuffer& buffer);
  [[nodiscard]] static int32_t ParseRecord(const IBuffer& buffer, uint32_t offset, uint32_t& index, Variant& value,
                                           uint32_t& reserved);

  // Stores folder, where the user last chose a preset file (the file dialog's folder),
  // under kLastFolderKey in the user settings; nothing without a settings store.
  void StoreLastFolder(const WString& folder);

  // Loads the file named by a QZ::LStringWrapper parameter; anything else is ignored. 1.
  QZResult OnGlobalLoadControlPanelSettings(const RCPtr<LNotificationDistributor>& distributor,
                                            const RCPtr<LNotification>& notification);

  // Dispatches through the handler table once Create has subscribed.
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override;
  // Stops dispatching, has the distributor's clients unregister, drops its own
  // registrations, then the base test.
  QZResult ReleaseInternalReferences() override;

protected:
  LPresetManager();
  ~LPresetManager() override;

private:
  RCPtr<LNotificationHandler<LPresetManager>> mHandler;
  bool mSubscribed = false;
  Array<int32_t> mExcludedIndexes;
};

} // namespace QZ
