#include <gtest/gtest.h>

#include <string>

#include "QZFramework/ControlBase/InputTestSupport.h"
#include "QZFramework/Controls/WidgetTestSupport.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::Child;
using QZTest::WidgetHarness;

// A drag proxy of class T that counts its drag-state requests and its destruction.
int gDestroyed = 0;

template <class T>
class Counted : public T {
public:
  Counted(const RCPtr<LControl>& parent, const WString& name) : T(parent, name) {}
  ~Counted() override { ++gDestroyed; }

  QZResult SetLayoutState(int32_t dragMode, uint32_t dragAxes) override {
    ++layoutStateRequests;
    return T::SetLayoutState(dragMode, dragAxes);
  }
  int layoutStateRequests = 0;
};

const WidgetHarness::Overrides kCounted = {
    {u"Framework.FileDropper", &CreateControlOf<Counted<LFileDropper>>},
    {u"Framework.Dropper", &CreateControlOf<Counted<LDropper>>},
};

int Requests(const RCPtr<LControl>& proxy) {
  if (auto file = DynamicCast<Counted<LFileDropper>>(proxy)) {
    return file->layoutStateRequests;
  }
  return DynamicCast<Counted<LDropper>>(proxy)->layoutStateRequests;
}

const char16_t* const kProxies[] = {u"fileDropper1", u"dropper1"};

TEST(FileDropperTest, AProxyIsShownAndNeverTakesTheFocus) {
  for (const char16_t* name : kProxies) {
    SCOPED_TRACE(WString(name).ToUTF8().GetBuffer());
    WidgetHarness harness;
    const RCPtr<LControl> host = harness.Create(u"dropHost");
    ASSERT_TRUE(host);
    const RCPtr<LControl> proxy = Child(host, name);
    EXPECT_TRUE(proxy->IsShown(true)); // the skin hides it; its looks show it
    EXPECT_TRUE(proxy->IsFocusDelegated(false));
    EXPECT_EQ(proxy->GetDragMode(), LControl::kDragNone);
  }
}

TEST(FileDropperTest, ALeftPressStartsTheDragStateOncePerPress) {
  for (const char16_t* name : kProxies) {
    SCOPED_TRACE(WString(name).ToUTF8().GetBuffer());
    WidgetHarness harness(kCounted);
    const RCPtr<LControl> host = harness.Create(u"dropHost");
    ASSERT_TRUE(host);
    const RCPtr<LControl> proxy = Child(host, name);
    ASSERT_EQ(proxy->GetLayoutDescriptor()->layoutOrder, 5);

    // Right and middle presses change nothing.
    for (uint32_t button : {kMouseButtonRight, kMouseButtonMiddle}) {
      harness.window->mouseButtons = button;
      proxy->OnMouseDown(QZTest::Press(button, 4, 4));
      proxy->OnMouseMove(QZTest::Move(9, 9));
      harness.window->mouseButtons = 0;
      proxy->OnMouseUp(QZTest::Release(button, 9, 9));
    }
    EXPECT_EQ(Requests(proxy), 0);
    EXPECT_EQ(proxy->GetDragMode(), LControl::kDragNone);
    EXPECT_EQ(proxy->GetLayoutDescriptor()->layoutOrder, 5);

    harness.window->mouseButtons = kMouseButtonLeft;
    proxy->OnMouseDown(QZTest::Press(kMouseButtonLeft, 4, 4));
    EXPECT_EQ(Requests(proxy), 1);
    EXPECT_EQ(proxy->GetDragMode(), LControl::kDragAndDrop);
    EXPECT_EQ(proxy->GetDragAxes(), LControl::kDragAxisX | LControl::kDragAxisY);
    EXPECT_EQ(proxy->GetLayoutDescriptor()->layoutOrder, 0);

    // Moves with the button held drag the proxy and ask nothing more of it.
    proxy->OnMouseMove(QZTest::Move(20, 14));
    proxy->OnMouseMove(QZTest::Move(30, 24));
    EXPECT_EQ(Requests(proxy), 1);
    EXPECT_TRUE(proxy->GetConditions() & kConditionLeftDrag);
    harness.window->mouseButtons = 0;
    proxy->OnMouseUp(QZTest::Release(kMouseButtonLeft, 30, 24));
  }
}

TEST(FileDropperTest, AtTheDragsEndTheProxyIsHiddenAndGoesAtTheNextIdleTick) {
  for (const char16_t* name : kProxies) {
    SCOPED_TRACE(WString(name).ToUTF8().GetBuffer());
    gDestroyed = 0;
    WidgetHarness harness(kCounted);
    const RCPtr<LControl> host = harness.Create(u"dropHost");
    ASSERT_TRUE(host);
    RCPtr<LControl> proxy = Child(host, name);
    const uint32_t children = host->GetChildren().GetCount();

    harness.window->mouseButtons = kMouseButtonLeft;
    proxy->OnMouseDown(QZTest::Press(kMouseButtonLeft, 4, 4));
    proxy->OnMouseMove(QZTest::Move(40, 30));
    const PointT<double> dragged{proxy->GetRect().x, proxy->GetRect().y};
    harness.window->mouseButtons = 0;
    proxy->OnMouseUp(QZTest::Release(kMouseButtonLeft, 40, 30));

    EXPECT_NE(dragged.x, 0.0); // it moved with the pointer
    EXPECT_FALSE(proxy->IsShown(false));
    EXPECT_EQ(proxy->GetParent(), host); // still there until the idle tick
    EXPECT_EQ(host->GetChildren().GetCount(), children);
    EXPECT_EQ(harness.window->cursor, harness.application.Cursor(u"UI_CURSOR_ARROW"));

    EXPECT_EQ(harness.window->RaiseIdle(), QZ_OK);
    EXPECT_FALSE(proxy->GetParent());
    EXPECT_EQ(host->GetChildren().GetCount(), children - 1);
    EXPECT_EQ(host->FindChildByName(WString(name)), nullptr);
    harness.window->captureRequests.clear(); // the window's record of who asked
    EXPECT_EQ(gDestroyed, 0);                // the test holds it
    proxy = nullptr;
    EXPECT_EQ(gDestroyed, 1);
  }
}

} // namespace
} // namespace QZ
