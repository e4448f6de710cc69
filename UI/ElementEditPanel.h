#pragma once
// LElementEditPanel<T, Base, Module>: the edit page of one element of the controller (a
// knob or fader, a pad, a wheel, the pedal, a button ...): a panel (Base: QZ::LPanel, or
// QZ::LScrollView for a page that scrolls) that is also the element's parameter module
// (Module: ISliderAndKnob, IPad, IModWheel ...). The page's labelled selectors are listed
// once, in a table of the page class: skin name, parameter (first id + offset) and the line
// of the text thrown when the skin lacks the selector. Initialize finds them in table
// order, SetFirstParamID binds them in table order, and SetParamValueLocal hands the value
// of first id + k to every selector of offset k, in table order. The selectors send the
// user's edits themselves (through the main control), so a page has no edit handler.
//
//   // SustainEditPanel.h
//   class LSustainEditPanel : public LElementEditPanel<LSustainEditPanel, QZ::LPanel, ISustain> {
//   public:
//     LSustainEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);
//   protected:
//     void SetUpPage() override;                   // after the selectors are found
//   };
//   // SustainEditPanel.cpp
//   namespace {
//   constexpr ElementSelector kSelectors[] = {
//       {.name = "midiChannel", .offset = 0, .line = 30},
//       {.name = "cc", .offset = 1, .line = 33, .numberLine = 36},   // its number: 0 .. 127, 3 digits
//       {.name = "latch", .offset = 2, .line = 40}};
//   constexpr ElementPage kPage{"LSustainEditPanel::Initialize", R"(UI\SustainEditPanel)", kSelectors};
//   } // namespace
//   LSustainEditPanel::LSustainEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
//       : LElementEditPanel(parent, name, kPage) {}
//   void LSustainEditPanel::SetUpPage() {
//     const auto latch = GetSelector(2)->FindChildByName(QZ::WString(u"parameterControl"));
//     if (latch) (void)latch->SetValueRange(0.0, 1.0, 0);          // sends {00} / {01}
//   }
//
//   sustain->SetFirstParamID(userPreset, 7, 0);                       // 7, 8, 9
//   sustain->SetParamValueLocal(QZ::ParamDescriptor(8), cc64, true);  // "cc" shows 64
//
// A missing selector throws QZ::Exception<std::runtime_error> "Runtime Error : Null
// Pointer : Cannot find child <name> : <method> : <source> : Line <line>"; a selector whose
// number up-down is required ("numberLine") and missing throws the same with
// "<name>->parameterControl->numericUpDown" and numberLine. Several selectors may share an
// offset (a button's CC, program and note). A page with a header overrides
// ShowElementIndex; a page that answers more than 0 calls ShowOnSelectors itself.
// UI thread, like every control.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/TextBox.h"
#include "QZFramework/ObjectBase/Exception.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"

// One labelled selector of an edit page.
struct ElementSelector {
  // Its skin name (ASCII).
  const char* name = nullptr;
  // It shows and sends parameter first id + offset.
  uint32_t offset = 0;
  // The line of the text thrown when the skin lacks it.
  int line = 0;
  // Above 0: its "parameterControl" must hold a "numericUpDown", which the page limits to
  // 0 .. 127 and its "textBox" to 3 characters; the line of the text thrown without it.
  int numberLine = 0;
  // The name the thrown texts give, when it is not name.
  const char* shownName = nullptr;
};

// What an edit page looks up: the method and source its texts name ("LKnobEditPanel::
// Initialize", R"(UI\KnobEditPanel)") and its selectors in lookup and binding order. The
// strings and the table are static.
struct ElementPage {
  const char* initializeMethod;
  const char* source;
  std::span<const ElementSelector> selectors;
};

