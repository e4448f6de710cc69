#include "UI/SustainEditPanel.h"

namespace {

constexpr size_t kLatchSelector = 2;

constexpr ElementSelector kSelectors[] = {
    {.name = "midiChannel", .offset = 0, .line = 30},
    {.name = "cc", .offset = 1, .line = 33, .numberLine = 36},
    {.name = "latch", .offset = 2, .line = 40},
};
constexpr ElementPage kPage{"LSustainEditPanel::Initialize", R"(UI\SustainEditPanel)", kSelectors};

} // namespace

LSustainEditPanel::LSustainEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}

void LSustainEditPanel::SetUpPage() {
  if (const auto latch = GetSelector(kLatchSelector)->FindChildByName(QZ::WString(u"parameterControl"))) {
    latch->SetValueRange(0.0, 1.0, 0);
  }
}
