#pragma once
// QZ::MFCFrameworkApp<TApp>: the program's host object. It carries the process from the
// entry to the message loop and back: it loads the string tables and the skins into the
// control factory, honours the debug switch, names the profile's company, then creates
// the application object TApp, runs its start-up, shows its main window and runs it.
//
//   // Panel/Main/main.cpp
//   static QZ::MFCFrameworkApp<LApplication> theApp;             // before main runs
//   int main(int argc, char** argv) {
//     QZ::SetLocaleFromEnvironment();
//     return QZ::FrameworkAppMain(QZ::MakeCommandLine(argc, argv), QZ::Platform::Window::SW_SHOWNORMAL, -1,
//                                 u"Splash.png");
//   }
//
// FrameworkAppMain, the run function, in order:
//   0. Two pieces of work that need no window system start on threads of their own, to
//      run while the window system starts (kWorkBeforeWindowSystem): the resources of step 2 read into a new
//      control factory, and the system font (SystemFont.h) looked up. Their results, and
//      what they threw, are taken where the start-up needs them (step 2; the application's
//      first GetSystemFont), so texts, their order and the failures' handling stay as if
//      the work ran there; the run function waits for any work not taken before it ends.
//   1. WinInit (the window system, on a real display only). Without one the reason
//      (naming the display) and how to start the program go to standard error and the
//      debug trace, and the run ends with exit code 2 before anything else, the instance
//      lock among it, is taken. Else the language id (-1: the environment's,
//      GetUserDefaultLanguageId) and the splash image name are kept.
//   2. InitApplication: ShowSplash; a new control factory loads the resources of
//      GetFolder(1) for the language ("::" the compiled-in documents, or the folder
//      QZ_RESOURCE_FOLDER names). A document that did not parse is reported ("<path>:
//      line <n>: <Expat's text>"), and so is a skin document that could not be read; a
//      failure raises "Failed Result : QZRESULT = <code> :
//      QZ::MFCFrameworkApp<class TApp>::InitApplication : Application/ApplicationBaseWin :
//      Line 169". The factory's "Framework" table is kept and its OpenGL texts handed to
//      the renderer. Last, the single instance (SingleInstance.h) named from GetAppId:
//      when another instance runs and takes the command line, InitApplication answers
//      false and the process ends quietly with 0.
//   3. InitInstance: "-DEBUG_CONSOLE" (DebugConsoleSwitch.h); OLE (a seam: when it fails,
//      the start-up error box and false); SetRegistryKey with the version's company.
//      False: the main window (if any) destroyed, ExitInstance, exit code 1.
//   4. Run: a new TApp(factory, framework table, command line); its command-line hook
//      before start-up; RunApplicationStartup (line 380 on failure); the hook after
//      start-up; CreateMainWindow(GetRendererType()) (line 361); SetMainRootControl(
//      GetMainControlName()) (line 362); the main window shown and updated; CloseSplash;
//      TApp::Run (the first layout, an idle pass, the message loop); the hand-over
//      listener stopped; RunApplicationShutdown; the application object dropped.
//   5. The splash screen and the single instance's listener ended, the factory and the
//      framework table released; WinTerm. The exit code is returned (the instance lock
//      stays with the host until the process ends).
// An exception out of steps 2-4 ends the start-up: its what() goes to standard error and
// the debug trace, the instance lock is let go (a failed start is no running instance),
// the start-up error box shows (the framework table's "STARTUP_ERROR" and
// "STARTUP_ERROR_CAPTION", built-in English without them; style 0x10), the main window is
// destroyed, an application object is shut down and dropped, step 5 runs and the exit
// code is 1. While that box is up, SIGINT, SIGTERM and SIGHUP end the process at once
// with 1.
//
// While the run function runs, a notification posted to any queue from another thread
// wakes the message loop (so that its idle pass delivers it at once). SIGINT, SIGTERM and
// SIGHUP (Platform/Host/TerminationSignals.h) become the window system's quit request,
// which posts "NID_APP_EXIT_REQ" to the application notification centre, the program's
// normal exit (a signal that comes before the loop runs waits for it); SIGXFSZ is
// ignored. A lost display (Platform/Window/DisplayConnection.h) is reported, the
// settings saved (the application object's settings store), the main window destroyed
// (which stores its placement), the instance lock let go, and the process ends with
// Platform::Window::kDisplayLostExitCode. The idle rule of OnIdle: nothing without an
// application object or once it is exiting; else TApp::DoIdleWork(idleCount == 0),
// idling again while it reports more work and idleCount < 2.
//
// A command line that another start handed over reaches the UI thread as the thread
// message WM_QZ_HANDEDOVER, whenever a loop (the main loop or a modal one) takes it, so
// lines received during the start-up wait for the loop: ReceiveHandedOverCommandLines.
//
// One host per process (HostApp::Get); UI thread.

