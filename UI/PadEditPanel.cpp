#include "UI/PadEditPanel.h"

#include "UI/ElementTexts.h"

namespace {

constexpr ElementSelector kSelectors[] = {
    {.name = "midiChannel", .offset = 0, .line = 33},
    // The note's number is required as the knob page's CC number is.
    {.name = "note", .offset = 1, .line = 36, .numberLine = 39},
};
constexpr ElementPage kPage{"LPadEditPanel::Initialize", R"(UI\PadEditPanel)", kSelectors};

} // namespace

LPadEditPanel::LPadEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}

void LPadEditPanel::SetHeaderLabelText(int32_t index) {
  const QZ::RCPtr<QZ::LLabel> label =
      RequireHeaderLabel({"LPadEditPanel::SetHeaderLabelText", R"(UI\PadEditPanel)", 93});
  ShowFormattedLabel(*label, index / kPadsPerBank + 1, index % kPadsPerBank + 1);
}
