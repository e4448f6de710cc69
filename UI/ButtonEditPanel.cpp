#include "UI/ButtonEditPanel.h"

#include "UI/ElementTexts.h"

namespace {

// Positions in kSelectors.
constexpr size_t kCCSelector = 2;
constexpr size_t kNoteSelector = 3;
constexpr size_t kProgramSelector = 4;
constexpr size_t kPressedSelector = 5;
constexpr size_t kReleasedSelector = 6;

constexpr ElementSelector kSelectors[] = {
    {.name = "midiChannel", .offset = 0, .line = 30},
    {.name = "mode", .offset = 1, .line = 33},
    {.name = "cc", .offset = 2, .line = 36, .numberLine = 39},
    // The note's up-down is required as the CC's is, rather than used blindly.
    {.name = "note", .offset = 2, .line = 46, .numberLine = 49},
    {.name = "program", .offset = 2, .line = 54},
    {.name = "pressed", .offset = 3, .line = 57, .shownName = "preased"},
    {.name = "released", .offset = 4, .line = 60},
};
constexpr ElementPage kPage{"LCommonButtonEditPanel::Initialize", R"(UI\ButtonEditPanel)", kSelectors};

constexpr uint32_t kModeOffset = 1;
// The button modes, as the "mode" selector lists them.
enum ButtonMode : int8_t { kCCMomentary = 0, kCCToggle = 1, kProgram = 2, kNote = 3, kNoteToggle = 4 };

// Which selectors a mode shows.
struct ModeSelectors {
  bool cc;
  bool program;
  bool note;
  bool pressedAndReleased;
};

} // namespace

LCommonButtonEditPanel::LCommonButtonEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}

void LCommonButtonEditPanel::SetLabelText(int32_t index) {
  const QZ::RCPtr<QZ::LLabel> label =
      RequireHeaderLabel({"LCommonButtonEditPanel::SetLabelText", R"(UI\ButtonEditPanel)", 185});
  // The title's format is the page's own entry (its place on the edit panel), not the label's.
  label->SetText(QZ::WString::Format(LabelFormatOf(*this).GetBuffer(), index + 1));
}

int32_t LCommonButtonEditPanel::SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value,
                                                   bool) {
  const uint32_t k = descriptor.id - GetFirstParamID();
  if (k >= GetParamCount()) { // 5
    return QZ::QZ_E_FAIL;
  }
  const QZ::RCPtr<LCommonButtonEditPanel> self(this); // the selectors' handlers may take the tree down
  ShowOnSelectors(k, value);
  if (k == kModeOffset) {
    ShowSelectorsOfMode(value.ToInt8());
  }
  return QZ::QZ_OK;
}

void LCommonButtonEditPanel::ShowSelectorsOfMode(int8_t mode) {
  ModeSelectors shown{};
  switch (mode) {
  case kCCMomentary:
  case kCCToggle:
    shown = {.cc = true, .program = false, .note = false, .pressedAndReleased = true};
    break;
  case kProgram:
    shown = {.cc = false, .program = true, .note = false, .pressedAndReleased = false};
    break;
  case kNote:
  case kNoteToggle:
    shown = {.cc = false, .program = false, .note = true, .pressedAndReleased = true};
    break;
  default:
    return; // a mode the page does not know keeps what it shows
  }
  const std::pair<size_t, bool> visibility[] = {{kCCSelector, shown.cc},
                                                {kProgramSelector, shown.program},
                                                {kNoteSelector, shown.note},
                                                {kPressedSelector, shown.pressedAndReleased},
                                                {kReleasedSelector, shown.pressedAndReleased}};
  for (const auto& [selector, visible] : visibility) {
    if (const auto control = GetSelector(selector)) {
      control->SetVisible(visible);
    }
  }
}
