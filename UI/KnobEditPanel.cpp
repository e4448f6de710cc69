#include "UI/KnobEditPanel.h"

#include "UI/ElementTexts.h"

namespace {

constexpr ElementSelector kSelectors[] = {
    {.name = "midiChannel", .offset = 0, .line = 30},
    {.name = "cc", .offset = 1, .line = 33, .numberLine = 36},
};
constexpr ElementPage kPage{"LKnobEditPanel::Initialize", R"(UI\KnobEditPanel)", kSelectors};

} // namespace

LKnobEditPanel::LKnobEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}

void LKnobEditPanel::SetHeaderLabelText(int32_t index) {
  const QZ::RCPtr<QZ::LLabel> label =
      RequireHeaderLabel({"LKnobEditPanel::SetHeaderLabelText", R"(UI\KnobEditPanel)", 93});
  ShowFormattedLabel(*label, index + 1);
}
