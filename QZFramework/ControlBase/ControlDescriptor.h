#pragma once
// The skin's control descriptors, as the skin loader reads them:
// - QZ::LControlDescriptor: one SubControl (or a skin's root): which class to create,
//   its name, its children, its skin, its placement and its create params;
// - QZ::LSkinDescriptor: the skin of one control: its look list and font.
// And the form of the create functions the control factory registers by class name.
//
//   QZ::RCPtr<QZ::LControlDescriptor> panel = factory->FindControlDescriptor(u"mainControl");
//   const QZ::RCPtr<QZ::LControlDescriptor>& first = panel->GetChildren().GetAt(0);   // first->GetClass()
//   QZ::WString label;
//   QZ::LookupString(panel->GetCreateParams().Get(), u"LABEL", label);
//   auto item = panel->CreateCopy(u"item7");      // shares children, skin, layout and params
//
// Descriptors are built on the UI thread while the skin is read, and only read afterwards
// (copies made by DeriveControlDescriptor get their own name and layout).

#include <cstdint>
#include <utility>

#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LControl;
class LControlDescriptor;

// A descriptor's children. The reader adds them one at a time: the storage grows by eight
// slots, not one, so a control's children cost one allocation rather than one each.
using ControlDescriptorArray = RCPtrArray<LControlDescriptor, 8>;

// Makes the control of a descriptor: constructs it with the parent (null for a top-level
// control) and the descriptor's name, applies the descriptor, creates the children and
// initialises it. Returns null on failure. UI thread.
using ControlCreateFunction = RCPtr<LControl> (*)(const RCPtr<LControl>& parent,
                                                  const RCPtr<LControlDescriptor>& descriptor);

// The font a skin gives its control. Each field may say "none".
struct SkinFont {
  bool inheritsFromParent = false;
  bool sizeIsRelative = false;
  // Empty: none.
  WString name;
  static constexpr float kNoSize = 0.0f; // any size below 1.0 is none
  static constexpr int32_t kNoStyle = -1;
  float size = kNoSize;
  int32_t style = kNoStyle;

  bool operator==(const SkinFont&) const = default;
};

class LSkinDescriptor : public virtual LRefCountedObject {
public:
  // lookList may be null (a skin without looks).
  LSkinDescriptor(const WString& name, const SkinFont& font, RCPtr<LLookList> lookList)
      : mName(name), mFont(font), mLookList(std::move(lookList)) {}

  const WString& GetName() const { return mName; }
  const SkinFont& GetFont() const { return mFont; }
  // The skin's font translations (FontXLat) change a top-level skin's face after it is made.
  void SetFontName(const WString& name) { mFont.name = name; }
  const RCPtr<LLookList>& GetLookList() const { return mLookList; }
  void SetLookList(const RCPtr<LLookList>& lookList) { mLookList = lookList; }

private:
  WString mName;
  SkinFont mFont;
  RCPtr<LLookList> mLookList;
};

class LControlDescriptor : public virtual LRefCountedObject {
public:
  // The class a skin's root descriptor carries.
  static constexpr char16_t kRootClass[] = u"Application";

  // parent is not owned: the parent holds its children, never the reverse. A descriptor
  // read from a skin, and every copy of one, may use its parent only while the factory
  // that read the skin lives.
  // The texts are taken by value: a name made for the descriptor moves in uncounted.
  LControlDescriptor(WString className, WString name, LControlDescriptor* parent)
      : mClass(std::move(className)), mName(std::move(name)), mParent(parent) {}

  // A copy with the same name; see CreateCopy(name).
  RCPtr<LRefCountedObject> CreateCopy() const override;
  // A new descriptor with the same class, parent, children (shared, in order), skin,
  // layout and create params (shared, not copied) and create function, named name, or
  // with this descriptor's name when name is empty.
  RCPtr<LControlDescriptor> CreateCopy(const WString& name) const;

  // The registered class name ("Framework.Button"); "Application" for a skin's root.
  const WString& GetClass() const { return mClass; }
  const WString& GetName() const { return mName; }
  void SetName(const WString& name) { mName = name; }
  // Null for a skin's root.
  LControlDescriptor* GetParent() const { return mParent; }

  // Ascending layout order once the skin has been read (a root's stay in document order).
  const ControlDescriptorArray& GetChildren() const { return mChildren; }
  // Appends child; a pointer handed over by move gives its reference to the array.
  void AddChild(RCPtr<LControlDescriptor> child);
  // Orders the children by ascending layout order, keeping document order among equal
  // ones; a child without layout counts as order 0.
  void SortChildrenByLayoutOrder();

  // Null until the skin gives one.
  const RCPtr<LSkinDescriptor>& GetSkin() const { return mSkin; }
  void SetSkin(RCPtr<LSkinDescriptor> skin) { mSkin = std::move(skin); }
  // Null for a skin's root; shared with every copy.
  const RCPtr<LLayoutDescriptor>& GetLayout() const { return mLayout; }
  void SetLayout(RCPtr<LLayoutDescriptor> layout) { mLayout = std::move(layout); }
  // The CreateParam values by ID, as text; null when the SubControl has no list.
  const RCPtr<LStringTable>& GetCreateParams() const { return mCreateParams; }
  void SetCreateParams(RCPtr<LStringTable> params) { mCreateParams = std::move(params); }

  // The create function found for the class, cached by the factory on first creation;
  // null until then.
  ControlCreateFunction GetCreateFunction() const { return mCreateFunction; }
  void SetCreateFunction(ControlCreateFunction function) { mCreateFunction = function; }

private:
  WString mClass;
  WString mName;
  LControlDescriptor* mParent;
  ControlDescriptorArray mChildren;
  RCPtr<LSkinDescriptor> mSkin;
  RCPtr<LLayoutDescriptor> mLayout;
  RCPtr<LStringTable> mCreateParams;
  ControlCreateFunction mCreateFunction = nullptr;
};

} // namespace QZ
