#pragma once
// The editor's main window on the program's own skins, string tables and images, brought
// into the states a user sees (an element of the picture selected with its edit page, the
// chord page in custom mode, the global settings, each keyboard model), and the places of
// what it shows. Shared by the headless layout test and the screenshots under Xvfb.
//
//   class MyTest : public QZTest::ShippedEditorFixture {};
//   TEST_F(MyTest, Shows) {
//     Start("96");                          // "Skin1" (192: "HighDPI")
//     SelectElement(2);                     // knob 3 clicked: the knob page
//     for (const QZTest::ShownControl& shown : ShownControls()) { ... shown.path, shown.rect ... }
//   }

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "EditorAppTestSupport.h"
#include "Platform/Graphics/Image.h"
#include "Platform/Window/Window.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/ComboMenu.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/Controls/ToolTip.h"
#include "Support/ShippedEditorStart.h"
#include "UI/ChordEditPanel.h"

namespace QZTest {

inline constexpr char kMainTabsPath[] = "viewDevice/tabControl";
inline constexpr char kPicturePath[] = "viewDevice/tabControl/pageHolder/userPresetEditor/controlNavigation";
inline constexpr char kEditPanelPath[] = "viewDevice/tabControl/pageHolder/userPresetEditor/editPanel";

// The edit pages by kind (0 .. 6) and the element of the picture whose click shows each.
struct EditPageOfKind {
  const char* page;
  const char* element;
};
inline constexpr EditPageOfKind kEditPages[] = {
    {"button", "buttonGroup/button1"}, {"keyboard", "keyboardGroup/keyboard1"}, {"knob", "knobGroup/knob3"},
    {"pad", "padGroup1/pad2"},         {"slider", "sliderGroup/slider1"},       {"sustain", "sustainGroup/sustain1"},
    {"wheels", "wheelGroup/wheel"}};

// A control the window shows: its path of names below the main control, its rectangle in
// the window's client coordinates, and whether its size or place follows a text (a menu
// title, a tool tip) rather than the skin's numbers alone.
struct ShownControl {
  std::string path;
  QZ::RectT<double> rect;
  bool clippedToParent = true;
  bool followsText = false;
};

// What one notification source says of one name: a callback per delivery.
class CallbackListener final : public QZ::LNotificationClient {
public:
  explicit CallbackListener(std::function<void()> heard) : mHeard(std::move(heard)) {}
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>&) override {
    mHeard();
    return QZ::QZ_OK;
  }

private:
  std::function<void()> mHeard;
};

class ShippedEditorFixture : public EditorAppFixture {
protected:
  // Starts the program's application object on its compiled-in skins and string tables at
  // the resolution dpi, on a desktop that holds the large skin's window, with its main
  // window shown and active and the first idle passes done.
  void Start(const char* dpi) {
    environment.Set("QZ_DPI", dpi);
    if (backend) {
      backend->usableBounds = {0, 0, 3840, 2160};
    }
    std::string failed;
    hwnd = StartShippedEditor(*host, backend, app, failed);
    ASSERT_TRUE(hwnd) << failed;
    Settle();
  }

  QZ::RCPtr<QZ::LControl> Top() const { return app->GetMainRootWindow()->GetRootControl(); }

  // The control at path below the main control ('/' between names); null when a name is
  // missing.
  QZ::RCPtr<QZ::LControl> Find(std::string_view path) const { return Below(Top(), path); }
  static QZ::RCPtr<QZ::LControl> Below(const QZ::RCPtr<QZ::LControl>& control, std::string_view path) {
    return ControlAtPath(control, path);
  }

  // Delivers what waits: the window layer's messages, then idle passes while the
  // application asks for more (at most a bounded number).
  virtual void Settle() {
    for (int pass = 0; pass < 50; ++pass) {
      Win::MSG msg;
      while (Host::PeekMessage(&msg, Win::PM_REMOVE) && msg.message != Win::WM_QUIT) {
        Host::TranslateMessage(&msg);
        Host::DispatchMessage(&msg);
      }
      if (!app->DoIdleWork(true)) {
        return;
      }
    }
  }

