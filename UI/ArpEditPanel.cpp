#include "UI/ArpEditPanel.h"

namespace {

constexpr ElementSelector kSelectors[] = {
    {.name = "latch", .offset = 1, .line = 33},  {.name = "type", .offset = 2, .line = 36},
    {.name = "octave", .offset = 0, .line = 39}, {.name = "gate", .offset = 3, .line = 42},
    {.name = "swing", .offset = 4, .line = 45},
};
constexpr ElementPage kPage{"LArpEditPanel::Initialize", R"(UI\ArpEditPanel)", kSelectors};

constexpr size_t kLatch = 0;
constexpr double kLatchOn = 1.0;

} // namespace

LArpEditPanel::LArpEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}

void LArpEditPanel::SetUpPage() {
  if (const auto toggle = GetSelector(kLatch)->FindChildByName(QZ::WString(u"parameterControl"))) {
    toggle->SetValueRange(0.0, kLatchOn, 0);
  }
}