#include <concepts>
#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Host/MessagePump.h"
#include "QZFramework/Application/HostApp.h"
#include "QZFramework/Application/SingleInstance.h"
#include "QZFramework/Application/SplashBackend.h"
#include "QZFramework/Application/SystemFont.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/ObjectBase/Exception.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/ObjectBase/TypeName.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Services/Trace/StartupTrace.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LBitmap;
class SplashScreen;

// When the application's command-line hook is called.
enum class CommandLineStage {
  BeforeStartup,
  AfterStartup,
  FromAnotherInstance, // a second instance handed its command line over
};

// What the host asks of the application object it runs.
template <class T>
concept HostedApplication = std::derived_from<T, LRefCountedObject> && std::constructible_from < T,
        const RCPtr<LControlFactory>
&, const RCPtr<LStringTable>&,
    const WString& > &&requires(T& application, const WString& text, int32_t rendererType, bool firstPass) {
  { application.OnCommandLine(CommandLineStage::BeforeStartup, text) } -> std::convertible_to<QZResult>;
  { application.RunApplicationStartup() } -> std::convertible_to<QZResult>;
  { application.GetRendererType() } -> std::convertible_to<int32_t>;
  { application.CreateMainWindow(rendererType) } -> std::convertible_to<QZResult>;
  { application.GetMainControlName() } -> std::convertible_to<WString>;
  // The named control becomes the root control of the first root window (the
  // default root window when there is none).
  { application.SetMainRootControl(text) } -> std::convertible_to<QZResult>;
  application.Run();
  { application.RunApplicationShutdown() } -> std::convertible_to<QZResult>;
  { application.IsExiting() } -> std::convertible_to<bool>;
  { application.DoIdleWork(firstPass) } -> std::convertible_to<bool>;
};

// The run function: the steps above on the process's host. Answers the process's exit
// code: 0 after a normal run or when another instance took over, 1 after a failed
// start-up (and no host at all), 2 without a display.
[[nodiscard]] int32_t FrameworkAppMain(std::string_view commandLine, int32_t showCommand, int32_t languageId,
                                       const char16_t* splashImageName);

// What does not depend on the application class.
class MFCFrameworkAppBase : public HostApp {
public:
  // The system services the host starts, replaceable by tests; empty members keep the
  // defaults.
  struct Services {
    WindowSystemStart startWindowSystem; // default: the window system over SDL
    std::function<bool()> initializeOle; // default: succeeds (drops come through SDL)
    DebugTrace* trace = nullptr;         // default: DebugTrace::Get()
    // The single instance's names and times; empty members keep the defaults.
    SingleInstance::Options instance;
    // Makes the splash screen's backend; default: NullSplashBackend.
    std::function<std::unique_ptr<SplashBackend>()> makeSplashBackend;
    // Reads the resources of a folder (GetFolder(1)) for a language into a new factory;
    // default: LControlFactory::LoadResources. Called on a thread of its own by the run
    // function, on the UI thread by an InitApplication called without it.
    std::function<QZResult(LControlFactory&, const WString& folder, uint32_t languageId)> loadResources;
    // Finds the system font; default: GetSystemFont. Called on a thread of its own.
    std::function<SystemFont()> findSystemFont;
  };

  ~MFCFrameworkAppBase() override;

  // Whether step 0's work begins before the window system starts (else just after it).
  // AddressSanitizer's allocator is not safe across fork() while other threads allocate,
  // and the window system's start forks (the session bus's launcher): under it the work
  // waits for that start.
#if defined(__SANITIZE_ADDRESS__)
  static constexpr bool kWorkBeforeWindowSystem = false;
#else
  static constexpr bool kWorkBeforeWindowSystem = true;
#endif

