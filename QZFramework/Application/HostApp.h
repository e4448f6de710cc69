#pragma once
// QZ::HostApp: the host application object that the program's entry hands control to, in
// the shape of the Windows application class the framework was designed on: five
// overridable steps, the main window, the command line, the message loop with its idle
// rules, and the application profile.
//
//   class Host : public QZ::HostApp {
//     bool InitInstance() override { SetRegistryKey(u"Vandrel"); return true; }
//     int32_t Run() override { ...create the main window...; return RunMessageLoop(); }
//     bool OnIdle(int32_t idleCount) override { return idleCount < 1; }
//   };
//   static Host host;                                // the process's one host, made before main
//   ... the run function: host.WinInit(line, SW_SHOWNORMAL), InitApplication, InitInstance,
//       Run, then host.WinTerm() ...
//
// The message loop (RunMessageLoop, Run's default) keeps the idle rules of that class:
// while no message waits, OnIdle runs with a count rising from 0 until it answers false,
// then the loop waits; a message that IsIdleMessage accepts (anything but a paint, a
// system timer or a mouse move to the point of the last one) begins a new idle period
// with the count at 0. The loop ends when it takes WM_QUIT, with ExitInstance's answer.
// Messages posted from other threads (Platform::Host::PostMessage, PostQuitMessage,
// RequestIdle) wake it; WM_QUIT comes after every message posted before it.
//
// The profile (binary entries by section and entry, such as the window placement "WP")
// is kept, once SetRegistryKey named the company, in the file "Profile.ini" of the user's
// application folder (ApplicationFolders.h) of that company and the application name.
// What goes wrong with that file is reported (Report); without a folder for it the user
// is told once that settings will not be kept (ReportSettingsNotKept).
//
// One host exists per process at a time (Get); everything runs on the UI thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Window/WindowTypes.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ::Platform::Host {
class ProfileStore;
}

namespace QZ {

class HostApp {
public:
  // Starts the window system for WinInit: true when it runs. The default starts it over
  // SDL (Platform::Host::Startup); tests start it over a backend of their own.
  using WindowSystemStart = std::function<bool()>;

  HostApp(const HostApp&) = delete;
  HostApp& operator=(const HostApp&) = delete;
  virtual ~HostApp();

  // The process's host; null when none exists.
  static HostApp* Get();

  // --- The entry's steps ------------------------------------------------------------

  // Keeps the command line (UTF-8) and the show command, and starts the window system
  // and its message queue. False when the window system does not start.
  [[nodiscard]] bool WinInit(std::string_view commandLine, int32_t showCommand);
  // Destroys every window left, stops the window system and forgets the main window.
  // Nothing when WinInit did not start it.
  void WinTerm();

  // The five steps, each called once by the run function. InitApplication, InitInstance:
  // true to go on (defaults: true). Run: the running state (default: RunMessageLoop).
  // OnIdle: whether to idle again before waiting (default: false). ExitInstance: called
  // by the message loop as it ends, its answer the loop's (default: the WM_QUIT's code).
  virtual bool InitApplication();
  virtual bool InitInstance();
  virtual int32_t Run();
  virtual bool OnIdle(int32_t idleCount);
  virtual int32_t ExitInstance();

  // The message loop with the idle rules above.
  int32_t RunMessageLoop();

  // --- What the host holds -----------------------------------------------------------

  // The command line as the entry gave it; the show command.
  const WString& GetCommandLine() const { return mCommandLine; }
  int32_t GetShowCommand() const { return mShowCommand; }

  // The main window: the one the program's exit closes. Null before it is set and once
  // the window is destroyed.
  Platform::Window::HWND GetMainWindow() const;
  void SetMainWindow(Platform::Window::HWND window) { mMainWindow = window; }

  // The profile: from now on kept for company and the application name (the product
  // name of the program's version resource), read from its file, its folder made. Without
  // a folder that can be made nothing is kept, and ReportSettingsNotKept says why.
  void SetRegistryKey(const WString& company);
  // The bytes of a binary entry; nothing before SetRegistryKey or when it is missing.
  std::optional<std::vector<uint8_t>> GetProfileBinary(const WString& section, const WString& entry) const;
  // Stores the entry and writes the profile file: false before SetRegistryKey or when
  // the file cannot be written.
  [[nodiscard]] bool WriteProfileBinary(const WString& section, const WString& entry, std::span<const uint8_t> bytes);

  // Tells the user one line: standard error and the debug trace.
  virtual void Report(const std::string& line) const;
  // "Settings will not be kept: <reason>.", reported once in the host's life, however
  // many folders fail.
  void ReportSettingsNotKept(const std::string& reason) const;

protected:
  // Becomes the process's host (replacing none: a second host while one exists stays
  // unregistered, and Get keeps answering the first).
  explicit HostApp(WindowSystemStart startWindowSystem = {});

private:
  WindowSystemStart mStartWindowSystem;
  bool mWindowSystemStarted = false;
  WString mCommandLine;
  int32_t mShowCommand = 0;
  Platform::Window::HWND mMainWindow = nullptr;
  int32_t mQuitCode = 0;
  std::unique_ptr<Platform::Host::ProfileStore> mProfile;
  mutable bool mSettingsNotKeptReported = false;
};

} // namespace QZ
