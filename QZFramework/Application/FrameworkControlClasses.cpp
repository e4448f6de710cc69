#include "QZFramework/Application/FrameworkControlClasses.h"

#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/CenteredSlider.h"
#include "QZFramework/Controls/CheckedComboBox.h"
#include "QZFramework/Controls/CheckedListBox.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/ComboMenu.h"
#include "QZFramework/Controls/ComboSlider.h"
#include "QZFramework/Controls/FileDropper.h"
#include "QZFramework/Controls/Knob.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/LevelMeter.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/ListBoxItem.h"
#include "QZFramework/Controls/MainMenu.h"
#include "QZFramework/Controls/MultiColumnListBox.h"
#include "QZFramework/Controls/NumericUpDown.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Controls/PopupMenu.h"
#include "QZFramework/Controls/ProgressBar.h"
#include "QZFramework/Controls/Scrollbar.h"
#include "QZFramework/Controls/Slider.h"
#include "QZFramework/Controls/Splitter.h"
#include "QZFramework/Controls/StatusBar.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/Controls/TextBox.h"
#include "QZFramework/Controls/ToolTip.h"
#include "QZFramework/Controls/TreeView.h"

namespace QZ {

namespace {

constexpr ControlClassEntry kFrameworkControlClasses[] = {
    {u"Framework.Button", &CreateControlOf<LButton>},
    {u"Framework.OverlayButton", &CreateControlOf<LListBoxItem>},
    {u"Framework.ListBox", &CreateControlOf<LListBox>},
    {u"Framework.listboxNoScroll", &CreateControlOf<LListBox>},
    {u"Framework.ListBoxItem", &CreateControlOf<LListBoxItem>},
    {u"Framework.CheckedListBox", &CreateControlOf<LCheckedListBox>},
    {u"Framework.CheckedListBoxItem", &CreateControlOf<LCheckedListBoxItem>},
    {u"Framework.ListBoxWithIcons", &CreateControlOf<LCheckedListBox>},
    {u"Framework.listbox2ColumnSortable", &CreateControlOf<LMultiColumnListBox>},
    {u"Framework.ScrollBar", &CreateControlOf<LScrollbar>},
    {u"Framework.ScrollChannel", &CreateControlOf<LPanel>},
    {u"Framework.ComboBox", &CreateControlOf<LComboBox>},
    {u"Framework.ComboTextBox", &CreateControlOf<LComboBox>},
    {u"Framework.CheckedComboBox", &CreateControlOf<LCheckedComboBox>},
    {u"Framework.ComboBoxWithIcons", &CreateControlOf<LCheckedComboBox>},
    {u"Framework.ComboSlider", &CreateControlOf<LComboSlider>},
    {u"Framework.ComboSlider.DropDownPanel", &CreateControlOf<LPanel>},
    {u"Framework.Slider", &CreateControlOf<LSlider>},
    {u"Framework.Knob", &CreateControlOf<LKnob>},
    {u"Framework.TabControl", &CreateControlOf<LTabControl>},
    {u"Framework.Label", &CreateControlOf<LLabel>},
    {u"Framework.TextBox", &CreateControlOf<LTextBox>},
    {u"Framework.NumericUpDown", &CreateControlOf<LNumericUpDown>},
    {u"Framework.Panel", &CreateControlOf<LPanel>},
    {u"Framework.ToolTip", &CreateControlOf<LToolTip>},
    {u"Framework.PopupMenu", &CreateControlOf<LPopupMenu>},
    {u"Framework.MenuItem", &CreateControlOf<LMenuListBoxItem>},
    {u"Framework.ComboMenu", &CreateControlOf<LComboMenu>},
    {u"Framework.MainMenu", &CreateControlOf<LMainMenu>},
    {u"Framework.FileDropper", &CreateControlOf<LFileDropper>},
    {u"Framework.StatusBar", &CreateControlOf<LStatusBar>},
    {u"Framework.SplitterH", &CreateControlOf<LSplitterH>},
    {u"Framework.SplitterV", &CreateControlOf<LSplitterV>},
    {u"Framework.LevelMeter", &CreateControlOf<LLevelMeter>},
    {u"Framework.ProgressBar", &CreateControlOf<LProgressBar>},
    {u"Framework.TreeView", &CreateControlOf<LTreeView>},
    {u"Framework.TreeViewItem", &CreateControlOf<LTreeViewItem>},
    {u"Framework.Dropper", &CreateControlOf<LDropper>},
    {u"Framework.CenteredSlider", &CreateControlOf<LCenteredSlider>},
    {u"Framework.CenteredSliderBounds", &CreateControlOf<LPanel>},
};
static_assert(std::size(kFrameworkControlClasses) == 40);

} // namespace

std::span<const ControlClassEntry> FrameworkControlClasses() { return kFrameworkControlClasses; }

} // namespace QZ
