#include "UI/ScaleEditPanel.h"

namespace {

constexpr ElementSelector kSelectors[] = {
    {.name = "scale", .offset = 1, .line = 30},
    {.name = "rootNote", .offset = 0, .line = 33},
};
constexpr ElementPage kPage{"LScaleEditPanel::Initialize", R"(UI\ScaleEditPanel)", kSelectors};

} // namespace

LScaleEditPanel::LScaleEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}
