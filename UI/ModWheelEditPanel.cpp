#include "UI/ModWheelEditPanel.h"

namespace {

// Found in this order: "max" before "min".
constexpr ElementSelector kSelectors[] = {
    {.name = "midiChannel", .offset = 0, .line = 30},
    {.name = "cc", .offset = 1, .line = 33, .numberLine = 36},
    {.name = "max", .offset = 3, .line = 41},
    {.name = "min", .offset = 2, .line = 44},
};
constexpr ElementPage kPage{"LModWheelEditPanel::Initialize", R"(UI\ModWheelEditPanel)", kSelectors};

} // namespace

LModWheelEditPanel::LModWheelEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}
