#pragma once
// Controls for the painting, hit-testing and invalidation tests: a probe that logs what its
// drawing hooks see of the renderer and answers the pointer questions hit testing asks, and
// builders of coloured looks.
//
//   std::vector<std::string> log;
//   auto root = QZTest::PaintProbe::Make(nullptr, u"root", &log);
//   root->Place(0, 0, 200, 100);
//   root->UseLook(QZTest::ColourLook(QZTest::kRed, {200, 100}, 5, 5, -5, -5));
//   root->Paint(renderer, region, deferred, false);   // log: "root content {0,0,30,30} (0,0) a1"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "QZFramework/ControlBase/ControlTestSupport.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/LookTestSupport.h"
#include "Support/RecordingRenderer.h"

namespace QZTest {

// A look of size whose client part is one colour, inset by the client dock's offsets
// (right and bottom count from the far edges).
inline QZ::RCPtr<QZ::LLook> ColourLook(uint32_t argb, QZ::SizeT<int32_t> size, int32_t left = 0, int32_t top = 0,
                                       int32_t right = 0, int32_t bottom = 0) {
  QZ::RCPtr<QZ::LLook> look =
      QZ::LLook::Create(LookOf(ColourPart(argb, {1, 1}), QZ::LDockedPart::ClientDock(left, top, right, bottom)), false);
  look->SetSize(size);
  return look;
}

class PaintProbe : public TestControl {
public:
  PaintProbe(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, std::vector<std::string>* log)
      : TestControl(parent, name, nullptr), mLog(log) {}

  static QZ::RCPtr<PaintProbe> Make(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name,
                                    std::vector<std::string>* log = nullptr) {
    return QZ::RCPtr<PaintProbe>(new PaintProbe(parent, name, log));
  }

  // Replaces the looks by these, with these weights (each 1 when none are given).
  PaintProbe& UseLooks(const std::vector<QZ::RCPtr<QZ::LLook>>& looks, std::initializer_list<float> weights = {}) {
    QZ::RCPtrArray<QZ::LLook, 1, 0> list;
    for (const QZ::RCPtr<QZ::LLook>& look : looks) {
      list.AddItem(look);
    }
    SetLooks(list);
    mLookWeights.SetCount(0);
    for (size_t i = 0; i < looks.size(); ++i) {
      mLookWeights.AddItem(weights.size() > i ? weights.begin()[i] : 1.0f);
    }
    return *this;
  }
  PaintProbe& UseLook(const QZ::RCPtr<QZ::LLook>& look) { return UseLooks({look}); }
  // Clears ClipToParent (the counts of the ancestors follow) and sets the Z_Order.
  PaintProbe& Float(int32_t zOrder = 0) {
    Layout().zOrder = zOrder;
    SetClipToParent(false);
    return *this;
  }
  PaintProbe& Dock(bool x, bool y) {
    Layout().position[0].docked = x;
    Layout().position[1].docked = y;
    BumpParentOrder();
    return *this;
  }

  float& Opacity() { return mOpacity; }
  bool& LayoutBusy() { return mLayoutBusy; }
  bool& ChildrenHitAsSelf() { return mChildrenHitAsSelf; }
  bool& LooksFollowScroll() { return mLooksFollowScroll; }
  const QZ::RCPtr<QZ::LControl>& HitChild() const { return mHitChild; }
  const QZ::PointT<int32_t>& HitPoint() const { return mHitPoint; }
  int32_t HitDepth() const { return mHitDepth; }
  bool ClientUpdate() const { return mClientUpdate; }
  const QZ::RectT<double>& SavedLookRect() const { return mSavedLookRect; }

  // "<name> content <clip> <origin> a<alpha factor>", the same with "overlay".
  QZ::QZResult DrawContent(const QZ::RCPtr<QZ::LRenderer>& renderer) override { return Record("content", renderer); }
  QZ::QZResult DrawOverlay(const QZ::RCPtr<QZ::LRenderer>& renderer) override { return Record("overlay", renderer); }

  // The pointer answers of the input operations: the point plus the rounded position lies
  // in the rectangle; transparent where every weighted look shows alpha 0.
  bool ContainsPoint(const QZ::PointT<int32_t>& point) override {
    const QZ::PointT<int32_t> origin = QZ::PointT<double>{mRect.x, mRect.y}.Round();
    const double x = double(point.x) + origin.x;
    const double y = double(point.y) + origin.y;
    return x >= mRect.x && x < mRect.x + mRect.width && y >= mRect.y && y < mRect.y + mRect.height;
  }
  bool IsTransparentAtPoint(const QZ::PointT<int32_t>& point) override {
    for (uint32_t i = 0; i < mLooks.GetCount(); ++i) {
      if (GetLookWeight(i) > 0.0f && (GetColorAtPoint(point, int32_t(i)) >> 24) != 0) {
        return false;
      }
    }
    return true;
  }

private:
  // Docking is a key of the parent's paint order.
  void BumpParentOrder() {
    if (GetParent()) {
      GetParent()->GetChildren().BumpVersion();
    }
  }

  QZ::QZResult Record(const char* hook, const QZ::RCPtr<QZ::LRenderer>& renderer) {
    if (mLog) {
      const QZ::RenderState& state = *renderer->GetCurrentState();
      mLog->push_back(Utf8(GetName()) + " " + hook + " " + RecordingRenderer::Rect(state.clip) + " " +
                      RecordingRenderer::Point(state.origin) + " a" + RecordingRenderer::Number(state.factor));
    }
    return QZ::QZ_OK;
  }

  std::vector<std::string>* mLog;
};

} // namespace QZTest
