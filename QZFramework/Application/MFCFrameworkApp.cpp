#include "QZFramework/Application/MFCFrameworkApp.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <stdexcept>

#include "Platform/Host/MessagePump.h"
#include "Platform/Host/StartupError.h"
#include "Platform/Host/TerminationSignals.h"
#include "Platform/Resources/Resources.h"
#include "Platform/Window/DisplayConnection.h"
#include "Platform/Window/MessageBox.h"
#include "Platform/Window/Window.h"
#include "QZFramework/Application/ApplicationFolders.h"
#include "QZFramework/Application/DebugConsoleSwitch.h"
#include "QZFramework/Application/FrameworkApp.h"
#include "QZFramework/Application/HandOverReceiver.h"
#include "QZFramework/Application/LanguageId.h"
#include "QZFramework/Application/ProgramEntry.h"
#include "QZFramework/Application/SplashScreen.h"
#include "QZFramework/Application/Version.h"
#include "QZFramework/Application/VersionResource.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Renderer/OpenGL/GLErrorStrings.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Trace/StartupTrace.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZ {

namespace Host = Platform::Host;
namespace Win = Platform::Window;

namespace {

constexpr std::string_view kSourceName = "Application/ApplicationBaseWin";
constexpr char16_t kBuiltInStartupError[] = u"The application encountered problems during startup and will now close.";
constexpr char16_t kBuiltInStartupErrorCaption[] = u"Error";
// ShowSplash: the bar steps from 0 to 100 over 8 seconds.
constexpr int32_t kSplashProgressEnd = 100;
constexpr int32_t kSplashProgressSeconds = 8;

// The window system's quit request (SIGINT, SIGTERM, SIGHUP) asks the application to exit,
// as its close box does; the application decides.
void HandleThreadMessage(const Win::MSG& msg) {
  if (msg.message == WM_QZ_HANDEDOVER) {
    if (auto* host = dynamic_cast<MFCFrameworkAppBase*>(HostApp::Get())) {
      host->ReceiveHandedOverCommandLines();
    }
    return;
  }
  if (msg.message != Win::WM_QZ_QUITREQUESTED) {
    return;
  }
  // The exit saves the window's place: take the moves the display told of before this post.
  Host::ReadWindowSystemEvents();
  // Asked at once, not posted: a dialog or a box that a posted command opened runs its loop
  // inside that command's delivery, and a posted request would wait for the loop to end.
  if (LNotificationCenter* centre = GetApplicationNotificationCenter()) {
    (void)centre->SendNotification(LNotification::Create(u"NID_APP_EXIT_REQ")); // nobody listens: nobody to ask
  }
}

// Asks the running window system to end the program, as a quit event would.
void PostQuitRequest(int signal) {
  (void)Host::PostThreadMessage(Win::WM_QZ_QUITREQUESTED, Win::WPARAM(signal), 0); // refused before the loop
                                                                                   // runs: see LoopHooks
}

// While the run function runs: posts from other threads wake the loop, and the quit
// request becomes the exit request. A termination signal that came before the window
// system ran is asked for now.
class LoopHooks {
public:
  LoopHooks() {
    Host::SetThreadMessageHandler(&HandleThreadMessage);
    LNotificationQueue::SetPostListener(&Host::RequestIdle);
    if (Host::TerminationRequested()) {
      PostQuitRequest(0);
    }
  }
  LoopHooks(const LoopHooks&) = delete;
  LoopHooks& operator=(const LoopHooks&) = delete;
  ~LoopHooks() {
    LNotificationQueue::SetPostListener(nullptr);
    Host::SetThreadMessageHandler({});
  }
};

// While the run function runs: termination signals and a lost display are the host's.
class ProcessHooks {
public:
  explicit ProcessHooks(std::function<void(const std::string&)> onDisplayLost) {
    mWatching = Host::WatchTerminationSignals(&PostQuitRequest);
    Win::SetDisplayLostHandler(std::move(onDisplayLost));
  }
  ProcessHooks(const ProcessHooks&) = delete;
  ProcessHooks& operator=(const ProcessHooks&) = delete;
  ~ProcessHooks() {
    Win::SetDisplayLostHandler({});
    if (mWatching) {
      Host::StopWatchingTerminationSignals();
    }
  }

private:
  bool mWatching = false;
};

// Runs work on a thread of its own; where no thread can be made, when its result is asked.
template <class Work>
auto Begin(Work work) {
  return std::async(std::launch::async | std::launch::deferred, std::move(work));
}

// Waits for work not yet taken and drops its result.
template <class T>
void Drop(std::future<T>& work) {
  if (work.valid()) {
    work.wait();
    work = std::future<T>();
  }
}

// The running program's path, for the hint that shows how to start it.
std::string ProgramPath() {
  std::error_code error;
  const std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
  return error || path.empty() ? std::string("the program") : QuoteCommandLineArgument(path);
}

} // namespace

