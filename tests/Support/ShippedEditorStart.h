#pragma once
// The program's application object on its compiled-in skins and string tables, started in
// this process as the program's run starts it, and its controls found by their paths of
// skin names. No test framework: the tests of the shipped skin and the benchmarks share it.
//
//   QZ::MFCFrameworkApp<LApplication> host(services);    // WinInit done, registry key set
//   QZ::RCPtr<LApplication> app;
//   std::string failed;
//   const HWND main = QZTest::StartShippedEditor(host, backend, app, failed);  // QZ_DPI chose the skin
//   QZ::RCPtr<QZ::LControl> knob = QZTest::ControlAtPath(app->GetMainRootWindow()->GetRootControl(),
//                                                        "viewDevice/tabControl");
//
// UI thread; the caller owns the application object and shuts it down
// (RunApplicationShutdown) before the host ends.

#include <algorithm>
#include <string>
#include <string_view>

#include "Panel/Main/Application.h"
#include "QZFramework/Application/MFCFrameworkApp.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "Support/ScriptedVideoBackend.h"

namespace QZTest {

// The control at path below from ('/' between names; empty: from itself); null when a
// name is missing.
inline QZ::RCPtr<QZ::LControl> ControlAtPath(QZ::RCPtr<QZ::LControl> from, std::string_view path) {
  size_t start = 0;
  while (from && start < path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    from = from->FindChildByName(QZ::WString(std::string(path.substr(start, end - start)).c_str()));
    start = end + 1;
  }
  return from;
}

// Makes app over a factory that loaded the program's compiled-in resources ("::", US
// English), runs its start-up, makes its main window with the program's renderer and
// top control, and shows it. On the scripted backend (null for real windows, whose focus
// the window system gives) the window then gets the keyboard focus as the window system
// gives it. The main window; null when a step failed, which failed then names. Messages
// and idle passes are left to the caller.
inline QZ::Platform::Window::HWND StartShippedEditor(const QZ::MFCFrameworkAppBase& host, ScriptedVideoBackend* backend,
                                                     QZ::RCPtr<LApplication>& app, std::string& failed) {
  namespace Win = QZ::Platform::Window;
  const QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory());
  if (factory->LoadResources(QZ::WString(u"::"), 0x0409) != QZ::QZ_OK) {
    failed = "the compiled-in resources did not load";
    return nullptr;
  }
  app = QZ::RCPtr<LApplication>(new LApplication(factory, nullptr, QZ::WString(u"editor")));
  if (app->RunApplicationStartup() != QZ::QZ_OK) {
    failed = "the start-up failed";
    return nullptr;
  }
  if (app->CreateMainWindow(app->GetRendererType()) != QZ::QZ_OK ||
      app->SetMainRootControl(app->GetMainControlName()) != QZ::QZ_OK || !host.GetMainWindow()) {
    failed = "no main window with its top control";
    return nullptr;
  }
  const Win::HWND hwnd = host.GetMainWindow();
  Win::ShowWindow(hwnd, Win::SW_SHOW);
  if (backend) {
    backend->keyboardFocus = backend->SdlIdOf(hwnd);
    backend->Push(WindowEvent(backend->SdlIdOf(hwnd), SDL_WINDOWEVENT_FOCUS_GAINED));
  }
  return hwnd;
}

} // namespace QZTest
