#pragma once
// LApplication: the preset editor's application object, the program's one instance of the
// framework's application (QZ::LApplicationBase over QZ::LFrameworkApp). The host makes it
// (main.cpp); everything else reaches it through LApplication::GetInstance, the control
// seam, the services' context (engine, editor page, settings files) and the editor
// interface's host seam (message boxes, the application's string table), all three set
// while it lives. It owns the application engine and the MIDI manager, and, while the
// virtual keyboard is on (QZ_VIRTUAL_KEYBOARD=1), the virtual keyboard of the selected model
// on the in-process MIDI backend, which the MIDI manager then finds as it would find a real
// keyboard.
//
//   static QZ::MFCFrameworkApp<LApplication> theApp;            // main.cpp
//   ...
//   LApplication* app = LApplication::GetInstance();
//   QZ::RCPtr<QZ::LMidiManager> midi = app->GetMidiManager();  // null before the start-up
//   app->ReinitalizeMidiManager();                              // another keyboard model
//
// Its start-up (RunApplicationStartup): the framework's (the widget set's classes, "GHK",
// the clipboard, the remembered skin) and the base's (exit request, Alt+F4); the "GHK_WIN"
// hot keys of the application's string table; the editor's classes
// (EditorControlClasses.h); the engine, made and initialised with first id 0; the virtual
// keyboard while it is on; the MIDI manager; with exactly two skins, the skin of the screen's resolution: "HighDPI" (0)
// at 160 dots per inch or more, "Skin1" (1) below. The main window then falls back to "Skin1" when the "HighDPI"
// window with its frame does not fit the desktop's work area (CreateMainWindow).
//
// UI thread, like the application object.

#include <cstdint>
#include <functional>
#include <memory>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "Engine/PresetEditorCommon/MidiManager.h"
#include "Platform/Window/WindowTypes.h"
#include "QZFramework/Application/ApplicationBase.h"
#include "Resources/SkinArt/ProgramArt.h"
#include "Simulator/Keyboard/VirtualKeyboard.h"
#include "UI/EditorUIHost.h"

class LApplication : public QZ::LApplicationBase<LApplication>, public QZ::IEditorUIHost {
public:
  // What tests replace; empty members keep the defaults.
  struct Services {
    // Milliseconds wrapping at 2^32 (default: the monotonic clock).
    QZ::MillisecondClock clock;
    // Makes each MIDI manager (default: QZ::LMidiManager::Create with the system's ports).
    std::function<QZ::RCPtr<QZ::LMidiManager>()> createMidiManager;
  };

  // The application object while it lives; null otherwise (and while another class's is).
  static LApplication* GetInstance();

  // The application base first; no engine, MIDI manager or settings file yet. Installs
  // itself as the editor interface's host.
  LApplication(const QZ::RCPtr<QZ::LControlFactory>& factory, const QZ::RCPtr<QZ::LStringTable>& frameworkStringTable,
               const QZ::WString& commandLine, Services services = {});
  // Uninstalls the host, releases the MIDI manager (its thread stops), the virtual
  // keyboard, then the engine, then the bases (which save the settings files).
  ~LApplication() override;

  // --- The platform layer's open operations -------------------------------------------------

  // "1_0_0": the settings files' key prefix.
  QZ::WString GetVersionString() override;
  QZ::WString GetMainControlName() override;
  // The GDI+ renderer (QZ::kRendererGDI), always.
  int32_t GetRendererType() override;
  bool CanExit() override { return true; }
  // By the shared name objects (QZ::CursorNames): "UI_CURSOR_DROP_MOVE" and
  // "UI_CURSOR_DROP_COPY" give the program's drag cursors (drawn by the skin-art program, at
  // twice the size at 160 dots per inch or more), made on first use and kept; the system
  // hand when one cannot be made. "UI_CURSOR_SPLIT_V", "UI_CURSOR_SPLIT_H",
  // "UI_CURSOR_ROTATE", "UI_CURSOR_MAG", "UI_CURSOR_MAG_PLUS" and "UI_CURSOR_MAG_MINUS" give
  // none (0). Anything else, a text with the same characters in another object too: the
  // base's table.
  QZ::CursorHandle GetCursor(const QZ::WString& name) override;
  // The base's folders, with 5 and 6 meaning 4 (the documents).
  QZ::WString GetFolder(int32_t pathId) override;
  // The settings file of kind 0 ("AppSettings.ini" in folder 2) or 1 ("UserSettings.ini" in
  // folder 3), opened in the store on first use with the version string "1_0_0" and the
  // product name: its handle. 0 for another kind, or when the folder is unknown (empty) or
  // the store cannot open the file: the next call tries again.
  [[nodiscard]] uint32_t OpenSettingsFiles(int32_t kind) override;