int32_t FrameworkAppMain(std::string_view commandLine, int32_t showCommand, int32_t languageId,
                         const char16_t* splashImageName) {
  auto* host = dynamic_cast<MFCFrameworkAppBase*>(HostApp::Get());
  if (!host) {
    std::fputs("The program has no host application object.\n", stderr);
    return 1;
  }
  return host->RunSteps(commandLine, showCommand, languageId, splashImageName);
}

MFCFrameworkAppBase::MFCFrameworkAppBase(Services services)
    : HostApp(services.startWindowSystem), mServices(std::move(services)) {
  if (!mServices.trace) {
    mServices.trace = &DebugTrace::Get();
  }
}

MFCFrameworkAppBase::~MFCFrameworkAppBase() = default;

const WString& MFCFrameworkAppBase::GetAppId() {
  static const WString id(
      (GetProgramVersionValue(u"CompanyName") + u"_" + GetProgramVersionValue(u"ProductName")).c_str());
  return id;
}

WString MFCFrameworkAppBase::GetFolder(int32_t pathId) const {
  switch (pathId) {
  case 0:
    return WString(GetProgramFolder().c_str());
  case 1:
    return GetResourceFolder();
  case 2:
  case 3: {
    const Version version;
    const WString company = version.GetCompanyName();
    const WString product = version.GetProductName();
    const std::string folder =
        pathId == 2 ? GetCommonApplicationFolder(company, product) : GetUserApplicationFolder(company, product);
    std::string reason = folder.empty() ? DescribeMissingApplicationFolder(pathId == 3) : std::string();
    if (!reason.empty() || !CreateFolders(folder, &reason)) {
      ReportSettingsNotKept(reason);
      return WString();
    }
    return WString(folder.c_str());
  }
  case 4:
    return WString(GetDocumentsFolder().c_str());
  default:
    Throw<std::out_of_range>({MethodName("GetFolder"), kSourceName, 582}, "Unknown Path ID.");
  }
}

WString MFCFrameworkAppBase::GetResourceFolder() {
  const char* folder = std::getenv("QZ_RESOURCE_FOLDER");
  if (!folder || !*folder) {
    return WString(u"::");
  }
  std::string path(folder);
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return WString(path.c_str());
}

void MFCFrameworkAppBase::ShowStartupErrorBox() const {
  WString text(kBuiltInStartupError);
  WString caption(kBuiltInStartupErrorCaption);
  LookupString(mFrameworkStringTable.Get(), u"STARTUP_ERROR", text);
  LookupString(mFrameworkStringTable.Get(), u"STARTUP_ERROR_CAPTION", caption);
  // The box's own loop takes no quit request: a signal ends the failed start at once.
  Host::SetTerminationExitCode(1);
  Win::ShowMessageBox(text.View(), caption.View(), Win::MB_ICONERROR);
  Host::SetTerminationExitCode(-1);
}

void MFCFrameworkAppBase::Report(const std::string& line) const {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  mServices.trace->Narrow() << line << "\n";
}

bool MFCFrameworkAppBase::InitApplication() {
  if (!HostApp::InitApplication()) {
    return false;
  }
  ShowSplash();
  // The drawing layer starts itself, and the resources are the program's own table: the
  // factory finds it without a module handle.
  const WString folder = GetFolder(1);
  QZResult loaded = QZ_OK;
  if (mResourcesRead.valid()) {
    ReadResult read = mResourcesRead.get();
    mFactory = std::move(read.factory);
    if (read.failure) {
      std::rethrow_exception(read.failure);
    }
    loaded = read.result;
  } else {
    mFactory = RCPtr<LControlFactory>(new LControlFactory());
    loaded = ReadResources(*mFactory, folder);
  }
  ReportDocumentProblems(folder, loaded);
  CheckResult(loaded, {MethodName("InitApplication"), kSourceName, 169});
  // Read and parsed: the documents' compiled-in text (over a megabyte) need not stay resident.
  Platform::Resources::ReleaseProgramPages(Platform::Resources::kDocumentType);
  TraceStartupStep("skins and string tables read");
  mFrameworkStringTable = mFactory->GetFrameworkStringTable();
  if (mFrameworkStringTable) {
    SetGLErrorTexts(mFrameworkStringTable->GetEntries());
  }
  return DecideInstance();
}