  // A left click in the middle of control as the window layer delivers it: pointer move,
  // press and release; then everything they started.
  virtual void Click(const QZ::RCPtr<QZ::LControl>& control) {
    ASSERT_TRUE(control) << "a click on no control";
    const QZ::PointT<double> at = control->GetWindowPosition();
    const int x = int(at.x + control->GetRect().width / 2);
    const int y = int(at.y + control->GetRect().height / 2);
    const uint32_t id = backend->SdlIdOf(hwnd);
    backend->Push(MotionEvent(id, x, y));
    backend->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, x, y));
    backend->Push(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, x, y));
    Settle();
  }

  // The user clicks the element of the picture that shows the edit page of kind: its page
  // alone is shown and its button alone is selected.
  void SelectElement(size_t kind) {
    const QZ::RCPtr<QZ::LControl> picture = Find(kPicturePath);
    const QZ::RCPtr<QZ::LControl> button = Below(picture, std::string(kEditPages[kind].element) + "/button");
    Click(button);
    ShowAsThePictureDoes(kind, button);
  }

  // The keyboard's page with its chord tab chosen and the chord mode "Custom": the six user
  // notes shown.
  void ShowCustomChord() {
    SelectElement(1);
    const std::string tabs = std::string(kEditPanelPath) + "/keyboard/tabControl";
    Click(Find(tabs + "/buttonHolder/chord"));
    const QZ::RCPtr<LUserPresetChordEditPanel> chord =
        QZ::DynamicCast<LUserPresetChordEditPanel>(Find(tabs + "/pageHolder/chord"));
    ASSERT_TRUE(chord);
    chord->ShowChordModeControls(2); // as the mode "Custom" coming back from the engine does
    Settle();
  }

  // The user clicks the tab button of the device view's page named tab.
  void SelectMainTab(const char* tab) { Click(Find(std::string(kMainTabsPath) + "/buttonHolder/" + tab)); }

  // The user picks keyboard model in the device view's model box.
  void SelectModel(int32_t model) {
    const QZ::RCPtr<QZ::LComboBox> models = QZ::DynamicCast<QZ::LComboBox>(Find("viewDevice/deviceSelectionComboBox"));
    ASSERT_TRUE(models);
    models->SelectItem(model);
    Settle();
  }

  // The headless main window's pixels in rect (client coordinates), once it has painted
  // what changed; opaque, as the screen shows them.
  std::unique_ptr<QZ::Platform::Graphics::Image> Pixels(const QZ::RectT<int32_t>& rect) {
    Settle();
    Win::WindowPixels pixels;
    auto part = QZ::Platform::Graphics::Image::Create(rect.width, rect.height);
    if (!Win::GetWindowPixels(hwnd, pixels) || !part) {
      ADD_FAILURE() << "the headless window has no pixels";
      return part;
    }
    for (int row = 0; row < rect.height; ++row) {
      const auto* words = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(pixels.pixels) +
                                                            ptrdiff_t(rect.y + row) * pixels.pitch);
      for (int column = 0; column < rect.width; ++column) {
        (void)part->SetPixel(column, row, {0xFF000000u | words[rect.x + column]}); // inside both
      }
    }
    return part;
  }

  // Every control whose own and whose ancestors' visible flags are set, depth first.
  std::vector<ShownControl> ShownControls() const {
    std::vector<ShownControl> shown;
    const QZ::PointT<double> origin = Top()->GetWindowPosition();
    const auto visit = [&](const auto& self, const QZ::RCPtr<QZ::LControl>& control, const std::string& path,
                           bool followsText) -> void {
      const QZ::RCPtr<QZ::LLayoutDescriptor>& layout = control->GetLayoutDescriptor();
      if (!layout || !layout->isVisible) {
        return;
      }
      const QZ::PointT<double> at = control->GetWindowPosition();
      followsText = followsText || layout->textOverflowX == QZ::kTextOverflowExpand ||
                    layout->textOverflowY == QZ::kTextOverflowExpand || QZ::DynamicCast<QZ::LComboMenu>(control) ||
                    QZ::DynamicCast<QZ::LToolTip>(control);
      shown.push_back({path,
                       {at.x - origin.x, at.y - origin.y, control->GetRect().width, control->GetRect().height},
                       layout->clipToParent,
                       followsText});
      const QZ::LControl::ChildControlList& children = control->GetChildren();
      for (uint32_t i = 0; i < children.GetCount(); ++i) {
        const QZ::RCPtr<QZ::LControl>& child = children.GetAt(i, QZ::LControl::ChildControlList::kInsertionOrder);
        self(self, child, path + "/" + child->GetName().ToUTF8().GetBuffer(), followsText);
      }
    };
    visit(visit, Top(), "mainControl", false);
    return shown;
  }

  Win::HWND hwnd = nullptr;

private:
  // What the picture does with a click on an element (the user preset panel, while its
  // class is a plain panel): the page of its kind alone shown, every button of the picture
  // deselected but the clicked one.
  void ShowAsThePictureDoes(size_t kind, const QZ::RCPtr<QZ::LControl>& button) {
    const QZ::RCPtr<QZ::LControl> panel = Find(kEditPanelPath);
    const QZ::LControl::ChildControlList& pages = panel->GetChildren();
    for (uint32_t i = 0; i < pages.GetCount(); ++i) {
      pages.GetAt(i, QZ::LControl::ChildControlList::kInsertionOrder)->SetVisible(false); // still shown or not
    }
    Below(panel, kEditPages[kind].page)->SetVisible(true); // shown with its ancestors
    QZ::RCPtrArray<QZ::LControl, 1, 0> all;
    Find(kPicturePath)->CollectDescendants(all);
    for (uint32_t i = 0; i < all.GetCount(); ++i) {
      if (all.GetAt(i)->GetName() == QZ::WString(u"button")) {
        all.GetAt(i)->SetValue(all.GetAt(i) == button ? 1.0 : 0.0);
      }
    }
    Settle();
  }
};

} // namespace QZTest
