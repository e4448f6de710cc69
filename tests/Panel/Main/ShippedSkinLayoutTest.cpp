// The program's own skins made into controls by the program's own classes: both skins build
// the whole tree, the dialogs and the tool tip, every name stands at its place with the
// looks its widget addresses, and in every state a user brings the main window into (each
// edit page, the chord page in custom mode, the global settings, each keyboard model) every
// shown control has a size and lies inside the window and inside the parent that clips it;
// "HighDPI" lays everything out at twice "Skin1"'s numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ShippedEditorWindow.h"
#include "Support/EditorSkinTree.h"
#include "Support/FontconfigInit.h"

namespace QZTest {
namespace {

class ShippedSkinLayoutTest : public ShippedEditorFixture {};

struct Resolution {
  const char* dpi;
  int32_t skin;
  const char* name;
};
constexpr Resolution kHighDPI{"192", 0, "HighDPI"};
constexpr Resolution kSkin1{"96", 1, "Skin1"};

TEST_F(ShippedSkinLayoutTest, BothSkinsBuildTheWholeTreeTheDialogsAndTheTipWithTheLooksOfEachWidget) {
  for (const Resolution& resolution : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(resolution.name);
    Start(resolution.dpi);
    ASSERT_EQ(app->GetCurrentSkinIndex(), resolution.skin);
    EXPECT_EQ(Win::GetWindowText(hwnd), u"Quorin ZTR Preset Editor");
    std::map<std::string, QZ::RCPtr<QZ::LControl>> tops = {{"mainControl", Top()}};
    for (const char* name :
         {"dialogSendPreset", "dialogRetrievePresetFromHardware", "dialogAbout", "toolTip", "fileDropper1"}) {
      QZ::RCPtr<QZ::LControl> made;
      EXPECT_NO_THROW(made = app->CreateControl(QZ::WString(name))) << name;
      EXPECT_TRUE(made) << name;
      tops[name] = made;
    }
    for (const SkinPlace& place : EditorSkinPlaces()) {
      // Templates stay descriptors: the menu bar makes its titles and menus, lists their
      // rows from them.
      if (place.path.find("/template") != std::string::npos) {
        continue;
      }
      const size_t slash = place.path.find('/');
      const QZ::RCPtr<QZ::LControl> top = tops[place.path.substr(0, slash)];
      const QZ::RCPtr<QZ::LControl> control =
          slash == std::string::npos ? top : Below(top, std::string_view(place.path).substr(slash + 1));
      ASSERT_TRUE(control) << place.path;
      EXPECT_EQ(int(control->GetLooks().GetCount()), LookCountOfClass(place.className)) << place.path;
    }
    // The titles the menu bar made from its template.
    const QZ::LControl::ChildControlList& titles = Find("mainMenu")->GetChildren();
    int menus = 0;
    for (uint32_t i = 0; i < titles.GetCount(); ++i) {
      const QZ::RCPtr<QZ::LControl>& title = titles.GetAt(i, QZ::LControl::ChildControlList::kInsertionOrder);
      if (QZ::DynamicCast<QZ::LComboMenu>(title)) {
        ++menus;
        EXPECT_EQ(int(title->GetLooks().GetCount()), LookCountOfClass("Framework.ComboMenu"));
      }
    }
    EXPECT_EQ(menus, 2) << "File and Help";
    for (auto& [name, top] : tops) {
      if (top && name != "mainControl") {
        top->ReleaseInternalReferences();
      }
    }
    DropApplication();
  }
}

// A state of the main window: its name and how the user brings it about from the last one.
struct WindowState {
  std::string name;
  std::function<void()> enter;
};

TEST_F(ShippedSkinLayoutTest, EveryShownControlFitsTheWindowAndItsParentInEveryStateAndHighDPIIsSkin1Doubled) {
  const std::vector<WindowState> states = [this] {
    std::vector<WindowState> all = {{"start", [] {}}};
    for (size_t kind = 0; kind < std::size(kEditPages); ++kind) {
      all.push_back({std::string("page ") + kEditPages[kind].page, [this, kind] { SelectElement(kind); }});
    }
    all.push_back({"custom chord", [this] { ShowCustomChord(); }});
    all.push_back({"global", [this] { SelectMainTab("globalPresetEditor"); }});
    for (int32_t model = 0; model < 3; ++model) {
      all.push_back({"global, model " + std::to_string(model), [this, model] { SelectModel(model); }});
    }
    all.push_back({"user", [this] { SelectMainTab("userPresetEditor"); }});
    for (int32_t model = 0; model < 3; ++model) {
      all.push_back({"user, model " + std::to_string(model), [this, model] {
                       SelectModel(model);
                       SelectElement(4); // the faders' page: model 0 keeps slider1 alone
                     }});
    }
    return all;
  }();

  // State, then path: the rectangle of every shown control, per skin.
  std::map<std::string, std::map<std::string, ShownControl>> places[2];
  for (const Resolution& resolution : {kHighDPI, kSkin1}) {
    SCOPED_TRACE(resolution.name);
    Start(resolution.dpi);
    const QZ::RectT<double> window = Top()->GetRect();
    for (const WindowState& state : states) {
      SCOPED_TRACE(state.name);
      state.enter();
      std::map<std::string, ShownControl>& shown = places[resolution.skin][state.name];
      std::vector<std::string> collapsed;
      for (const ShownControl& control : ShownControls()) {
        shown[control.path] = control;
        const QZ::RectT<double>& r = control.rect;
        // The device view hides its scroll bars and their corner by giving them no size
        // while its content fits: they and their parts are not seen.
        bool hidden = false;
        for (const std::string& bar : collapsed) {
          hidden = hidden || control.path.starts_with(bar + "/");
        }
        for (const char* bar : {"corner", "hBar", "vBar"}) {
          if (control.path == std::string("mainControl/viewDevice/") + bar && (r.width == 0 || r.height == 0)) {
            collapsed.push_back(control.path);
            hidden = true;
          }
        }
        if (hidden) {
          continue;
        }
        EXPECT_TRUE(r.width > 0 && r.height > 0) << control.path << " has no size";
        EXPECT_TRUE(r.x >= -0.5 && r.y >= -0.5 && r.x + r.width <= window.width + 0.5 &&
                    r.y + r.height <= window.height + 0.5)
            << control.path << " (" << r.x << ", " << r.y << ", " << r.width << ", " << r.height
            << ") leaves the window";
        const std::string parentPath = control.path.substr(0, control.path.rfind('/'));
        const auto parent = shown.find(parentPath);
        if (control.clippedToParent && parent != shown.end()) {
          const QZ::RectT<double>& p = parent->second.rect;
          EXPECT_TRUE(r.x >= p.x - 0.5 && r.y >= p.y - 0.5 && r.x + r.width <= p.x + p.width + 0.5 &&
                      r.y + r.height <= p.y + p.height + 0.5)
              << control.path << " (" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ") leaves "
              << parentPath << " (" << p.x << ", " << p.y << ", " << p.width << ", " << p.height << ")";
        }
      }
    }
    DropApplication();
  }

  for (const WindowState& state : states) {
    SCOPED_TRACE(state.name);
    const std::map<std::string, ShownControl>& high = places[kHighDPI.skin][state.name];
    const std::map<std::string, ShownControl>& standard = places[kSkin1.skin][state.name];
    EXPECT_EQ(high.size(), standard.size()) << "the skins show different controls";
    for (const auto& [path, control] : standard) {
      const auto twin = high.find(path);
      if (twin == high.end()) {
        ADD_FAILURE() << path << " is shown in Skin1 only";
        continue;
      }
      if (control.followsText) {
        continue;
      }
      const QZ::RectT<double>& s = control.rect;
      const QZ::RectT<double>& h = twin->second.rect;
      EXPECT_TRUE(std::abs(h.x - 2 * s.x) <= 2 && std::abs(h.y - 2 * s.y) <= 2 &&
                  std::abs(h.width - 2 * s.width) <= 2 && std::abs(h.height - 2 * s.height) <= 2)
          << path << ": (" << h.x << ", " << h.y << ", " << h.width << ", " << h.height << ") is not twice (" << s.x
          << ", " << s.y << ", " << s.width << ", " << s.height << ")";
    }
  }
}

} // namespace
} // namespace QZTest
