// Every combo box of the shipped skin, in both of its skins, opened in a real window under the
// X server of the Xvfb fixture: the first row of the open list shows its item's text whole,
// from the row's text block on (the pictures are written to the build folder to be looked
// at).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/ListBoxTestSupport.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbWidgetTest.h"

namespace {

namespace Win = QZ::Platform::Window;
namespace Gfx = QZ::Platform::Graphics;

// The texts the combo boxes show: as long as the editor's longest ones.
const char16_t* const kItems[] = {u"Quorin 25 ZTR", u"Channel 16", u"Medium"};

class ShippedComboXvfbTest : public QZTest::XvfbWidgetTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(XvfbWidgetTest::SetUp());
    application.factory->RegisterControlCreateFunction(u"Framework.ComboBox", &QZ::CreateControlOf<QZ::LComboBox>);
    QZTest::RegisterListWidgets(*application.factory);
    QZTest::RegisterWidgets(*application.factory);
    ASSERT_NO_FATAL_FAILURE(LoadShippedSkin(QZ_SKIN_ART_IMAGES, QZ_RESOURCE_DOCUMENTS));
  }
};

// Every combo box entry below entry, with a path of names to tell them apart.
void CollectCombos(const QZ::RCPtr<QZ::LControlDescriptor>& entry, const std::string& path,
                   std::vector<std::pair<std::string, QZ::RCPtr<QZ::LControlDescriptor>>>& found) {
  for (uint32_t i = 0; entry && i < entry->GetChildren().GetCount(); ++i) {
    const QZ::RCPtr<QZ::LControlDescriptor>& child = entry->GetChildren().GetAt(i);
    const std::string name = path + "/" + QZTest::Utf8(child->GetName());
    if (child->GetClass() == QZ::WString(u"Framework.ComboBox")) {
      found.emplace_back(name, child);
    }
    CollectCombos(child, name, found);
  }
}

