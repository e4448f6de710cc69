#pragma once
// QZ::IEditorUIHost: what the editor's user interface needs of the application object
// beside the application context: its modal message box, its string table, its folders and
// its MIDI manager. The application installs itself (or an adapter) at start-up; tests
// install a recorder.
//
//   QZ::InstallEditorUIHost(&application);
//   QZ::ShowEditorMessageBox(GetAppString(u"SETTINGS_FILE_LOAD_NEWER_MESSAGE"),
//                            GetAppString(u"SETTINGS_FILE_LOAD_CAPTION"), QZ::kMessageBoxIconError);
//   QZ::UninstallEditorUIHost(&application);
//
// The installer owns the host and keeps it alive while it is installed. Main thread.

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LMidiManager;
class LStringTable;

// Message-box styles and answers, as the system's message box takes and gives them.
inline constexpr uint32_t kMessageBoxOk = 0x00;
inline constexpr uint32_t kMessageBoxIconError = 0x10;
inline constexpr int32_t kMessageBoxAnswerOk = 1;

class IEditorUIHost {
public:
  // Shows a modal box owned by the main window and returns the button pressed.
  virtual int32_t ShowMessageBox(const WString& text, const WString& caption, uint32_t style) = 0;
  // The editor's string table ("|" + the application name); null while there is none.
  // It stays owned by the host.
  virtual const LStringTable* GetAppStringTable() const = 0;
  // The folder of a path id without a trailing '/' (4: the user's documents); empty when
  // it is not known. Throws std::out_of_range for an id the application has no folder for.
  virtual WString GetFolder(int32_t pathId) = 0;
  // The MIDI manager the presets travel through; null before it is made.
  virtual RCPtr<LMidiManager> GetMidiManager() const = 0;
  // Lets the MIDI manager go and makes one for the keyboard model the settings hold now,
  // with its status polling armed. Throws std::runtime_error when none can be made (there
  // is no manager then).
  virtual void ReinitalizeMidiManager() = 0;

protected:
  ~IEditorUIHost() = default;
};

// The installed host; null when none.
IEditorUIHost* GetEditorUIHost();
// Makes host the installed one, replacing any other.
void InstallEditorUIHost(IEditorUIHost* host);
// Uninstalls host; does nothing when another one (or none) is installed.
void UninstallEditorUIHost(IEditorUIHost* host);

// Shows a modal box through the installed host and returns its answer. Without a host
// (no application: a tool or a test) writes "<caption>: <text>" and a line end to
// standard error and answers kMessageBoxAnswerOk.
int32_t ShowEditorMessageBox(WString text, WString caption, uint32_t style);

} // namespace QZ

// The text of id in the editor's string table; empty when the table lacks id or there
// is no table.
QZ::WString GetAppString(const QZ::WString& id);
