#include "Panel/Main/Application.h"

#include <string>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "Panel/Main/EditorControlClasses.h"
#include "Platform/Graphics/Font.h"
#include "Platform/Midi/MidiSystem.h"
#include "Platform/Window/Display.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/Window.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/CursorNames.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/ObjectBase/Exception.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace Win = QZ::Platform::Window;

namespace {

// At this resolution and above the editor takes its "HighDPI" skin and the larger cursors.
constexpr int32_t kHighDpi = 160;
constexpr int32_t kHighDpiSkin = 0;
constexpr int32_t kStandardSkin = 1;

constexpr char16_t kSettingsFileNames[2][18] = {u"AppSettings.ini", u"UserSettings.ini"};
// The folders (path ids) of the two settings files: the shared data, the user's own.
constexpr int32_t kSettingsFolders[2] = {2, 3};
constexpr int32_t kDocumentsFolder = 4;

} // namespace

LApplication* LApplication::GetInstance() { return dynamic_cast<LApplication*>(QZ::LFrameworkApp::Get()); }

LApplication::LApplication(const QZ::RCPtr<QZ::LControlFactory>& factory,
                           const QZ::RCPtr<QZ::LStringTable>& frameworkStringTable, const QZ::WString& commandLine,
                           Services services)
    : LApplicationBase(factory, frameworkStringTable, commandLine,
                       services.clock ? std::move(services.clock) : QZ::MillisecondClock(QZ::MonotonicMilliseconds)),
      mCreateMidiManager(std::move(services.createMidiManager)) {
  QZ::InstallEditorUIHost(this);
}

LApplication::~LApplication() {
  QZ::UninstallEditorUIHost(this);
  mMidiManager = nullptr;
  mVirtualKeyboard.reset();
  mEngine = nullptr;
  // A cursor still shown stays with the window layer, which frees it as it shuts down.
  for (QZ::CursorHandle cursor : {mDropMoveCursor, mDropCopyCursor}) {
    if (cursor) {
      Win::DestroyCursor(reinterpret_cast<Win::HCURSOR>(cursor));
    }
  }
}

// =============================================================================================
// The platform layer's open operations
// =============================================================================================

QZ::WString LApplication::GetVersionString() { return QZ::WString(u"1_0_0"); }

QZ::WString LApplication::GetMainControlName() { return QZ::WString(u"mainControl"); }

int32_t LApplication::GetRendererType() { return QZ::kRendererGDI; }

QZ::CursorHandle LApplication::GetCursor(const QZ::WString& name) {
  namespace Names = QZ::CursorNames;
  if (&name == &Names::DropMove()) {
    return GetDragCursor(QZ::SkinArt::kDropMoveCursor, mDropMoveCursor);
  }
  if (&name == &Names::DropCopy()) {
    return GetDragCursor(QZ::SkinArt::kDropCopyCursor, mDropCopyCursor);
  }
  for (const QZ::WString* none :
       {&Names::SplitV(), &Names::SplitH(), &Names::Rotate(), &Names::Mag(), &Names::MagPlus(), &Names::MagMinus()}) {
    if (&name == none) {
      return 0;
    }
  }
  return LApplicationBase::GetCursor(name);
}

QZ::CursorHandle LApplication::GetDragCursor(const QZ::SkinArt::ProgramPicture& picture, QZ::CursorHandle& cursor) {
  if (cursor) {
    return cursor;
  }
  const int scale = Win::GetScreenDpi() >= kHighDpi ? 2 : 1;
  const QZ::RCPtr<QZ::LBitmap> image =
      QZ::LBitmap::GetBitmap(QZ::WString((u"::" + std::u16string(picture.Resource(scale))).c_str()));
  const QZ::RCPtr<QZ::LBitmapData> pixels = image ? image->LockPixels() : nullptr;
  if (pixels && pixels->GetWidth() > 0) {
    cursor = reinterpret_cast<QZ::CursorHandle>(
        Win::CreateColorCursor(pixels->GetPixelAddress(0, 0), pixels->GetWidth(), pixels->GetHeight(),
                               pixels->GetRowLength() * 4, picture.hotSpotX * scale, picture.hotSpotY * scale));
  }
  return cursor ? cursor : LApplicationBase::GetCursor(QZ::WString(u"UI_CURSOR_HAND"));
}