  // "Vandrel_Quorin ZTR Preset Editor": the company, "_" and the product of the
  // program's version resource.
  static const WString& GetAppId();

  // The program's folders by path id (ApplicationFolders.h), without a trailing '/':
  //   0 the program's own folder;
  //   1 the resources: "::" (compiled in), or the folder QZ_RESOURCE_FOLDER names;
  //   2 the users' shared application data, 3 the user's own (configuration), each
  //     followed by the version's company and product and created: empty when it cannot
  //     be made;
  //   4 the user's documents.
  // Other ids raise "Out of Range : Unknown Path ID. : QZ::MFCFrameworkApp<class TApp>::
  // GetFolder : Application/ApplicationBaseWin : Line 582".
  WString GetFolder(int32_t pathId) const;

  // The language id the run function stored (0 before it ran); the splash image name
  // while it runs; the factory and the framework table from InitApplication until the
  // run function ends (null otherwise).
  uint32_t GetLanguageId() const { return mLanguageId; }
  const char16_t* GetSplashImageName() const { return mSplashImageName; }
  const RCPtr<LControlFactory>& GetControlFactory() const { return mFactory; }
  const RCPtr<LStringTable>& GetFrameworkStringTable() const { return mFrameworkStringTable; }

  // The exit code the run function returns; the application sets 1 when its run ends
  // in an error.
  int32_t GetExitCode() const { return mExitCode; }
  void SetExitCode(int32_t code) { mExitCode = code; }

  // The start-up error box: "STARTUP_ERROR" and "STARTUP_ERROR_CAPTION" of the framework
  // table (built-in English for a missing table or key), icon error (0x10), no owner.
  // A termination signal ends the process with 1 while it is up.
  void ShowStartupErrorBox() const;

  // Standard error and the services' debug trace.
  void Report(const std::string& line) const override;

  bool InitApplication() override;
  bool InitInstance() override;

  // The system font the run function began to look up before the window system started,
  // at the first call after that (waiting for the lookup; what it threw is thrown here);
  // nothing on later calls, outside the run function, or when no lookup was begun.
  std::optional<SystemFont> TakeStartupSystemFont();

  // --- The splash screen ---------------------------------------------------------------

  // Where the splash image is: with the folder of path id 1 "::", "::" + the splash image
  // name when the program's "GDIPLUS" images hold it (its resource name upper-cased with
  // '.' and ' ' made '_': "Splash.png" is SPLASH_PNG); else folder + "/" + name when that
  // file exists. Empty otherwise, and without a splash image name.
  virtual WString GetSplashImagePath();
  // Nothing without a splash image or when a splash screen exists; else a new splash
  // screen with the image, started, stepping from 0 to 100 over 8 seconds.
  virtual void ShowSplash();
  // With a splash screen: position 100, then the splash screen ended (its thread joined).
  virtual void CloseSplash();
  // Whether a splash screen exists.
  bool HasSplash() const { return mSplash != nullptr; }

  // --- Command lines of other instances -----------------------------------------------

  // Each command line received since the last call, in order, through
  // ReceiveHandedOverCommandLine (HandOverReceiver.h) with the main window. The
  // thread-message handler of the run calls it.
  void ReceiveHandedOverCommandLines();

  // Changes nothing: what the host owns is released by the run function.
  int32_t ExitInstance() override { return 1; }

protected:
  explicit MFCFrameworkAppBase(Services services);

  // "QZ::MFCFrameworkApp<class TApp>", which the failure texts name.
  virtual std::string GetHostClassName() const = 0;
  // "<host class>::<method>".
  std::string MethodName(std::string_view method) const { return GetHostClassName() + "::" + std::string(method); }
  // Shows and updates the main window, if there is one.
  void ShowMainWindow();
  // Shuts an application object down and drops it; nothing without one.
  virtual void DropApplication() = 0;
  // Stops taking command lines of other instances (the lock stays): before the
  // application object goes.
  void StopHandOver();

private:
  friend int32_t FrameworkAppMain(std::string_view, int32_t, int32_t, const char16_t*);