template <class T, class Base, class Module>
class LElementEditPanel : public QZ::LHandlerTableControl<T, Base>, public Module {
public:
  LElementEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, const ElementPage& page)
      : QZ::LHandlerTableControl<T, Base>(parent, name), mPage(page) {}

  // Base's, its (empty) handler table, the selectors in table order (each with its number
  // up-down when the table asks for it), then SetUpPage. Base's result; QZ_E_FAIL, nothing
  // looked up, when no table can be made. Throws the missing-child texts above.
  QZ::QZResult Initialize() override {
    const QZ::QZResult base = Base::Initialize();
    if (QZ::Failed(base)) {
      return base;
    }
    if (QZ::Failed(this->CreateHandlerTable())) {
      return QZ::QZ_E_FAIL;
    }
    mSelectors.assign(mPage.selectors.size(), nullptr);
    for (size_t i = 0; i < mPage.selectors.size(); ++i) {
      const ElementSelector& row = mPage.selectors[i];
      mSelectors[i] = QZ::DynamicCast<LVariantBufferSetterParameterPanel>(this->FindChildByName(QZ::WString(row.name)));
      if (!mSelectors[i]) {
        ThrowMissing(ShownName(row), row.line);
      }
      if (row.numberLine > 0) {
        LimitNumberUpDown(*mSelectors[i], row);
      }
    }
    SetUpPage();
    return base;
  }

  // Stores owner, first id and index, runs ShowElementIndex, then binds the selectors in
  // table order to first id + their offsets (a page not initialised binds none).
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override {
    Module::SetFirstParamID(owner, firstParamID, index);
    ShowElementIndex(index);
    for (size_t i = 0; i < mSelectors.size(); ++i) {
      if (mSelectors[i]) {
        mSelectors[i]->SetParameter(QZ::ParamValue(firstParamID + mPage.selectors[i].offset));
      }
    }
  }
  // The value of first id + k goes to the selectors of offset k; other ids change nothing.
  // 0 in every case; fromDevice is not used.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool) override {
    ShowOnSelectors(descriptor.id - this->GetFirstParamID(), value);
    return QZ::QZ_OK;
  }

  // Selector i of the table; null before Initialize.
  QZ::RCPtr<LVariantBufferSetterParameterPanel> GetSelector(size_t i) const {
    return i < mSelectors.size() ? mSelectors[i] : nullptr;
  }

  // The control's cycles first, then Base's.
  QZ::QZResult ReleaseInternalReferences() override {
    mSelectors.clear();
    return Base::ReleaseInternalReferences();
  }

protected:
  // The page's own set-up, at the end of Initialize once every selector is found. Nothing
  // here.
  virtual void SetUpPage() {}
  // Called by SetFirstParamID with the element index before the selectors are bound: a page
  // with a header shows the element there. Nothing here.
  virtual void ShowElementIndex(uint32_t) {}

  // Hands value to every selector of offset k (their SetValue, which refuses a value of
  // another size); whether any has that offset.
  bool ShowOnSelectors(uint32_t k, const QZ::Variant& value) {
    const QZ::RCPtr<T> self(static_cast<T*>(this)); // a selector's handlers may take the tree down
    bool shown = false;
    for (size_t i = 0; i < mSelectors.size(); ++i) {
      if (mSelectors[i] && mPage.selectors[i].offset == k) {
        mSelectors[i]->SetValue(value);
        shown = true;
      }
    }
    return shown;
  }

  // The header "label" child; throws "Runtime Error : Null Pointer : Couldn't find child
  // label : <site>" without one.
  QZ::RCPtr<QZ::LLabel> RequireHeaderLabel(const QZ::SourceSite& site) const {
    QZ::RCPtr<QZ::LLabel> label = QZ::DynamicCast<QZ::LLabel>(this->FindChildByName(QZ::WString(u"label")));
    if (!label) {
      QZ::Throw<std::runtime_error>(site, "Null Pointer : Couldn't find child label");
    }
    return label;
  }

private:
  static const char* ShownName(const ElementSelector& row) { return row.shownName ? row.shownName : row.name; }

  [[noreturn]] void ThrowMissing(const std::string& shown, int line) const {
    QZ::Throw<std::runtime_error>({mPage.initializeMethod, mPage.source, line},
                                  "Null Pointer : Cannot find child " + shown);
  }

  // selector's "parameterControl"'s "numericUpDown" takes 0 .. 127 and at most 3 typed
  // characters.
  void LimitNumberUpDown(const QZ::LControl& selector, const ElementSelector& row) const {
    const QZ::RCPtr<QZ::LControl> control = selector.FindChildByName(QZ::WString(u"parameterControl"));
    const QZ::RCPtr<QZ::LControl> upDown = control ? control->FindChildByName(QZ::WString(u"numericUpDown")) : nullptr;
    if (!upDown) {
      ThrowMissing(std::string(ShownName(row)) + "->parameterControl->numericUpDown", row.numberLine);
    }
    upDown->SetValueRange(0.0, kNumberMaximum, 0);
    if (const auto text = QZ::DynamicCast<QZ::LTextBox>(upDown->FindChildByName(QZ::WString(u"textBox")))) {
      text->SetMaxLength(kNumberDigits);
    }
  }

  static constexpr double kNumberMaximum = 127.0;
  static constexpr int32_t kNumberDigits = 3;

  ElementPage mPage;
  std::vector<QZ::RCPtr<LVariantBufferSetterParameterPanel>> mSelectors;
};