QZ::WString LApplication::GetFolder(int32_t pathId) {
  return LApplicationBase::GetFolder(pathId == 5 || pathId == 6 ? kDocumentsFolder : pathId);
}

uint32_t LApplication::OpenSettingsFiles(int32_t kind) {
  if (kind != QZ::kAppSettingsFile && kind != QZ::kUserSettingsFile) {
    return 0;
  }
  uint32_t& handle = kind == QZ::kAppSettingsFile ? mAppSettingsFile : mUserSettingsFile;
  QZ::IIniFileManager* settings = GetIniFileManagerPtr();
  if (handle != 0 || !settings) {
    return handle;
  }
  // Without its folder the file would land at the root of the file system.
  const QZ::WString folder = GetFolder(kSettingsFolders[kind]);
  if (folder.IsEmpty()) {
    return 0;
  }
  QZ::WString path = folder;
  path += u"/";
  path += kSettingsFileNames[kind];
  uint32_t opened = 0;
  if (QZ::Succeeded(settings->Load(path, GetVersionString(), GetProductName(), opened))) {
    handle = opened;
  }
  return handle;
}

// =============================================================================================
// Start-up
// =============================================================================================

QZ::QZResult LApplication::RunApplicationStartup() {
  const QZ::QZResult base = LApplicationBase::RunApplicationStartup();
  if (QZ::Failed(base)) {
    return base;
  }
  const QZ::RCPtr<QZ::LGlobalHotKeyManager> keys = GetGlobalHotKeyManager();
  const QZ::QZResult hotKeys =
      keys ? keys->GetHotKeyMap().ParseDefinitions(GetStringTable().Get(), u"GHK_WIN") : QZ::QZResult(QZ::QZ_E_FAIL);
  if (QZ::Failed(hotKeys)) {
    return hotKeys;
  }
  const QZ::RCPtr<QZ::LControlFactory> factory = GetControlFactory();
  if (factory) {
    QZ::RegisterEditorControlClasses(*factory);
  }
  const bool twoSkins = factory && factory->GetSkinCount() == 2;
  const int32_t skin = Win::GetScreenDpi() >= kHighDpi ? kHighDpiSkin : kStandardSkin;
  if (twoSkins) {
    // fontconfig looks the skin's font up beside the engine's and the MIDI backends' start:
    // the control tree's first text waits for it no more.
    factory->SetCurrentSkinIndex(skin); // SetSkin below chooses it
    QZ::WString face;
    float size = 0.0f;
    int32_t style = 0;
    factory->GetSkinFont(face, size, style); // a skin without a font leaves face empty
    if (!face.IsEmpty()) {
      QZ::Platform::Graphics::FontFamily::Prefetch(face.View());
    }
  }
  mEngine = QZ::LPresetEditorAppEngine::Create();
  mEngine->Initialize(0);
  HostVirtualKeyboard();
  mMidiManager = CreateMidiManager();
  if (twoSkins) {
    SetSkin(skin);
  }
  return hotKeys;
}

QZ::QZResult LApplication::CreateMainWindow(int32_t rendererType) {
  const QZ::QZResult made = LApplicationBase::CreateMainWindow(rendererType);
  const QZ::RCPtr<QZ::LControlFactory> factory = GetControlFactory();
  if (QZ::Failed(made) || !factory || factory->GetSkinCount() != 2 || factory->GetCurrentSkinIndex() != kHighDpiSkin) {
    return made;
  }
  MainWindowFit fit = FitMainControl();
  if (!fit.fits) {
    QZ::DebugTrace::Get().Narrow() << "The large skin's window does not fit the desktop's work area: the standard "
                                      "skin is taken\n";
    SetSkin(kStandardSkin);
    // The window takes the standard main control's size; the top control then holds it on
    // the work area.
    fit = FitMainControl();
    if (fit.hwnd) {
      Win::MoveWindow(fit.hwnd, fit.window.left, fit.window.top, fit.width, fit.height, true);
    }
  }
  return made;
}