QZResult MFCFrameworkAppBase::ReadResources(LControlFactory& factory, const WString& folder) const {
  return mServices.loadResources ? mServices.loadResources(factory, folder, mLanguageId)
                                 : factory.LoadResources(folder, mLanguageId);
}

void MFCFrameworkAppBase::BeginWorkBesideWindowSystem() {
  // Neither needs the window system: each runs while it starts (SDL's and X's start takes
  // about as long as the skins' reading).
  mResourcesRead = Begin([this, folder = GetFolder(1)] {
    ReadResult read;
    try {
      read.factory = RCPtr<LControlFactory>(new LControlFactory());
      read.result = ReadResources(*read.factory, folder);
    } catch (...) {
      read.failure = std::current_exception();
    }
    TraceStartupStep("worker: skins and string tables read");
    return read;
  });
  mSystemFontFound = Begin([find = mServices.findSystemFont] {
    SystemFont font = find ? find() : GetSystemFont();
    TraceStartupStep("worker: system font found");
    return font;
  });
}

void MFCFrameworkAppBase::EndWorkBesideWindowSystem() {
  Drop(mResourcesRead);
  Drop(mSystemFontFound);
}

std::optional<SystemFont> MFCFrameworkAppBase::TakeStartupSystemFont() {
  if (!mSystemFontFound.valid()) {
    return std::nullopt;
  }
  return mSystemFontFound.get();
}

void MFCFrameworkAppBase::ReportDocumentProblems(const WString& folder, QZResult loaded) const {
  const WString& document = mFactory->GetParseErrorDocument();
  if (!document.IsEmpty()) {
    Report(std::string(NString(document).GetBuffer()) + ": line " + std::to_string(mFactory->GetParseErrorLine()) +
           ": " + NString(mFactory->GetParseErrorText()).GetBuffer());
  }
  const WString skins = folder == u"::" ? WString(u"::APP_SKINS") : folder + WString(u"/Skins.xml");
  if (loaded == QZ_E_FAIL && document != skins) {
    Report(std::string(NString(skins).GetBuffer()) + ": the skin document cannot be read (missing, empty or not "
                                                     "readable)");
  }
}

bool MFCFrameworkAppBase::DecideInstance() {
  mInstance = std::make_unique<SingleInstance>(NString(GetAppId()).View(), mServices.instance);
  return mInstance->Decide(NString(GetCommandLine()).View()) != SingleInstance::Decision::HandedOver;
}

void MFCFrameworkAppBase::StopHandOver() {
  if (mInstance) {
    mInstance->StopListening();
  }
}

void MFCFrameworkAppBase::ReceiveHandedOverCommandLines() {
  if (!mInstance) {
    return;
  }
  for (const std::string& line : mInstance->TakeReceived()) {
    ReceiveHandedOverCommandLine(GetMainWindow(), line, *mServices.trace);
  }
}

WString MFCFrameworkAppBase::GetSplashImagePath() {
  if (!mSplashImageName || !*mSplashImageName) {
    return WString();
  }
  const WString name(mSplashImageName);
  const WString folder = GetFolder(1);
  if (folder.View().starts_with(u"::")) {
    WString resourceName(name);
    resourceName = resourceName.ToUpper().ReplaceChars(u". ", u'_');
    if (Platform::Resources::Module::Program().Find(resourceName.View(), Platform::Resources::kImageType)) {
      return WString(u"::") + name;
    }
    return WString();
  }
  WString path = folder + WString(u"/") + name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::path(NString(path).View()), error)) {
    return WString();
  }
  return path;
}

void MFCFrameworkAppBase::ShowSplash() {
  const WString path = GetSplashImagePath();
  if (path.IsEmpty() || mSplash) {
    return;
  }
  RCPtr<LBitmap> bitmap = LBitmap::GetBitmap(path);
  if (!bitmap) {
    return; // not an image we can read: no splash
  }
  SplashScreen::Options options;
  if (mServices.makeSplashBackend) {
    options.backend = mServices.makeSplashBackend();
  }
  options.trace = mServices.trace;
  mSplashBitmap = bitmap;
  mSplash = std::make_unique<SplashScreen>(std::move(options));
  mSplash->SetImage(bitmap);
  mSplash->Start();
  mSplash->SetProgressRange(0, kSplashProgressEnd, kSplashProgressSeconds);
}

