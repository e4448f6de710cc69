#pragma once
// An editor UI host for tests: installed for its lifetime, it records every message box
// instead of showing it and answers with a set button; its string table, program and
// documents folders and MIDI managers are the ones a test gives it.
//
//   QZTest::RecordingEditorUIHost host(table);      // installed
//   ShowLoadNewerMessage();
//   host.boxes[0].caption;                          // u"Preset File Load"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Engine/PresetEditorCommon/MidiManager.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "UI/EditorUIHost.h"

namespace QZTest {

class RecordingEditorUIHost final : public QZ::IEditorUIHost {
public:
  struct Box {
    std::u16string text;
    std::u16string caption;
    uint32_t style = 0;

    bool operator==(const Box&) const = default;
  };

  explicit RecordingEditorUIHost(QZ::RCPtr<QZ::LStringTable> table = nullptr) : mTable(std::move(table)) {
    QZ::InstallEditorUIHost(this);
  }
  ~RecordingEditorUIHost() { QZ::UninstallEditorUIHost(this); }
  RecordingEditorUIHost(const RecordingEditorUIHost&) = delete;
  RecordingEditorUIHost& operator=(const RecordingEditorUIHost&) = delete;

  // The button every later box answers with (OK unless set).
  void SetAnswer(int32_t answer) { mAnswer = answer; }

  int32_t ShowMessageBox(const QZ::WString& text, const QZ::WString& caption, uint32_t style) override {
    boxes.push_back({std::u16string(text.View()), std::u16string(caption.View()), style});
    return mAnswer;
  }
  const QZ::LStringTable* GetAppStringTable() const override { return mTable.Get(); }
  // program for 0, documents for 4, empty for any other id.
  QZ::WString GetFolder(int32_t pathId) override {
    return pathId == 0 ? program : pathId == 4 ? documents : QZ::WString();
  }
  QZ::RCPtr<QZ::LMidiManager> GetMidiManager() const override { return midiManager; }
  // The manager makeMidiManager makes (none without it), polling armed; throws as the
  // application does when there is none.
  void ReinitalizeMidiManager() override {
    midiManager = nullptr;
    midiManager = makeMidiManager ? makeMidiManager() : nullptr;
    if (!midiManager) {
      throw std::runtime_error("no MIDI manager");
    }
    midiManager->StartStatusPolling();
  }

  std::vector<Box> boxes;
  QZ::WString program;
  QZ::WString documents;
  QZ::RCPtr<QZ::LMidiManager> midiManager;
  std::function<QZ::RCPtr<QZ::LMidiManager>()> makeMidiManager;

private:
  QZ::RCPtr<QZ::LStringTable> mTable;
  int32_t mAnswer = QZ::kMessageBoxAnswerOk;
};

} // namespace QZTest
