#include "UI/UserPresetEditPanel.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

// The page of each kind, by name.
constexpr const char16_t* kPageNames[LUserPresetEditPanel::kNoPage] = {u"button", u"keyboard", u"knob",  u"pad",
                                                                       u"slider", u"sustain",  u"wheels"};

} // namespace

LUserPresetEditPanel::LUserPresetEditPanel(const RCPtr<QZ::LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LUserPresetEditPanel::Initialize() {
  const QZResult base = LScrollView::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    QZ::Throw<std::runtime_error>({"LUserPresetEditPanel::Initialize", R"(UI\UserPresetEditPanel)", 26},
                                  "Null Pointer : Cannot create notification handler");
  }
  return base;
}

RCPtr<QZ::LPanel> LUserPresetEditPanel::GetEditPage(uint32_t kind) const {
  return kind < kNoPage ? QZ::DynamicCast<QZ::LPanel>(FindChildByName(WString(kPageNames[kind]))) : nullptr;
}

QZResult LUserPresetEditPanel::ShowEditPage(uint32_t kind) {
  const RCPtr<LUserPresetEditPanel> self(this); // hiding moves the focus, whose handlers may run
  const RCPtr<QZ::LPanel> page = GetEditPage(kind);
  // The page shown already stays shown: hiding it first would repaint all of it on every
  // click of another element of the same kind.
  ChildControlList& children = GetChildren();
  for (uint32_t i = 0; i < children.GetCount(); ++i) {
    const RCPtr<QZ::LControl> child = children.GetAt(i, ChildControlList::kInsertionOrder);
    if (child != page) {
      child->SetVisible(false);
    }
  }
  if (kind == kNoPage) {
    return QZ::QZ_OK;
  }
  if (!page) {
    return QZ::QZ_E_FAIL;
  }
  page->SetVisible(true);
  page->SetTabLoop(true);
  page->SetFocus(true); // the first control of the page that takes it
  return QZ::QZ_OK;
}