  static WString GetResourceFolder();
  int32_t RunSteps(std::string_view commandLine, int32_t showCommand, int32_t languageId,
                   const char16_t* splashImageName);
  void EndFailedStartup(const char* what);
  // Step 1's failure: the reason and how to start the program, exit code 2.
  void EndWithoutDisplay();
  // Reports the documents that did not parse or could not be read.
  void ReportDocumentProblems(const WString& folder, QZResult loaded) const;
  // Saves what can be saved once the display is gone, and lets the lock go.
  void OnDisplayLost(const std::string& display);
  // The single-instance decision: false when another instance took the command line.
  bool DecideInstance();
  // Step 0: the resources' reading and the font's lookup begun on threads of their own.
  void BeginWorkBesideWindowSystem();
  // Waits for work of step 0 not taken and drops what it made or threw.
  void EndWorkBesideWindowSystem();
  // A factory with the resources of folder read for mLanguageId, and the result.
  QZResult ReadResources(LControlFactory& factory, const WString& folder) const;

  // What step 0's reading made: the factory (what it read before a failure too), the
  // result, and what the reading threw.
  struct ReadResult {
    RCPtr<LControlFactory> factory;
    QZResult result = QZ_OK;
    std::exception_ptr failure;
  };

  Services mServices;
  RCPtr<LControlFactory> mFactory;
  RCPtr<LStringTable> mFrameworkStringTable;
  uint32_t mLanguageId = 0;
  const char16_t* mSplashImageName = nullptr;
  int32_t mExitCode = 0;
  std::unique_ptr<SingleInstance> mInstance;
  RCPtr<LBitmap> mSplashBitmap;
  std::unique_ptr<SplashScreen> mSplash;
  std::future<ReadResult> mResourcesRead;
  std::future<SystemFont> mSystemFontFound;
};

template <HostedApplication TApp>
class MFCFrameworkApp : public MFCFrameworkAppBase {
public:
  explicit MFCFrameworkApp(Services services = {}) : MFCFrameworkAppBase(std::move(services)) {}
  ~MFCFrameworkApp() override { mApplication = nullptr; }

  // The application object; null outside Run.
  const RCPtr<TApp>& GetApplication() const { return mApplication; }

  int32_t Run() override {
    static constexpr std::string_view kSource = "Application/ApplicationBaseWin";
    const WString commandLine = GetCommandLine();
    RCPtr<TApp> application(new TApp(GetControlFactory(), GetFrameworkStringTable(), commandLine));
    mApplication = application;
    application->OnCommandLine(CommandLineStage::BeforeStartup, commandLine); // the hooks' results: unused
    CheckResult(application->RunApplicationStartup(), {MethodName("Run"), kSource, 380});
    TraceStartupStep("application started");
    application->OnCommandLine(CommandLineStage::AfterStartup, commandLine);
    CheckResult(application->CreateMainWindow(application->GetRendererType()), {MethodName("Run"), kSource, 361});
    TraceStartupStep("main window made");
    CheckResult(application->SetMainRootControl(application->GetMainControlName()), {MethodName("Run"), kSource, 362});
    TraceStartupStep("control tree made");
    ShowMainWindow();
    CloseSplash();
    application->Run();
    StopHandOver();
    application->RunApplicationShutdown(); // nothing is left to report a failure to
    mApplication = nullptr;
    return 1;
  }

  bool OnIdle(int32_t idleCount) override {
    if (!mApplication || mApplication->IsExiting()) {
      return false;
    }
    return Platform::Host::RunIdlePass(idleCount,
                                       [this](bool firstPass) { return mApplication->DoIdleWork(firstPass); });
  }

protected:
  // Asked when a text needs it: the application class's spelling may be registered after
  // the host was made.
  std::string GetHostClassName() const override { return "QZ::MFCFrameworkApp<" + TypeName<TApp>() + ">"; }
  void DropApplication() override {
    StopHandOver();
    RCPtr<TApp> application;
    application.Swap(mApplication);
    if (application) {
      application->RunApplicationShutdown(); // the start-up has already failed
    }
  }

private:
  RCPtr<TApp> mApplication;
};

} // namespace QZ