void MFCFrameworkAppBase::CloseSplash() {
  if (!mSplash) {
    return;
  }
  mSplash->SetProgressPos(kSplashProgressEnd);
  mSplash.reset();
  mSplashBitmap = nullptr;
}

bool MFCFrameworkAppBase::InitInstance() {
  // No native controls to initialise: every control is drawn by the framework.
  const NString line(GetCommandLine());
  ApplyDebugConsoleSwitch(ParseDebugConsoleSwitch(UpperCaseAscii(line.View())), *mServices.trace);
  if (mServices.initializeOle && !mServices.initializeOle()) {
    if (mInstance) {
      mInstance->Release(); // a failed start is no running instance
    }
    ShowStartupErrorBox();
    return false;
  }
  SetRegistryKey(Version().GetCompanyName());
  return true;
}

void MFCFrameworkAppBase::ShowMainWindow() {
  if (Win::HWND main = GetMainWindow()) {
    Win::ShowWindow(main, Win::SW_SHOW);
    Win::UpdateWindow(main);
  }
}

int32_t MFCFrameworkAppBase::RunSteps(std::string_view commandLine, int32_t showCommand, int32_t languageId,
                                      const char16_t* splashImageName) {
  mExitCode = 0;
  const ProcessHooks processHooks([this](const std::string& display) { OnDisplayLost(display); });
  mLanguageId = languageId == -1 ? GetUserDefaultLanguageId() & 0xFFFF : uint32_t(languageId);
  if (kWorkBeforeWindowSystem) {
    BeginWorkBesideWindowSystem();
  }
  if (!WinInit(commandLine, showCommand)) {
    EndWithoutDisplay();
  } else {
    TraceStartupStep("window system started");
    if (!kWorkBeforeWindowSystem) {
      BeginWorkBesideWindowSystem();
    }
    LoopHooks hooks;
    mSplashImageName = splashImageName;
    try {
      if (InitApplication()) {
        if (InitInstance()) {
          Run(); // the running state ends when its loop does
        } else {
          if (Win::HWND main = GetMainWindow()) {
            Win::DestroyWindow(main);
          }
          ExitInstance();
          mExitCode = 1;
        }
      }
    } catch (const std::exception& failure) {
      EndFailedStartup(failure.what());
    } catch (...) {
      EndFailedStartup("An unknown exception ended the start-up.");
    }
  }
  mSplash.reset();
  mSplashBitmap = nullptr;
  StopHandOver();
  EndWorkBesideWindowSystem();
  mFactory = nullptr;
  mFrameworkStringTable = nullptr;
  WinTerm();
  mSplashImageName = nullptr;
  return mExitCode;
}

void MFCFrameworkAppBase::EndWithoutDisplay() {
  Report(Host::GetStartupError());
  Report("Start the program from a desktop session, or without one under a virtual X server:\n"
         "  xvfb-run -a -s \"-screen 0 1280x1024x24\" " +
         ProgramPath());
  mExitCode = 2;
}

void MFCFrameworkAppBase::OnDisplayLost(const std::string& display) {
  Report("The connection to the display \"" + display + "\" was lost: the settings are saved and the program ends.");
  if (LFrameworkApp* application = LFrameworkApp::Get()) {
    if (IIniFileManager* settings = application->GetIniFileManager()) {
      (void)settings->SaveAndCloseAll(); // each failure is reported by the store
    }
  }
  // Its destruction stores its placement; the window system is not asked any more.
  if (Win::HWND main = GetMainWindow()) {
    Win::DestroyWindow(main);
  }
  if (mInstance) {
    mInstance->Release();
  }
}

void MFCFrameworkAppBase::EndFailedStartup(const char* what) {
  Report(what);
  if (mInstance) {
    mInstance->Release(); // a failed start is no running instance
  }
  ShowStartupErrorBox();
  if (Win::HWND main = GetMainWindow()) {
    Win::DestroyWindow(main);
  }
  DropApplication();
  mExitCode = 1;
}

} // namespace QZ
