#pragma once
// The list boxes' test world: one of the list skins (ListBox.xml, FixedRows.xml,
// CheckedList.xml) read from a folder of its own, with its string table and the pictures
// the tests draw there first; the widgets and the list classes registered; a window and a
// pointer that presses and releases the way the root window does.
//
//   QZTest::ListSkin skin("ListBox.xml");
//   QZ::RCPtr<QZ::LListBox> list = skin.Create(u"plainHost");   // its child "list"
//   QZTest::Fill(*list, 100);                                    // items "item 0" ...
//   skin.pointer.ClickAt(list->GetRowControl(2), 5, 5);          // selects item 2
//
// Rows are 16 pixels high, eight of them in view (130 pixels less a frame of 1); text
// measures 7 pixels a character.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "Platform/Graphics/Image.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/Controls/CheckedListBox.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/ToolTip.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "Support/ImageCompare.h"
#include "Support/TempFolder.h"
#include "WidgetSkinTestSupport.h"

namespace QZTest {

// The list classes under their skin names, unless the test registered its own first.
inline void RegisterListWidgets(QZ::LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.ListBox", &QZ::CreateControlOf<QZ::LListBox>);
  factory.RegisterControlCreateFunction(u"Framework.listboxNoScroll", &QZ::CreateControlOf<QZ::LListBox>);
  factory.RegisterControlCreateFunction(u"Framework.ListBoxItem", &QZ::CreateControlOf<QZ::LListBoxItem>);
  factory.RegisterControlCreateFunction(u"Framework.OverlayButton", &QZ::CreateControlOf<QZ::LListBoxItem>);
  factory.RegisterControlCreateFunction(u"Framework.CheckedListBox", &QZ::CreateControlOf<QZ::LCheckedListBox>);
  factory.RegisterControlCreateFunction(u"Framework.ListBoxWithIcons", &QZ::CreateControlOf<QZ::LCheckedListBox>);
  factory.RegisterControlCreateFunction(u"Framework.CheckedListBoxItem", &QZ::CreateControlOf<QZ::LCheckedListBoxItem>);
}

// A control that drops a list down (in the combo boxes' place).
class DropDownOwner : public QZ::LControl, public QZ::IListBoxDropDownOwner {
public:
  DropDownOwner(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name) : QZ::LControl(parent, name) {}
};

// The pictures of CheckedList.xml's look 3: 6 x 6 squares in three colours.
inline constexpr uint32_t kPictureColours[] = {0xFFD02020, 0xFF20A020, 0xFF2040D0};

class ListSkin {
public:
  // registerFirst runs before the standard classes: a test's own class for a name wins.
  explicit ListSkin(const std::string& skinFile, const std::string& stringsFile = {},
                    const std::function<void(QZ::LControlFactory&)>& registerFirst = nullptr) {
    Copy(skinFile, "Skins.xml");
    if (!stringsFile.empty()) {
      Copy(stringsFile, "StringTables.xml");
    }
    DrawPictures();
    application.fontFace = FixedAdvanceFont()->GetFaceName();
    application.fontSize = FixedAdvanceFont()->GetSize();
    application.measurer = QZ::RCPtr<QZ::LMeasurementRenderer>(&*measuring);
    application.factory = QZ::RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
    application.factory->RegisterControlCreateFunction(u"Test.DropDownOwner", &QZ::CreateControlOf<DropDownOwner>);
    application.factory->RegisterControlCreateFunction(u"Framework.ToolTip", &QZ::CreateControlOf<QZ::LToolTip>);
    if (registerFirst) {
      registerFirst(*application.factory);
    }
    RegisterListWidgets(*application.factory);
    RegisterWidgets(*application.factory);
    loaded = application.factory->LoadResources(folder.Wide(), 0x0409);
    EXPECT_EQ(loaded, QZ::QZ_OK) << application.factory->GetParseErrorText().ToUTF8().GetBuffer();
    application.rootWindows = {window};
    application.activeRootWindow = window;
  }
  ~ListSkin() { window->InstallRootControl(nullptr); } // always 0
  ListSkin(const ListSkin&) = delete;
  ListSkin& operator=(const ListSkin&) = delete;

  // The top control host, installed in the window, and its child name as a T.
  template <class T = QZ::LListBox>
  QZ::RCPtr<T> Create(const char16_t* host, const char16_t* name = u"list") {
    top = application.factory->CreateControlByName(QZ::WString(host), QZ::RCPtr<QZ::IRootWindow>(window));
    return QZ::DynamicCast<T>(top ? top->FindChildByName(QZ::WString(name)) : nullptr);
  }

  ScopedFixedAdvanceMeasurer measuring;
  TempFolder folder;
  FakeControlApplication application;
  QZ::RCPtr<FakeRootWindow> window{new FakeRootWindow};
  Pointer pointer{*window};
  QZ::QZResult loaded = QZ::QZ_E_FAIL;
  QZ::RCPtr<QZ::LControl> top;

private:
  void Copy(const std::string& from, const std::string& to) {
    std::ifstream in(WidgetSkinFile(from), std::ios::binary);
    folder.Write(to, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  }
  void DrawPictures() {
    for (int i = 0; i < 3; ++i) {
      auto image = QZ::Platform::Graphics::Image::Create(6, 6);
      for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
          (void)image->SetPixel(x, y, QZ::Platform::Graphics::Color{kPictureColours[i]}); // inside the image
        }
      }
      EXPECT_TRUE(WritePng(*image, folder / ("check" + std::to_string(i) + ".png")));
    }
  }
};

// Appends count items "<prefix><n>" (n from the list's count on).
inline void Fill(QZ::LListBox& list, int32_t count, const std::string& prefix = "item ") {
  for (int32_t i = 0; i < count; ++i) {
    const std::string text = prefix + std::to_string(list.GetItemCount());
    list.InsertItem(list.GetItemCount(), QZ::MakeTaggableString(QZ::WString(text.c_str())));
  }
}

// The texts of the rows, top first ("" for an empty row).
inline std::vector<std::string> RowTexts(const QZ::LListBox& list) {
  std::vector<std::string> texts;
  for (int32_t k = 0; k < list.GetRowCount(); ++k) {
    texts.emplace_back(list.GetRowControl(k)->GetText().ToUTF8().GetBuffer());
  }
  return texts;
}

// The texts of the items.
inline std::vector<std::string> ItemTexts(QZ::LListBox& list) {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < list.GetItemCount(); ++i) {
    texts.emplace_back(list.GetItemText(i).ToUTF8().GetBuffer());
  }
  return texts;
}

// The selected items, ascending.
inline std::vector<uint32_t> Selected(QZ::LListBox& list) {
  const QZ::Array<uint32_t>& indices = list.GetSelectedIndices();
  std::vector<uint32_t> out;
  for (uint32_t i = 0; i < indices.GetCount(); ++i) {
    out.push_back(indices.GetAt(i));
  }
  return out;
}

} // namespace QZTest
