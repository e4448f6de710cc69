#pragma once
// Controls and skin entries for the tests of layout and descriptor application: a control
// that records what it invalidates and the focus it is asked to take, placement blocks in
// one line, and skin entries with a text look measured by the fixed-advance measurer.
//
//   QZTest::InvalidationLog log;
//   auto parent = QZTest::LayoutControl::Make(nullptr, u"parent", &log);
//   parent->Place(0, 0, 100, 100);
//   auto child = QZTest::LayoutControl::Make(parent, u"child", &log);
//   child->Layout().position[0] = QZTest::At(QZ::kPositionToParent, 0.5f);
//   child->PerformLayout();                       // child->GetRect().x == 50

#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "LookTestSupport.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "Support/FixedAdvanceMeasurer.h"

namespace QZTest {

// "<name> x,y wxh" of every rectangle the controls invalidated, in order.
struct InvalidationLog {
  std::vector<std::string> entries;
  void Clear() { entries.clear(); }
};

class LayoutControl : public TestControl {
public:
  LayoutControl(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, InvalidationLog* log)
      : TestControl(parent, name, nullptr), mLog(log) {}

  static QZ::RCPtr<LayoutControl> Make(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name,
                                       InvalidationLog* log = nullptr) {
    return QZ::RCPtr<LayoutControl>(new LayoutControl(parent, name, log));
  }

  // The focus requests the control heard (SetFocus's argument).
  std::vector<bool> focusRequests;

  QZ::QZResult InvalidateChildRect(const QZ::RectT<double>& rect, bool clip) override {
    if (mLog && IsShown(false)) {
      mLog->entries.push_back(Utf8(GetName()) + " " + std::to_string(int(rect.x)) + "," + std::to_string(int(rect.y)) +
                              " " + std::to_string(int(rect.width)) + "x" + std::to_string(int(rect.height)));
    }
    return TestControl::InvalidateChildRect(rect, clip);
  }
  QZ::QZResult SetFocus(bool forward) override {
    focusRequests.push_back(forward);
    return TestControl::SetFocus(forward);
  }

  void UseStringTable(const QZ::RCPtr<QZ::LStringTable>& table) { mStringTable = table; }
  void UseRange(double minimum, double maximum, int32_t scale) {
    mRangeMinimum = minimum;
    mRangeMaximum = maximum;
    mScaleType = scale;
  }

private:
  InvalidationLog* mLog;
};

// A position block: kind, Rel, Abs, anchor, docked, sibling name.
inline QZ::LayoutPosition At(int32_t kind, float rel, double abs = 0.0, float anchor = 0.0f, bool docked = false,
                             const QZ::WString& name = {}) {
  QZ::LayoutPosition position;
  position.kind = kind;
  position.rel = rel;
  position.abs = abs;
  position.anchor = anchor;
  position.docked = docked;
  position.name = name;
  return position;
}

// A size block: kind, Rel, Abs, sibling name.
inline QZ::LayoutSize Sized(int32_t kind, float rel, double abs, const QZ::WString& name = {}) {
  return QZ::LayoutSize{kind, name, rel, abs};
}

// A look whose text area covers the whole control, drawn in black.
inline QZ::RCPtr<QZ::LLookDescriptor> TextLook() {
  QZ::RCPtr<QZ::LLookDescriptor> look = LookOf(ColourPart(0xFFFFFFFF, {1, 1}));
  look->SetTextProperties(QZ::TextProperties{0.0f, 0, 1.0f, 0, 0.0f, 0.0f, 0, 1.0f, 0, 0.0f},
                          ColourPart(0xFF000000, {1, 1}));
  return look;
}

// A skin entry of class "Test.Apply" named name with layout, count looks (each TextLook,
// or look when given) and the fixed-advance font.
inline QZ::RCPtr<QZ::LControlDescriptor> Entry(const QZ::WString& name, const QZ::RCPtr<QZ::LLayoutDescriptor>& layout,
                                               uint32_t count = 1,
                                               const QZ::RCPtr<QZ::LLookDescriptor>& look = nullptr) {
  QZ::RCPtr<QZ::LControlDescriptor> entry(new QZ::LControlDescriptor(u"Test.Apply", name, nullptr));
  entry->SetLayout(layout ? layout : QZ::LLayoutDescriptor::Create());
  QZ::RCPtr<QZ::LLookList> looks = QZ::MakeLookList(count);
  for (uint32_t i = 0; i < count; ++i) {
    looks->GetAt(i) = look ? look : TextLook();
  }
  QZ::SkinFont font;
  font.name = FixedAdvanceFont()->GetFaceName();
  font.size = FixedAdvanceFont()->GetSize();
  font.style = FixedAdvanceFont()->GetStyle();
  entry->SetSkin(QZ::RCPtr<QZ::LSkinDescriptor>(new QZ::LSkinDescriptor(u"skin", font, looks)));
  return entry;
}

} // namespace QZTest