  // --- Start-up ---------------------------------------------------------------------------------

  // Above. A failed base start-up, or a failed "GHK_WIN" parse (no application string
  // table: 0x80070057), is returned at once, before anything of the editor's exists. On
  // success the result of the "GHK_WIN" parse (0). The engine's and the skin's exceptions
  // pass.
  [[nodiscard]] QZ::QZResult RunApplicationStartup() override;
  // The base's main window; then, while the "HighDPI" skin of two is current and its main
  // control with the window's frame is wider or taller than the desktop's work area, the
  // standard skin ("Skin1") becomes current (SetSkin, said in the debug trace) before the
  // control tree is made, so that the whole window stays on the screen. The base's result.
  [[nodiscard]] QZ::QZResult CreateMainWindow(int32_t rendererType) override;

  // --- The editor's objects ---------------------------------------------------------------------

  // Null before the start-up.
  QZ::RCPtr<QZ::LMidiManager> GetMidiManager() const override { return mMidiManager; }
  // Releases the MIDI manager and makes a new one (the keyboard model is read again), whose
  // status polling it arms; a virtual keyboard is remade for that model first. Throws "Runtime Error : Null Pointer :
  // Cannot Create Midi Manager : LApplication::ReinitalizeMidiManager : panel\main\Application : Line 132" when none is
  // made (the manager is then null).
  void ReinitalizeMidiManager() override;
  // The editor page the main control shows: the selected tab of its "viewDevice" child's
  // "tabControl", 0 for "userPresetEditor", 1 for "globalPresetEditor"; -1 for any other
  // tab, and without a main control, device view or tab control.
  int32_t GetSelectedEditorPage() const;
  // The virtual keyboard the application hosts: made before each MIDI manager while the
  // virtual keyboard is on (QZ::Platform::Midi::MidiSystem::IsVirtualKeyboardEnabled) and the
  // keyboard model is 0, 1 or 2, for that model; null otherwise. Owned by the application.
  Simulator::VirtualKeyboard* GetVirtualKeyboard() const { return mVirtualKeyboard.get(); }

  // --- The services' context (QZ::IApplicationContext) --------------------------------------

  int32_t GetCurrentEditorPage() const override { return GetSelectedEditorPage(); }
  // Null before the start-up.
  LRootModuleEngine* GetRootModuleEngine() const override { return mEngine.Get(); }

  // --- The editor interface's host (QZ::IEditorUIHost) ----------------------------------------

  // The application's message box (owned by the active window).
  int32_t ShowMessageBox(const QZ::WString& text, const QZ::WString& caption, uint32_t style) override;
  const QZ::LStringTable* GetAppStringTable() const override { return GetStringTable().Get(); }

private:
  // The drag cursor of picture, made into cursor on first use.
  QZ::CursorHandle GetDragCursor(const QZ::SkinArt::ProgramPicture& picture, QZ::CursorHandle& cursor);
  // Drops the virtual keyboard, then makes the one of the stored model while it is on.
  void HostVirtualKeyboard();
  // The current skin's main control framed as the main window is: its window's size and
  // whether that fits the work area (true where the window or the control is missing).
  struct MainWindowFit {
    QZ::Platform::Window::HWND hwnd = nullptr;
    QZ::Platform::Window::RECT window{};
    int32_t width = 0;
    int32_t height = 0;
    bool fits = true;
  };
  MainWindowFit FitMainControl();
  QZ::RCPtr<QZ::LMidiManager> CreateMidiManager() const;

  QZ::RCPtr<LRootModuleEngine> mEngine;
  uint32_t mAppSettingsFile = 0;
  uint32_t mUserSettingsFile = 0;
  std::unique_ptr<Simulator::VirtualKeyboard> mVirtualKeyboard;
  QZ::RCPtr<QZ::LMidiManager> mMidiManager;
  std::function<QZ::RCPtr<QZ::LMidiManager>()> mCreateMidiManager;
  QZ::CursorHandle mDropMoveCursor = 0;
  QZ::CursorHandle mDropCopyCursor = 0;
};
