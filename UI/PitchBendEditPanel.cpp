#include "UI/PitchBendEditPanel.h"

namespace {

constexpr size_t kMinSelector = 1;
constexpr size_t kMaxSelector = 2;

constexpr ElementSelector kSelectors[] = {
    {.name = "midiChannel", .offset = 0, .line = 30},
    {.name = "min", .offset = 1, .line = 33},
    {.name = "max", .offset = 2, .line = 36},
};
constexpr ElementPage kPage{"LPitchBendEditPanel::Initialize", R"(UI\PitchBendEditPanel)", kSelectors};

} // namespace

LPitchBendEditPanel::LPitchBendEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}

void LPitchBendEditPanel::SetUpPage() {
  const std::pair<size_t, std::pair<double, double>> ranges[] = {{kMinSelector, {kMinLowest, kMinHighest}},
                                                                 {kMaxSelector, {kMaxLowest, kMaxHighest}}};
  for (const auto& [selector, range] : ranges) {
    if (const auto control = GetSelector(selector)->FindChildByName(QZ::WString(u"parameterControl"))) {
      control->SetValueRange(range.first, range.second, 0);
    }
  }
}
