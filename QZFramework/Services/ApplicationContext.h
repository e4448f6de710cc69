#pragma once
// QZ::IApplicationContext: what the framework services and the device control need of
// the application (keyboard model, current editor page, engine, the "application"
// notification centre, millisecond clock, settings), so that they build and run
// without it. The application shell implements it and installs it at start-up; tests
// install a fake (tests/Support/FakeApplicationContext.h).
//
//   QZ::InstallApplicationContext(&application);
//   int32_t model = QZ::GetDeviceModel();          // "DeviceModel" of UserSettings.ini
//   QZ::UninstallApplicationContext(&application);
//
// The installer owns the context and keeps it alive while it is installed. The engine,
// the notification centre and the settings store stay owned by the context; callers
// that keep one take their own counted reference.
//
// The interface is closed: it grows no further members. A new need of a framework or
// device-control class reaches it through that class's options (a struct its creator
// fills, as MidiManagerOptions) or, for windows and input, through the control base's
// window and application seams.

#include <cstdint>

class LRootModuleEngine;

// The keyboard model as "NID_DEVICE_MODEL_SELECTION_CHANGED" carries it, in a
// QZ::LHolder<DEVICE_MODELS> (the values of QZ::kDeviceModel25Keys ...).
enum DEVICE_MODELS : int32_t { DEVICE_MODEL_25_KEYS = 0, DEVICE_MODEL_49_KEYS = 1, DEVICE_MODEL_61_KEYS = 2 };

namespace QZ {

class IIniFileManager;
class LNotificationCenter;

// Keyboard model indexes of the "DeviceModel" setting.
inline constexpr int32_t kDeviceModel25Keys = 0;
inline constexpr int32_t kDeviceModel49Keys = 1;
inline constexpr int32_t kDeviceModel61Keys = 2;
// The model assumed when the setting is missing.
inline constexpr int32_t kDefaultDeviceModel = kDeviceModel49Keys;

// Settings files by kind, as OpenSettingsFile takes them.
inline constexpr int32_t kAppSettingsFile = 0;  // "AppSettings.ini", common application data
inline constexpr int32_t kUserSettingsFile = 1; // "UserSettings.ini", the user's application data

class IApplicationContext {
public:
  // 0 while the user-preset editor is shown, 1 while the global-settings editor is.
  // Main thread.
  virtual int32_t GetCurrentEditorPage() const = 0;
  // The engine, held by the application for the program's lifetime; null before it is
  // made.
  virtual LRootModuleEngine* GetRootModuleEngine() const = 0;
  // The notification centre named "application": what is posted to it is delivered on
  // the main thread. Null before it is made. Any thread.
  virtual LNotificationCenter* GetApplicationNotificationCenter() const = 0;
  // Milliseconds from an arbitrary origin, wrapping at 2^32. Any thread.
  virtual uint32_t GetMilliseconds() const = 0;
  // The settings store; null when the application has none. Main thread.
  virtual IIniFileManager* GetIniFileManager() const = 0;
  // The store's handle of a settings file, opening it on first use: kAppSettingsFile
  // "AppSettings.ini", kUserSettingsFile "UserSettings.ini"; 0 for any other kind, or when
  // it cannot be opened (the next call tries again). Main thread.
  [[nodiscard]] virtual uint32_t OpenSettingsFile(int32_t kind) = 0;

  // The keyboard model: the integer "DeviceModel" of the user settings file, or
  // kDefaultDeviceModel when the key, the file or the store is missing. Main thread.
  int32_t GetDeviceModel();

protected:
  ~IApplicationContext() = default;
};

// The installed context; null when none. Any thread.
IApplicationContext* GetApplicationContext();
// Makes context the installed one, replacing any other.
void InstallApplicationContext(IApplicationContext* context);
// Uninstalls context; does nothing when another one (or none) is installed.
void UninstallApplicationContext(IApplicationContext* context);

// The installed context's keyboard model; kDefaultDeviceModel when none is installed.
int32_t GetDeviceModel();

// The installed context's "application" notification centre; null when no context is
// installed or it has none yet. Any thread.
LNotificationCenter* GetApplicationNotificationCenter();

} // namespace QZ