// The columns of area (in image) that hold ink: pixels far from the colour most of the area
// has. First and last column; -1 for none.
std::pair<int, int> InkColumns(Gfx::Image& image, const QZ::RectT<int>& area) {
  std::map<uint32_t, int> counts;
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) {
      Gfx::Color pixel;
      (void)image.GetPixel(x, y, pixel); // inside the image
      ++counts[pixel.argb];
    }
  }
  const uint32_t ground =
      std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  auto far = [&](uint32_t value) {
    int difference = 0;
    for (int shift : {0, 8, 16}) {
      difference = std::max(difference, std::abs(int((value >> shift) & 0xFF) - int((ground >> shift) & 0xFF)));
    }
    return difference > 48;
  };
  int first = -1;
  int last = -1;
  for (int x = area.x; x < area.x + area.width; ++x) {
    for (int y = area.y; y < area.y + area.height; ++y) {
      Gfx::Color pixel;
      (void)image.GetPixel(x, y, pixel); // inside the image
      if (far(pixel.argb)) {
        first = first < 0 ? x : first;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

TEST_F(ShippedComboXvfbTest, EveryComboBoxShowsItsFirstItemWholeInBothSkins) {
  struct Case {
    int32_t skinIndex;
    const char* skin;
    int width;
    int height;
  };
  std::filesystem::create_directories(QZ_WIDGET_TEST_OUTPUT);
  for (const Case& c : {Case{0, "HighDPI", 720, 560}, Case{1, "Skin1", 400, 320}}) {
    SCOPED_TRACE(c.skin);
    application.factory->SetCurrentSkinIndex(c.skinIndex);
    const QZ::RCPtr<QZ::LControlDescriptor> main = application.factory->FindControlDescriptor(u"mainControl");
    ASSERT_TRUE(main);
    std::vector<std::pair<std::string, QZ::RCPtr<QZ::LControlDescriptor>>> combos;
    CollectCombos(application.factory->GetSkins().GetAt(uint32_t(c.skinIndex)), c.skin, combos);
    EXPECT_EQ(combos.size(), 32u);
    // The combo boxes stand on the skin's background label, each at (10, 10) in turn.
    const QZ::RCPtr<QZ::LControlDescriptor>& background = main->GetChildren().GetAt(0);
    ASSERT_EQ(background->GetName(), QZ::WString(u"backgroundLabel"));
    ASSERT_NO_FATAL_FAILURE(OpenWindow(u"Combo boxes", c.width, c.height));
    const QZ::RCPtr<QZ::LControl> host = application.factory->CreateControl(nullptr, background);
    ASSERT_TRUE(host);
    ASSERT_EQ(root->InstallRootControl(host), QZ::QZ_OK);
    int number = 0;
    for (const auto& [path, entry] : combos) {
      SCOPED_TRACE(path);
      const QZ::RCPtr<QZ::LComboBox> combo =
          QZ::DynamicCast<QZ::LComboBox>(application.factory->CreateControl(host, entry));
      ASSERT_TRUE(combo);
      for (int32_t axis = 0; axis < 2; ++axis) {
        QZ::LayoutPosition position;
        QZ::LayoutSize size;
        ASSERT_EQ(combo->GetLayoutDescriptor()->GetAxis(axis, position, size), QZ::QZ_OK);
        combo->SetAxisPlacement(axis, QZ::LayoutPosition{0.0f, QZ::kPositionToClient, QZ::WString(), 0.0f, 10.0}, size);
      }
      for (const char16_t* item : kItems) {
        combo->AddItem(QZ::WString(item));
      }
      ASSERT_EQ(combo->SelectItem(0), 0);
      ASSERT_EQ(combo->ShowDropDown(true), QZ::QZ_OK);
      ASSERT_TRUE(combo->IsDroppedDown());
      ASSERT_TRUE(Painted());
      const auto shot = Screenshot();
      ASSERT_TRUE(shot);
      EXPECT_TRUE(QZTest::WritePng(*shot, std::string(QZ_WIDGET_TEST_OUTPUT) + "/ShippedCombo" + c.skin +
                                              std::to_string(++number) + ".png"));

      // The first row's part in view: the list's client area less its bar, one row high.
      const QZ::RCPtr<QZ::LListBox> list = combo->GetListBox();
      const QZ::RCPtr<QZ::LListBoxItem> row = list->GetRowControl(0);
      ASSERT_TRUE(row);
      ASSERT_EQ(QZTest::Utf8(row->GetText()), QZTest::Utf8(kItems[0]));
      const QZ::PointT<double> at = list->GetWindowPosition();
      const QZ::RectT<double> client = list->GetLookRect(-1);
      const QZ::RectT<int> view{int(at.x + client.x), int(at.y + client.y), int(list->GetContentRect().width),
                                list->GetRowHeight()};
      const auto [first, last] = InkColumns(*shot, view);
      // Where the row's text block begins when the row begins with the list's client area.
      const QZ::RCPtr<QZ::LLook> look = row->GetLook(-1);
      ASSERT_TRUE(look);
      const int textLeft =
          view.x +
          int(look->GetTextRect(QZ::RoundToInt32(row->GetRect().width), QZ::RoundToInt32(row->GetRect().height)).x);
      const double advance = measurer->MeasureText(*row->GetFont(), row->GetText()).width;
      EXPECT_GE(first, textLeft) << "the text begins left of its text block: cut off";
      EXPECT_LT(last, view.x + view.width) << "the text runs beyond the list";
      // The ink is a little narrower than the advance (the side bearings, faint edges).
      EXPECT_GE(last - first + 1, advance - 8.0) << "the ink is not the whole text";
      EXPECT_LE(last - first + 1, advance + 2.0);

      combo->ShowDropDown(false);
      combo->Detach();
    }
    root->InstallRootControl(nullptr);
    root = nullptr;
    Win::DestroyWindow(hwnd); // the object goes with its window
  }
}

} // namespace