LApplication::MainWindowFit LApplication::FitMainControl() {
  MainWindowFit fit;
  const QZ::RCPtr<QZ::LControlFactory> factory = GetControlFactory();
  const QZ::RCPtr<QZ::LControlDescriptor> descriptor =
      factory ? factory->FindControlDescriptor(GetMainControlName()) : nullptr;
  const QZ::RCPtr<QZ::LRootWindow> root = GetMainRootWindow();
  QZ::IWindowOSServices* os = root ? root->GetOSServices() : nullptr;
  fit.hwnd = os ? static_cast<Win::HWND>(os->GetHandle()) : nullptr;
  Win::RECT client;
  if (!descriptor || !descriptor->GetLayout() || !fit.hwnd || !Win::GetWindowRect(fit.hwnd, &fit.window) ||
      !Win::GetClientRect(fit.hwnd, &client)) {
    return fit;
  }
  const QZ::LLayoutDescriptor& layout = *descriptor->GetLayout();
  fit.width = int32_t(layout.size[0].abs) + (fit.window.right - fit.window.left) - client.right;
  fit.height = int32_t(layout.size[1].abs) + (fit.window.bottom - fit.window.top) - client.bottom;
  const QZ::RectT<int32_t> area = GetDesktopWorkArea();
  fit.fits = fit.width <= area.width && fit.height <= area.height;
  return fit;
}

// =============================================================================================
// The editor's objects
// =============================================================================================

QZ::RCPtr<QZ::LMidiManager> LApplication::CreateMidiManager() const {
  return mCreateMidiManager ? mCreateMidiManager() : QZ::LMidiManager::Create();
}

void LApplication::HostVirtualKeyboard() {
  // The old keyboard's devices go before the new one registers the same names.
  mVirtualKeyboard.reset();
  const int32_t model = QZ::GetDeviceModel();
  if (QZ::Platform::Midi::MidiSystem::IsVirtualKeyboardEnabled() && model >= QZ::kDeviceModel25Keys &&
      model <= QZ::kDeviceModel61Keys) {
    mVirtualKeyboard = std::make_unique<Simulator::VirtualKeyboard>(model);
  }
}

void LApplication::ReinitalizeMidiManager() {
  mMidiManager = nullptr;
  HostVirtualKeyboard();
  mMidiManager = CreateMidiManager();
  if (!mMidiManager) {
    QZ::Throw<std::runtime_error>({"LApplication::ReinitalizeMidiManager", R"(panel\main\Application)", 132},
                                  "Null Pointer : Cannot Create Midi Manager");
  }
  mMidiManager->StartStatusPolling();
}

int32_t LApplication::GetSelectedEditorPage() const {
  const QZ::RCPtr<QZ::LControl> main = GetMainRootControl();
  const QZ::RCPtr<QZ::LControl> device = main ? main->FindChildByName(QZ::WString(u"viewDevice")) : nullptr;
  const QZ::RCPtr<QZ::LTabControl> tabs =
      device ? QZ::DynamicCast<QZ::LTabControl>(device->FindChildByName(QZ::WString(u"tabControl"))) : nullptr;
  if (!tabs) {
    return -1;
  }
  const QZ::WString selected = tabs->GetSelectedTab();
  if (selected == QZ::WString(u"userPresetEditor")) {
    return 0;
  }
  return selected == QZ::WString(u"globalPresetEditor") ? 1 : -1;
}

int32_t LApplication::ShowMessageBox(const QZ::WString& text, const QZ::WString& caption, uint32_t style) {
  return LApplicationBase::ShowMessageBox(text, caption, style);
}
