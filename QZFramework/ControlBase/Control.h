#pragma once
// Writing a widget (a class under Controls/ on LControl):
//
//   Override  Initialize (the base's first: it makes the handler table and reads the create
//             parameters), OnLookChanged (the skin's looks and sub-controls are in place:
//             find them), OnConditionsChanged (focus, hover, press, drag: choose the look);
//             as the widget needs: OnKeyDown and HandleKey, the pointer hooks
//             (HandleMouseMove, HandleLeftButtonDown/Up, HandleLeftClick, OnMouseWheelV/H),
//             SetValue, OnValueChanged and SetValueRange, OnTick, ApplyDescriptor and
//             ApplyCreateParams, DrawContent, GetToolTipText, UpdateClientArea. A widget
//             that handles notifications derives from LHandlerTableControl
//             (HandlerTableControl.h) and adds its handlers in Initialize.
//   Call      Notify, ShowLook, SetText, SetValue, SetVisible, SetEnabled, SetFocus,
//             SetFocusable, SetAxisPlacement, InvalidateChildRect, AddIdleRequest and
//             ReleaseIdleRequest (OnTick runs while the widget holds one), FindChildByName,
//             NormalizedToValue and ValueToNormalized, GetRootWindowRef.
//   Read      GetRect, GetScrollOffset, GetParent, GetChildren, GetLayoutDescriptor,
//             GetControlDescriptor, GetLooks and GetLook, GetText, GetFont, GetValue and its
//             range, the condition flags (HasFocus, IsMouseOver, HasCapture, IsButtonPressed,
//             IsButtonDragging, IsHoverForced), GetPressOrigin and GetDragDisplacement while a
//             drag runs, IsDescriptorApplied.
//   Never     a field of LControl: the operations keep them consistent. The fields left
//             protected are those the test doubles set up directly.
//
// Among the virtual operations, those widgets override come first; those no class
// overrides follow in an internal block. Their slot numbers are in the table at the end.
//
// QZ::LControl: the base of every control, panel, widget, dialog and window content. A
// control is a shared object with a name, a parent, ordered children, a rectangle in its
// parent's client coordinates, a layout descriptor that computes that rectangle, looks that
// draw it, a condition word that says in which state it is, and the virtual operations
// through which the root window, the control factory and the widgets drive it.
//
//   // What the control factory's create function for "Framework.Panel" does:
//   QZ::RCPtr<QZ::LControl> panel(new LPanel(parent, descriptor->GetName()));  // joins parent
//   panel->ApplyDescriptor(descriptor);   // layout, looks, label
//   panel->CreateChildren(descriptor);    // a child per SubControl, then PerformLayout
//   panel->Initialize();                  // create params, hot keys, handler table
//   panel->OnLookChanged();
//
//   // A listener hears the panel's state:
//   listener->RegisterNotification(panel, u"NID_HOVER_CONDITION_CHANGE");
//   panel->RaiseConditionChange(true);    // hover: "NID_CONDITION_CHANGE", then the hover one
//
//   // Tearing a tree down: the top control leaves its window, parents let go of children.
//   panel->Detach();
//   panel = nullptr;                      // the whole subtree is released
//
// Ownership: a parent holds each child through its child list, a child holds its parent
// (that reference counts as one of the parent's internal references), and the top control
// holds its root window. When the last outside reference to a control goes,
// ReleaseInternalReferences takes its children out of the list (each loses its parent
// link, so a subtree nobody else holds is released with it), withdraws every notification
// registration made with or at the control, drops its companion objects and its tag.
//
// Results: 0 success, 1 nothing done (unchanged, not handled, refused), QZ_E_FAIL for an
// operation not possible now, QZ_E_INVALIDARG for a bad argument. Structural faults (an index
// past the end of the child list, an unknown child order) throw in the framework's format.
//
// Threads: controls belong to the main thread; nothing in a control is locked.
//
// Where the bodies live (one source file per group of operations):
//   Control.cpp            construction, the child list, the tree, creation of children,
//                          PerformLayout's steps, Detach, release of internal references
//   ControlConditions.cpp  the condition word and its announcement, capture, drag threshold
//   ControlLooks.cpp       the look list: current look, rectangles, regions, colours
//   ControlLookups.cpp     lookups, hot-key lookups, prefixed string-table entries, the
//                          relayout triggers
//   ControlFactoryCreate.cpp  the control factory's creating operations
//   ControlHooks.cpp       the slots whose base answer is all there is (hooks, accessors)
//   ControlPaint.cpp, ControlHitTest.cpp     painting; hit testing, geometry, invalidation
//   ControlInput.cpp       pointer input, capture, clicks, the wheel, values
//   ControlFocus.cpp       who may hold the focus, moving it, children in tab order
//   ControlKeys.cpp        key routing, Tab navigation, sibling keys, menu hot keys
//   ControlInitialize.cpp  Initialize, create parameters, local hot keys, idle subscription
//   ControlLayout.cpp      layout of sub-controls: placement, size limits, storing the
//                          rectangle, placement setters, the preferred size
//   ControlDescriptorApply.cpp  a skin entry applied (first time and skin switch), the
//                          tool tip and context menu sub-controls, menu notifications
//   ControlState.cpp       value, visibility, enabled state, label, fonts, look setters,
//                          cursor, scroll offset, direct notifications
//   ControlDrag.cpp        drag steps by mode, drop targets, automatic scrolling and flings
//   ControlIdle.cpp        idle requests, the idle tick, placement animations, press
//                          hand-over, deferred removal of children
//

#include <cstdint>
#include <vector>

#include "QZFramework/ControlBase/ControlParams.h"
#include "QZFramework/ControlBase/HotKeyMap.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/ControlBase/MenuDescriptor.h"
#include "QZFramework/ControlBase/RootWindowInterface.h"
#include "QZFramework/ControlBase/UITarget.h"
#include "QZFramework/Notification/NotificationClient.h"
#include "QZFramework/Notification/NotificationDistributor.h"
#include "QZFramework/Notification/NotificationHandler.h"
#include "QZFramework/ObjectBase/TaggableObject.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Graphics/RectList.h"
#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/ArrayBuffer.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LBitmap;
struct ClipDescriptor;
class LControlDescriptor;
class LFont;
class LKeyParam;
class LLook;
class LMenuItemUpdater;
class LNotificationCenter;
class LRenderContextInfo;
class LRenderer;
class LStringTable;
class LVisualPart;

class LControl : public virtual LNotificationClient,
                 public virtual LNotificationDistributor,
                 public virtual LTaggableObject,
                 public virtual UITarget {
public:
  // ===========================================================================================
  // The children of a control: insertion order, and two orders derived from the children's
  // layout descriptors and sorted lazily (one sort per change, at the first ordered read).
  // ===========================================================================================
  class ChildControlList {
  public:
    // Orders, as GetAt and IndexOf take them.
    static constexpr int32_t kInsertionOrder = 0;
    // Painting walks it from the first (bottom) to the last (top), hit testing backwards:
    // children clipped to their parent first, then fewer docked axes, then smaller Z_Order,
    // then earlier insertion.
    static constexpr int32_t kPaintOrder = 1;
    // Focus moves along it: smaller TabStop first, then earlier insertion.
    static constexpr int32_t kTabOrder = 2;

    explicit ChildControlList(LControl& owner) : mOwner(owner) {}
    ChildControlList(const ChildControlList&) = delete;
    ChildControlList& operator=(const ChildControlList&) = delete;

    uint32_t GetCount() const { return mChildren.GetCount(); }
    // The child at index in order. Throws "Runtime Error :
    // QZ::LControl::ChildControlList::GetAt : ControlBase\Control : Line 3356" for an index
    // not below the count and the same text with Line 3376 for an unknown order (the const
    // twin: Lines 3384 and 3404).
    const RCPtr<LControl>& GetAt(uint32_t index, int32_t order) {
      const RCPtr<LControl>* child = SortedPaintChild(index, order);
      return child ? *child : ChildAt(index, order, 3356, 3376);
    }
    const RCPtr<LControl>& GetAt(uint32_t index, int32_t order) const {
      const RCPtr<LControl>* child = SortedPaintChild(index, order);
      return child ? *child : ChildAt(index, order, 3384, 3404);
    }
    // The position of child in order, searched from the last position down; -1 when it is
    // not a child or the order is unknown.
    int32_t IndexOf(const LControl* child, int32_t order) const;

    // Appends child and makes the owner its parent; the owner and every ancestor count the
    // unclipped controls it brings. 0; QZ_E_INVALIDARG for null, for the owner and for its
    // ancestors; QZ_E_FAIL when child has a parent or a child of the same name (compared
    // exactly) is there already. The list is unchanged on failure. Takes its reference only
    // on success, so a constructor may pass this.
    [[nodiscard]] QZResult Add(LControl* child);
    // Takes child out: its unclipped controls are no longer counted, it loses its parent
    // link, the version moves on and the owner's OnChildRemoved runs. 0; QZ_E_INVALIDARG when it
    // is not a child. The child is released unless someone else holds it.
    QZResult Remove(const LControl* child);
    // Removes every child, last to first, as Remove; true when the list was already empty.
    bool RemoveAll();

    // The child-order generation: moves on whenever a child comes or goes or a key of the
    // orders changes (ClipToParent, docking, Z_Order, TabStop); the orders are re-sorted at
    // the next ordered read.
    uint32_t GetVersion() const { return mVersion; }
    void BumpVersion() { ++mVersion; }
    // Re-sorts both derived orders when they are out of date.
    void SortOrders() const;

  private:
    // Painting and hit tests read the paint order of an unchanged list: inline, without a
    // call. Null for any other order, an index not below the count or orders to re-sort.
    // Sorted orders hold each index below the count once: no second bound check.
    const RCPtr<LControl>* SortedPaintChild(uint32_t index, int32_t order) const {
      if (order == kPaintOrder && mSortedVersion == mVersion && index < mChildren.GetCount()) [[likely]] {
        return mChildren.GetData() + mPaintOrder.GetData()[index];
      }
      return nullptr;
    }
    const RCPtr<LControl>& ChildAt(uint32_t index, int32_t order, int line, int orderLine) const;
    QZResult RemoveAt(uint32_t index);

    RCPtrArray<LControl, 1, 0> mChildren;
    mutable ArrayBuffer<unsigned, 1, 0, 1, 8, &GetSystemAllocator> mTabOrder;
    mutable ArrayBuffer<unsigned, 1, 0, 1, 8, &GetSystemAllocator> mPaintOrder;
    uint32_t mVersion = 1;
    mutable uint32_t mSortedVersion = 0;
    LControl& mOwner;
  };

  // The hit depth of a control and of its ancestors that all clip to their parents.
  static constexpr int32_t kNoHitDepth = INT32_MIN;

  // Drag modes (SetLayoutState's first value).
  static constexpr int32_t kDragNone = 0;
  static constexpr int32_t kDragAndDrop = 1;
  static constexpr int32_t kDragMove = 2;
  static constexpr int32_t kDragMoveScroll = 3;
  static constexpr int32_t kDragResize = 4;
  static constexpr int32_t kDragResizeScroll = 5;
  static constexpr int32_t kDragKinetic = 6;
  // Drag axes (SetLayoutState's second value); kinetic scrolling compares the whole word
  // with 1 (X), 2 (Y) or 3 (both).
  static constexpr uint32_t kDragAxisX = 0x1;
  static constexpr uint32_t kDragAxisY = 0x2;
  static constexpr uint32_t kDragEdgeRight = 0x4;
  static constexpr uint32_t kDragEdgeLeft = 0x8;
  static constexpr uint32_t kDragEdgeTop = 0x10;
  static constexpr uint32_t kDragEdgeBottom = 0x20;

  // Edit codes of CanPaste and PerformEdit.
  static constexpr int32_t kEditDelete = 0;
  static constexpr int32_t kEditCut = 1;
  static constexpr int32_t kEditCopy = 2;
  static constexpr int32_t kEditPaste = 3;

  // Joins parent's child list (parent may be null: a top control) and asks the
  // application's control factory for the string table of (parent, name). Nothing else:
  // the descriptor, looks, children and create parameters come later from the factory.
  LControl(const RCPtr<LControl>& parent, const WString& name);
  ~LControl() override;
  LControl(const LControl&) = delete;
  LControl& operator=(const LControl&) = delete;

  // ===========================================================================================
  // The tree (Control.cpp)
  // ===========================================================================================

  const RCPtr<LControl>& GetParent() const { return mParent; }
  ChildControlList& GetChildren() { return mChildren; }
  const ChildControlList& GetChildren() const { return mChildren; }
  // The skin entry the control was made from; null for a control made in code.
  const RCPtr<LControlDescriptor>& GetControlDescriptor() const { return mDescriptor; }
  // The control's own placement record; null until ApplyDescriptor.
  const RCPtr<LLayoutDescriptor>& GetLayoutDescriptor() const { return mLayout; }
  // x, y (parent's client coordinates), width, height.
  const RectT<double>& GetRect() const { return mRect; }
  // The origin of the client content: children (and, when the looks follow it, the looks)
  // are shifted by its negative.
  const PointT<double>& GetScrollOffset() const { return mScrollOffset; }
  // The number of controls below this one whose ClipToParent is cleared.
  uint32_t GetUnclippedCount() const { return mUnclippedCount; }
  // Adds count to the unclipped count of this control and of every ancestor.
  void IncrementUnclippedCount(uint32_t count = 1);
  // Subtracts count from the unclipped count of this control and of every ancestor.
  void DecrementUnclippedCount(uint32_t count = 1);

  // Marked visible with a width and height above 0; withAncestors: every ancestor too. A
  // control without a layout descriptor is not shown.
  bool IsShown(bool withAncestors) const;
  // IsShown(false), inline: painting, hit tests and the invalidation walk ask it of every
  // control they meet.
  bool IsShownItself() const { return mLayout && mLayout->isVisible && mRect.width > 0.0 && mRect.height > 0.0; }
  // The layout descriptor's enabled flag; withAncestors: every ancestor's too. A control
  // without a layout descriptor is not enabled.
  bool IsEnabled(bool withAncestors) const;

  // Moves the control to parent's child list: 1 when parent is the parent already; else
  // the old parent (if any) invalidates the control's area and lets it go, a control that
  // had none drops its root-window link, and the new parent (if any) adds it (Add's
  // failure codes). 0.
  QZResult SetParent(const RCPtr<LControl>& parent);
  // Makes window the root window of this top control, titles it with the control's label
  // when it has one, and installs the control there.
  // QZ_E_FAIL for a control with a parent; 1 when window is its root window already.
  QZResult SetRootWindow(const RCPtr<IRootWindow>& window);
  // The root window of the tree: the top control's link; null outside a window.
  RCPtr<IRootWindow> GetRootWindowRef() const;
  // The root window of this control when it is the top control of one; null otherwise.
  const RCPtr<IRootWindow>& GetOwnRootWindow() const { return mRootWindow; }
  // The application's notification center, once Initialize has run; null before.
  const RCPtr<LNotificationCenter>& GetNotificationCenter() const { return mNotificationCenter; }

  // The last child named name exactly (case matters); null when none is.
  RCPtr<LControl> FindChildByName(const WString& name) const;
  // Empties out, then appends every child named name, last child first; the count.
  uint32_t FindChildrenByName(const WString& name, RCPtrArray<LControl, 1, 0>& out) const;
  // Empties out, then appends every descendant depth first, parents before children; the
  // count.
  uint32_t CollectDescendants(RCPtrArray<LControl, 1, 0>& out) const;
  // The rectangle around the children docked on neither axis, each rounded to whole
  // pixels; (0, 0, 0, 0) when there is none.
  RectT<double> GetChildrenBounds() const;

  // Whether a skin entry's create parameters hold "DEFER_CREATE" with a true value: such a
  // child is created later by the code that owns it.
  static bool IsDeferCreate(const RCPtr<LControlDescriptor>& entry);
  // A create-parameter boolean: true when the text, with blanks, tabs, carriage returns
  // and line feeds trimmed, is "true" in any case.
  static bool IsTrueText(const WString& text);

  // Places the control from its layout descriptor (against its parent, or for a top
  // control against the screen and its root window's client area), applies the text and
  // children sizing, snaps the rectangle and stores it, laying the children out. SetRect's
  // result (1 when the rectangle did not change); QZ_E_FAIL without a layout descriptor,
  // and for a top control without any root window.
  QZResult PerformLayout();

  // ===========================================================================================
  // Conditions (ControlConditions.cpp)
  // ===========================================================================================

  // The condition word (kConditionHasFocus ... kConditionHover) of the current flags.
  uint32_t GetConditions() const;
  // Recomputes the word and, when it changed: records the change in the conditions
  // parameter, switches the cursor on pointer and capture transitions, ends or begins a
  // drag, calls OnConditionsChanged, sends "NID_CONDITION_CHANGE" and one notification per
  // changed group, moves the hover when the control vanished or let the capture go outside,
  // and re-evaluates the children (last first) when enabled or visible changed.
  void NotifyConditionChange();
  void UpdateConditions() { NotifyConditionChange(); }
  // Sets the forced-hover flag; re-evaluates only when it changed.
  void RaiseConditionChange(bool hover);
  // The object sent with every condition notification; the same for the control's life.
  const RCPtr<LConditionsParam>& GetConditionsParam() const { return mConditionsParam; }
  // How far, in whole pixels on either axis, the pointer must move from the press before
  // a held button turns into a drag. 0; QZ_E_INVALIDARG for a negative value (kept).
  QZResult SetDragThreshold(int32_t pixels);
  int32_t GetDragThreshold() const { return mDragThreshold; }
  int32_t GetDragMode() const { return mDragMode; }
  // Where the press began (the drag origin), in the parent's coordinates.
  const PointT<double>& GetPressOrigin() const { return mPressPoint; }
  // How far the current drag step moved the pointer from the drag origin.
  const PointT<double>& GetDragDisplacement() const { return mDisplacement; }
  uint32_t GetDragAxes() const { return mDragAxes; }
  // Shows the control's cursor, or the default one when it has none, at the root window.
  void ApplyCursor();
  CursorHandle GetCursor() const { return mCursor; }
  bool HasFocus() const { return mHasFocus; }
  bool ContainsFocus() const { return mContainsFocus; }
  bool IsMouseOver() const { return mMouseOver; }
  bool HasCapture() const { return mCapture; }
  // button 0 left, 1 middle, 2 right: held down with no drag yet / dragging.
  bool IsButtonPressed(int32_t button) const { return mPressed[button]; }
  bool IsButtonDragging(int32_t button) const { return mDragging[button]; }
  // The hover RaiseConditionChange forces, apart from the pointer's.
  bool IsHoverForced() const { return mHover; }

  // ===========================================================================================
  // Looks (ControlLooks.cpp)
  // ===========================================================================================

  const RCPtrArray<LLook, 1, 0>& GetLooks() const { return mLooks; }
  // 0 for an index without a weight. Inline: painting and hit tests ask per look and pass.
  // The member array is of its declared type, so its accessors are called without a dispatch.
  float GetLookWeight(uint32_t index) const {
    using Weights = decltype(mLookWeights);
    return index < mLookWeights.Weights::GetCount() ? const_cast<Weights&>(mLookWeights).Weights::GetData()[index]
                                                    : 0.0f;
  }
  // Look index when 0 <= index < count (possibly null); otherwise the first look that
  // exists with a weight above 0, else the first look that exists, else null.
  RCPtr<LLook> GetLook(int32_t index) const;
  // The first look that exists with a weight above 0; -1 when none.
  int32_t GetCurrentLookIndex() const;
  // GetLook(index)'s client rectangle; (0, 0, width, height) without a look.
  RectT<double> GetLookRect(int32_t index) const;
  // Empties the own region of every look / of GetLook(index).
  void ClearLookRegions();
  void ClearLookRegion(int32_t index);
  // Look a's region becomes the control's area less look b's region, and the control is
  // invalidated: 0; QZ_E_INVALIDARG when either look is missing.
  QZResult CombineLookRegions(int32_t a, int32_t b);
  // Multiplies the renderer's alpha while the control paints.
  float GetOpacity() const { return mOpacity; }

  // ===========================================================================================
  // Lookups and relayout (ControlLookups.cpp)
  // ===========================================================================================

  const RCPtr<LFont>& GetFont() const { return mFont; }
  // The label text.
  const WString& GetText() const { return mLabel; }
  bool UsesParentToolTip() const { return mUseParentToolTip; }
  // Whether the label moves with the scroll offset, as scrolled text does. Read at each
  // paint; setting it repaints nothing.
  bool LooksFollowScroll() const { return mLooksFollowScroll; }
  void SetLooksFollowScroll(bool follow) { mLooksFollowScroll = follow; }
  // Makes the control show its parent's tool tip instead of its own (a widget's parts).
  void SetUseParentToolTip(bool use) { mUseParentToolTip = use; }
  // The first key bound to command in the control's own hot keys; the empty key code
  // (0x80000000) when none.
  KeyCode GetHotKey(const WString& command) const;
  bool HasLocalHotKey(const WString& command) const;
  // The position of child in one of the child orders; -1 when it is not a child.
  int32_t IndexOfChild(const LControl* child, int32_t order) const;
  // Re-sorts the derived child orders when they are out of date.
  void SortChildOrders();
  // The topmost ancestor; this control when it has no parent.
  RCPtr<LControl> GetRootControl();
  // The origin in the parent's own coordinates: position - the parent's scroll offset +
  // the origin of the parent's current look rectangle; the position without a parent.
  PointT<double> GetOriginInParent() const;
  // The scroll offset rounded to whole pixels with the size of the current look's client
  // part (of the control without a look).
  RectT<int32_t> GetVisibleContentRect() const;
  // Whether the label is wider than the text area of the current look.
  bool IsTextTruncated() const;
  // The largest Z_Order of this control and its ancestors among those not clipped to their
  // parent; kNoHitDepth when all clip.
  int32_t GetTopZOrder() const;
  // The control's menu-item updater, made on first use; released with the control.
  RCPtr<LMenuItemUpdater> GetMenuItemUpdater();
  // Empties out, then appends every entry of table whose key begins with prefix, sorted by
  // key; the count. Nothing for a null table.
  static uint32_t CollectPrefixed(const LStringTable* table, const WString& prefix,
                                  std::vector<LMenuDescriptor::Entry>& out);
  // Empties out, then appends one menu per menu number of the string table's
  // "CONTEXT_MENU<n>.<ii>.<NID>" entries, n ascending ("CONTEXT_MENU.<ii>.<NID>", a single
  // context menu, comes first); each built from its entries with the keys cut after the
  // number (LMenuDescriptor::CreateFromStringTable). The count; QZ_E_FAIL when a menu
  // cannot be built (out is then empty).
  QZResult GetContextMenuDescriptors(std::vector<RCPtr<LMenuDescriptor>>& out);

  // ===========================================================================================
  // Descriptor application, values, text and fonts (ControlDescriptorApply.cpp,
  // ControlState.cpp)
  // ===========================================================================================

  // Sets the label (a top control's caption too), hands it to every look and relays out
  // when the text can change the size: true when the label changed.
  bool SetTextInternal(const WString& text, bool relayout);
  // The value, always within 0..1, and its range (scale type 1 logarithmic, else linear).
  double GetValue() const { return mValue; }
  double GetRangeMinimum() const { return mRangeMinimum; }
  double GetRangeMaximum() const { return mRangeMaximum; }
  int32_t GetScaleType() const { return mScaleType; }
  // Whether ApplyDescriptor has run once (a later one is a skin switch).
  bool IsDescriptorApplied() const { return mApplied; }
  // Gives the control and its looks font: 0; 1 when it is the current font; QZ_E_INVALIDARG for
  // null.
  QZResult SetFont(const RCPtr<LFont>& font);
  // Resolves a font against the base font (the parent's when inherited, else the
  // application's default) and sets it, remembering which values came from the base: 0;
  // QZ_E_FAIL without a font.
  QZResult SetFontSpec(const WString& face, float size, int32_t style);
  // Look weights: 0; QZ_E_INVALIDARG for an index not below the number of looks. A weight outside
  // 0..1 is ignored; exclusive sets every other weight to 0.
  QZResult SetLookWeight(uint32_t index, float weight, bool exclusive);
  // Replaces the own region of a look (an index out of range names the current look) and
  // invalidates: 0; QZ_E_INVALIDARG without looks.
  QZResult SetLookRegion(int32_t index, const RectListT<int32_t>& region);
  // Sets (null: removes) the overlay part of a look, drawn over its client part: 0; 1 when
  // nothing changed; QZ_E_FAIL without looks.
  QZResult SetLookPartImage(const ConstRCPtr<LBitmap>& image, ResizeType resizeType, int32_t index,
                            bool replacesClient);
  // Sets the text foreground part of a look: 0; QZ_E_FAIL without looks; QZ_E_INVALIDARG for
  // null.
  QZResult SetLookTextPart(const RCPtr<LVisualPart>& part, int32_t index);
  // Sets the pointer cursor shown over the control (0: the default).
  void SetCursor(CursorHandle cursor);
  // Replaces the context menu (null: none), moving the control's subscriptions to the
  // menu's item notifications. 0.
  QZResult SetContextMenuDescriptor(const RCPtr<LMenuDescriptor>& menu);
  // Registers (or withdraws) the control's menu-command handler for every item
  // notification of menu and its sub-menus: 0; QZ_E_INVALIDARG for null.
  QZResult SubscribeMenuNotifications(const RCPtr<LMenuDescriptor>& menu, bool subscribe);
  // Makes a new child from the skin's "contextMenu" entry (in place of an earlier one) and
  // opens it for menu: hidden; a pop-up menu (QZ::LPopupMenu) is given menu; the
  // OnBeforeContextMenu hook; a pop-up menu then opens at the pointer. 0; QZ_E_FAIL when
  // the skin has no such entry or the control cannot be made.
  QZResult ShowContextMenu(const RCPtr<LMenuDescriptor>& menu);
  // The handler of a chosen menu item's notification (routed from any source, as the
  // pop-up menu delivers it with none): the command goes where its hot key would (OnMenuHotKey).
  QZResult OnMenuCommand(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  // Delivers a notification of name carrying parameter to receiver alone, at once.
  [[nodiscard]] QZResult SendNotificationTo(const RCPtr<LNotificationReceiver>& receiver, NotificationName name,
                                            const RCPtr<LRefCountedObject>& parameter);

  // ===========================================================================================
  // Layout of sub-controls (ControlLayout.cpp)
  // ===========================================================================================

  // Places both axes of descriptor: against parent (the three reference values are then
  // zero), or for a top control against screenRect, clientSize and originPoint. 0;
  // QZ_E_INVALIDARG without a descriptor while parent is set or screenRect is not empty.
  QZResult LayoutAxisFromReference(const RCPtr<LLayoutDescriptor>& descriptor, const RCPtr<LControl>& parent,
                                   const RectT<double>& screenRect, const SizeT<double>& clientSize,
                                   const PointT<double>& originPoint, RectT<double>& outRect) const;
  // The minimum-size rule, with text growth, on both axes in place: 1 when it changed
  // something, 0 when not, QZ_E_FAIL when an anchor forbids the change.
  QZResult LayoutSizeFromText(PointT<double>& position, SizeT<double>& size);
  // The maximum-size rule on both axes in place.
  QZResult LayoutSizeFromChildren(PointT<double>& position, SizeT<double>& size);
  // The extent on axis (0 X, 1 Y) of children first..last; 0 for a bad range.
  double GetChildrenExtent(int32_t first, int32_t last, int32_t axis) const;
  // Stores the rectangle and lays out what depends on it: 1 when position and size are
  // unchanged (nothing else happens), else 0. The old and new areas are invalidated, the
  // looks take the size, a new size reaches the children (OnRootResized) and the control
  // lays out once more; the later siblings are laid out until one moves, the parent hears
  // OnSizeChanged; a top control hands the window its client area (the rectangle moved by
  // the client origin); a focused control of no size hands the focus to its parent.
  QZResult SetRect(const PointT<double>& position, const SizeT<double>& size);
  // Replace the placement blocks of one axis (0 X, 1 Y), of both, or the size limits of
  // one, and relay out: 0 when the blocks read back equal, 1 when not (or a bad axis).
  QZResult SetAxisPlacement(int32_t axis, const LayoutPosition& position, const LayoutSize& size);
  QZResult SetPlacement(const LayoutPosition& xPosition, const LayoutSize& xSize, const LayoutPosition& yPosition,
                        const LayoutSize& ySize);
  QZResult SetAxisSizeLimits(int32_t axis, const LayoutLimit& minimum, const LayoutLimit& maximum);

  // ===========================================================================================
  // Painting (ControlPaint.cpp)
  // ===========================================================================================

  // Appends the controls of this subtree that do not clip to their parent, in paint order
  // (this control only with includeSelf; hidden ones and their subtrees skipped with
  // skipHidden); the number appended.
  uint32_t CollectUnclipped(RCPtrArray<LControl, 1, 0>& list, bool skipHidden, bool includeSelf);
  // Whether the control keeps a back buffer of its children. No control does: nothing sets
  // the flag, and the operations of a back buffer (RebuildBackBuffer, AddToUpdateRegion,
  // ScrollContent, OnChildLayoutChanged) answer 1, nothing done.
  bool IsBuffered() const { return mBuffered; }
  [[nodiscard]] QZResult RebuildBackBuffer();
  QZResult AddToUpdateRegion(const RectT<double>& rect, bool invalidate);

  // ===========================================================================================
  // Hit testing, geometry and invalidation (ControlHitTest.cpp)
  // ===========================================================================================

  // The largest contribution of the control and its ancestors: Z_Order where ClipToParent
  // is cleared, kNoHitDepth otherwise.
  int32_t GetHitDepth() const;
  // The control's origin in root-window coordinates: the sum over it and its ancestors of
  // GetOriginInParent.
  PointT<double> GetWindowPosition() const;
  // Converts point from this control's coordinates into other's (null: the root window's)
  // by the difference of the two window positions, each rounded to whole pixels first.
  void ConvertPoint(const LControl* other, PointT<double>& point) const;
  // The area in which the control can be seen, in its own coordinates: the parent's
  // rectangle; for a top control its own, within its root window's client area.
  RectT<double> GetBoundsRect() const;
  // Invalidates each shown unclipped descendant (and the control itself when it does not
  // clip), or without such descendants the control when it does not clip. For a change
  // (scrolling, enabling, showing) that moves what lies outside the parent's area.
  void InvalidateUnclipped();
  // Marks the control as left out of hit testing (the wheel's and the drop search's
  // re-tests beneath a control).
  bool IsExcludedFromHitTest() const { return mExcludedFromHitTest; }
  void SetExcludedFromHitTest(bool excluded) { mExcludedFromHitTest = excluded; }

  // ===========================================================================================
  // Pointer input and values (ControlInput.cpp)
  // ===========================================================================================

  // Without all: whether ClipToParent is cleared; with all: on this control or an ancestor.
  bool IsNotClippedToParent(bool all) const;
  // The value at normalised position t, and back (linear or logarithmic).
  double NormalizedToValue(double t) const;
  double ValueToNormalized(double v) const;

  // ===========================================================================================
  // Focus, keys and create parameters (ControlFocus.cpp, ControlKeys.cpp, ControlInitialize.cpp)
  // ===========================================================================================

  // The control can take the keyboard focus itself (a focus target).
  bool IsFocusable();
  // Without all: the not-focusable flag; with all: on this control or an ancestor, up to
  // and including the first focus boundary.
  bool IsFocusDelegated(bool all) const;
  // Stores order as the layout order and, while the control takes part in tabbing (a TabStop
  // not below 0), as its TabStop; the parent's child orders are sorted again. 0; QZ_E_INVALIDARG
  // for a negative order; QZ_E_FAIL without a layout descriptor.
  QZResult SetTabOrder(int32_t order);
  // Focus delegation stops at a focus boundary (a focus scope).
  bool IsFocusBoundary() const { return mFocusBoundary; }
  void SetFocusBoundary(bool boundary) { mFocusBoundary = boundary; }
  // The last child that has or contains the focus; null when none.
  RCPtr<LControl> GetFocusedChild() const;
  RCPtr<LControl> GetFirstFocusableChild();
  RCPtr<LControl> GetLastFocusableChild();
  // A descendant takes the focus: the control and its ancestors contain it.
  bool SetContainsFocus(const RCPtr<LControl>& descendant);
  // Whether key is a virtual key pressed (not a character, not a release).
  static bool IsVirtualKeyDown(const KeyCode& key);
  // The handler of "NID_SIBLING_KEY" that Initialize installs: the control's local hot
  // keys answer keys of their siblings. 1.
  QZResult OnSiblingKeyNotification(const RCPtr<LNotificationDistributor>& distributor,
                                    const RCPtr<LNotification>& notification);
  // Installs (add) or removes the control's menu hot-key handler for every item of menu
  // with a hot-key binding: 0; QZ_E_INVALIDARG for null.
  QZResult RegisterMenuHotKeys(const RCPtr<LMenuDescriptor>& menu, bool add);
  // A menu command's hot key was pressed: to the root window's command handling when it
  // binds the command, else posted to the application. 1.
  QZResult OnMenuHotKey(const RCPtr<LNotification>& notification);

  // ===========================================================================================
  // Dragging and auto-scroll (ControlDrag.cpp)
  // ===========================================================================================

  // Scrolls this control's content on axis (0 X, 1 Y) at speed pixels per second (negative
  // towards the start) within firstBound..secondBound at every idle tick, and makes control
  // (may be null) follow the content with OnDragMove at the pointer. A new speed, range and
  // control replace those of a running axis; the first start of an axis takes an idle
  // request. 0; QZ_E_INVALIDARG for another axis.
  QZResult StartAutoScroll(int32_t axis, double speed, double firstBound, double secondBound,
                           const RCPtr<LControl>& control);
  // Stops the axis (a fling with it) and gives its idle request back. 0; 1 when the axis was
  // not scrolling; QZ_E_INVALIDARG for another axis.
  QZResult StopAutoScroll(int32_t axis);
  // Flings the content on axis at velocity pixels per second within the range the parent's
  // GetSizeLimits gives this control (the control's own without a parent): the speed holds
  // for 1 s after the last release (the time OnMouseUp records), then falls by the fling
  // deceleration (1000 px/s per second) until it would turn round. 0; QZ_E_INVALIDARG for
  // another axis.
  QZResult StartAxisAnimation(int32_t axis, double velocity);
  // Stops the fling of axis: 0; 1 when the axis is not flinging; QZ_E_INVALIDARG for another axis.
  QZResult StopAxisAnimation(int32_t axis);

  // ===========================================================================================
  // Idle tick and deferred removal (ControlIdle.cpp)
  // ===========================================================================================

  // The "NID_IDLE" handler. Unless the tick is suspended: per axis the automatic scrolling
  // or fling, then growing or shrinking; the move animation; the press hand-over; OnTick.
  // Always last: DeletePendingChildren. 0.
  QZResult OnIdleTick(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  // One more user of idle ticks. The first subscribes OnIdleTick to "NID_IDLE" of the root
  // window; outside a window it is only counted (SubscribeNotifications subscribes once the
  // tree is under one). 0; the subscription's error, with the count back at 0.
  QZResult AddIdleRequest();
  // One user fewer; going from 1 to 0 under a window unsubscribes: 0, or QZ_E_FAIL when the
  // subscription was not there. 1, nothing changed, when the count is 0 already.
  QZResult ReleaseIdleRequest();
  int32_t GetIdleRequestCount() const { return mIdleRequests; }
  // Releases child's capture, hides it, and detaches it at the next idle tick in the order
  // the children were queued (a child queued twice goes once); the first child queued takes
  // an idle request. 0; QZ_E_INVALIDARG, nothing changed, when child is not a child.
  QZResult RemoveChildDeferred(const RCPtr<LControl>& child);
  // Detaches the children queued when it starts (those that are still children), first
  // queued first, and gives the idle request back once the queue is empty.
  void DeletePendingChildren();

  // ===========================================================================================
  // Virtual operations widgets override
  // ===========================================================================================

  // Sets the label text (SetTextInternal with relayout): 0; 1 when it is the label
  // already.
  virtual QZResult SetText(const WString& text);
  // Stores the value (kept within 0..1; NaN changes nothing) and, when it changed, calls
  // OnValueChanged and sends "NID_VALUE_CHANGE" with a LValueParam (the value and the value
  // in its range); returns the stored value.
  virtual double SetValue(double value);
  // Hook after the value changed. 0.
  virtual QZResult OnValueChanged();
  // The range of the value (scale 0 linear, 1 logarithmic with both bounds above 0):
  // 0; QZ_E_INVALIDARG, nothing changed, for anything else.
  virtual QZResult SetValueRange(double minimum, double maximum, int32_t scale);
  // Bracket a change of the client area: Begin keeps the current look rectangle and
  // marks the update, End clears the mark (a back buffer would follow the look's size). 0.
  virtual QZResult BeginClientUpdate();
  // The content scrolled from oldOffset to newOffset: a back buffer would move its
  // pixels. 1.
  virtual QZResult ScrollContent(const PointT<double>& oldOffset, const PointT<double>& newOffset);
  // A child's rectangle changed: a back buffer would mark it for redrawing. 1.
  virtual QZResult OnChildLayoutChanged(const RCPtr<LControl>& child);
  // Per axis, the maximum-size Abs when the maximum is "Self" (reference kind 0), else 0;
  // (0, 0) without a layout descriptor.
  virtual PointT<double> GetContentExtent();
  // Moves the client origin (rounded half away from zero): 1 when it is there already;
  // else the area is invalidated before and after, each child hears OnParentResized,
  // ScrollContent runs, "NID_SCROLL_OFFSET_CHANGE" is sent and the window's hover is
  // found again. 0.
  virtual QZResult SetScrollOffset(const PointT<double>& offset);
  // The control's string table; null when it has none.
  virtual RCPtr<LStringTable> GetStringTable();
  // Whether the control takes typed text. Base: false.
  virtual bool AcceptsTextInput();
  // The control that takes keys and edit commands for this one.
  virtual RCPtr<LControl> GetKeyboardTarget();
  // Whether the edit command (kEditDelete ... kEditPaste) can run now. Base: false.
  virtual bool CanPaste(int32_t editCode);
  // Runs an edit command. Base: throws "Logic Error : LControl::PerformEdit must be
  // overridden : QZ::LControl::PerformEdit : ControlBase\Control : Line 1287".
  virtual QZResult PerformEdit(int32_t editCode);
  // The drag mode and axes. 0.
  virtual QZResult SetLayoutState(int32_t dragMode, uint32_t dragAxes);
  // The left button began dragging with a drag mode set: records the start size, the
  // parent's scroll offset and the position and size Abs values; drag and drop (mode 1)
  // also floats the control (ClipToParent cleared) and docks its undocked axes. 0.
  virtual QZResult OnDrag();
  // One drag step for the pointer at param (the control's coordinates):
  // moves (modes 1-3), resizes by the edges in the drag axes (4, 5) or pulls the own content
  // (6) within the parent's visible content; scrolls the parent near its edges (3, 5);
  // tracks the drop target under the pointer (1). 0; QZ_E_INVALIDARG for null.
  virtual QZResult OnDragMove(const RCPtr<LPointWithModifiersParam>& param);
  // Hook at the end of each drag step. 0.
  virtual QZResult OnDragMoved(const PointT<double>& point);
  // The drag ended: stops the parent's scrolling; drag and drop puts the arrow cursor,
  // clipping and docking back and drops on the target (OnDrop, then OnDragLeave). 0.
  virtual QZResult OnDragEnd();
  // Whether the control takes dragged. Base: false.
  virtual bool AcceptsDrop(const RCPtr<LControl>& dragged);
  // The edges (kDragEdge...) on which the control scrolls while dragged is over it.
  // Base: 0.
  virtual uint32_t GetDragAutoScrollEdges(const RCPtr<LControl>& dragged);
  // The scroll range (x, y, width, height: minimum and extent per axis) for control.
  // Base: (0, 0, 2^52, 2^52).
  virtual RectT<double> GetSizeLimits(const RCPtr<LControl>& control);
  // (0, 0, width, height) of the current look's client part (GetLookRect(-1)).
  virtual RectT<double> GetContentRect();
  // May narrow the rectangle (the parent's content coordinates) a moved or resized
  // control stays in. Base: unchanged, 0.
  virtual QZResult GetDragBounds(RectT<double>& bounds);
  // A dragged control enters, moves over (point in root-window coordinates), leaves
  // the control. Base: 0.
  virtual QZResult OnDragEnter(const RCPtr<LControl>& dragged);
  virtual QZResult OnDragOver(const RCPtr<LControl>& dragged, const PointT<double>& point);
  virtual QZResult OnDragLeave(const RCPtr<LControl>& dragged);
  // Dragged is dropped on the control: 0 when taken. Base: QZ_E_FAIL.
  virtual QZResult OnDrop(const RCPtr<LControl>& dragged);
  // Gives the focus to the control or, when it hands it on, to its first (forward) or
  // last focusable descendant.
  virtual QZResult SetFocus(bool forward);
  // Sets the not-focusable flag (TabStop follows its sign).
  virtual QZResult SetFocusable(bool notFocusable);
  // Hook called on every condition change, before the notifications. 0.
  virtual QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param);
  // Subscribes the notifications the control listens to.
  virtual QZResult SubscribeNotifications();
  // Hook called for each child the child list removes, with its former index. 0.
  virtual QZResult OnChildRemoved(const RCPtr<LControl>& child, uint32_t index);
  // Whether every look with a weight above 0 is transparent at point.
  virtual bool IsTransparentAtPoint(const PointT<int32_t>& point);
  // The colour of GetLook(lookIndex) at point; 0xFFFFFF without a look.
  virtual uint32_t GetColorAtPoint(const PointT<int32_t>& point, int32_t lookIndex);
  // Whether the command of a menu item (item itemIndex of menu; menu null for a hot
  // key) is enabled for this control; may change state. Base: 1, state unchanged.
  virtual QZResult IsMenuItemEnabled(const LMenuDescriptor* menu, int32_t itemIndex, const WString& command,
                                     LMenuItemState& state);
  // The context menu; null when none.
  virtual RCPtr<LMenuDescriptor> GetContextMenuDescriptor();
  // SetLookWeight(index, 1, exclusive).
  virtual QZResult ShowLook(int32_t index);
  // ApplyDescriptor asks the top control of a window about the window's frame rectangle
  // (screen coordinates, may be changed): 1 moves the window there, 0 keeps it. Base: 0.
  virtual int32_t AdjustRootWindowBounds(RectT<double>& bounds);
  // Enables or disables the control, moving the focus as SetVisible does: 0; 1 when
  // unchanged; QZ_E_FAIL without a layout descriptor.
  virtual QZResult SetEnabled(bool enabled);
  // Gives the control what its skin entry describes: a clone of its placement record,
  // its looks (look 0 shown), font, label ("LABEL" of the string table, else of the create
  // parameters), focusability ("NOT_FOCUSABLE", else a negative TabStop) and clipping, and
  // lays it out. Applied again (a skin switch) the control keeps its visibility (changed
  // through SetVisible when the skin differs), its enabled state, its label and, at the
  // top, its window's place and size; its children are matched by entry name and set up
  // again (SetUpSubControls), none made anew. 0; QZ_E_INVALIDARG for null. Throws what building
  // a look throws (a skin part with a gradient fill): the control is then as it was,
  // except that on a skin switch a child's failure leaves the subtree partly switched
  // (every child still in place).
  virtual QZResult ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor);
  // Hands rootRect (window coordinates) up to the root window, cut on the way by each
  // control's bounds while clip holds and the controls clip to their parents (clipRect:
  // the same rectangle in this control's coordinates, read only while clip holds): 0; 1
  // when the control is hidden or the cut leaves nothing. The root window's side runs on
  // any thread; this on the main. Without a window at the top, rootRect arrives as
  // InvalidateChildRect's rect (there are no window coordinates to find).
  virtual QZResult InvalidateRect(const RectT<double>& rootRect, bool clip, const RectT<double>& clipRect);
  // Invalidates rect (the control's coordinates): InvalidateRect's result.
  virtual QZResult InvalidateChildRect(const RectT<double>& rect, bool clip);
  // The control under point (this control's coordinates), children in reverse paint
  // order: floating (unclipped) ones win by hit depth, clipped ones only inside the client
  // area (docked-on-both-axes ones anywhere), a control transparent at the point, busy
  // with a layout step or excluded is not hit itself. bounded: the point lies within the
  // ancestors' areas. outPoint: the point in the hit control's coordinates; depth in: the
  // depth to beat, out: the winner's. Null when nothing is hit. A control whose children
  // count as itself answers for them and remembers the child hit.
  virtual RCPtr<LControl> HitTest(const PointT<int32_t>& point, bool bounded, PointT<int32_t>& outPoint,
                                  int32_t& depth);
  // Hooks of the pointer operations. 0.
  virtual QZResult HandleLeftButtonDown(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult HandleLeftButtonUp(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult HandleRightButtonDown(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param);
  // The wheel over the control. Base: 1 (not handled).
  virtual QZResult OnMouseWheelV(const RCPtr<LMouseWheelParam>& param);
  virtual QZResult OnMouseWheelH(const RCPtr<LMouseWheelParam>& param);
  // A click, by button; each sends "NID_LEFT_CLICK" ... after its hook.
  virtual QZResult OnClick(const RCPtr<LMouseButtonParam>& param);
  // Hooks of the clicks. 0.
  virtual QZResult HandleLeftClick(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult HandleMiddleClick(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult HandleRightClick(const RCPtr<LMouseButtonParam>& param);
  // Whether point (the control's coordinates) lies in its rectangle.
  virtual bool ContainsPoint(const PointT<int32_t>& point);
  // The next eligible child after child in tab order (before it when backwards),
  // wrapping; null when none.
  virtual RCPtr<LControl> FocusNextChild(const RCPtr<LControl>& child, bool backwards);
  // The control's own key handling. Base: 1 (not handled).
  virtual QZResult OnKeyDown(const RCPtr<LKeyParam>& param);
  // A key a child did not use: siblings, then hot keys.
  virtual QZResult HandleKey(const RCPtr<LKeyParam>& param);
  // Tab, Shift+Tab, Ctrl+Tab.
  virtual QZResult OnNavigationKey(const RCPtr<LKeyParam>& param);
  // Timed behaviour, while the control holds idle requests. 0.
  virtual QZResult OnTick();
  // The control's own drawing under and over its children, once per update
  // rectangle. 0. The base bodies note that the control's class leaves the hook empty, and
  // painting calls it no more (with no clip pushed for it): an override never calls them.
  virtual QZResult DrawContent(const RCPtr<LRenderer>& renderer);
  virtual QZResult DrawOverlay(const RCPtr<LRenderer>& renderer);
  // Binds the control to the application: handler table, create parameters, tool tip,
  // local hot keys. Widgets call it first.
  virtual QZResult Initialize();
  // Reads "INITIAL_VALUE", "NOT_FOCUSABLE", "USE_PARENT_TOOLTIP", "WANTS_TAB".
  virtual QZResult ApplyCreateParams();
  // Hook called for each child CreateChildren made. 0.
  virtual QZResult OnChildAdded(const RCPtr<LControl>& child);
  // Hook after the looks were set up. 0.
  virtual QZResult OnLookChanged();
  // Show: a non-empty GetToolTipText makes a new child from the skin's "toolTip" entry
  // with that text and pops it up (LToolTip::Popup; a control of another class is just
  // shown); an earlier "toolTip" child is dismissed and detached first. Hide: the
  // "toolTip" child is dismissed (LToolTip::Dismiss; another class is hidden) and removed
  // at the next idle tick. 0; 1 when there is no text, no such skin entry or (hiding) no
  // tip; QZ_E_FAIL when it cannot be made.
  virtual QZResult CreateToolTip(bool show);
  // (scroll x, scroll y, width and height of the current look's client part,
  // GetLookRect(-1)).
  virtual RectT<double> ComputeClientExtent();
  // The tool-tip text.
  virtual WString GetToolTipText();
  // Recomputes the client area after the rectangle changed.
  virtual QZResult UpdateClientArea();
  // Hook called with the menu before a context menu opens. 0.
  virtual QZResult OnBeforeContextMenu(const RCPtr<LMenuDescriptor>& menu);
  // Sets a sub-control up from the skin on a skin switch. With child (set aside by
  // ApplyDescriptor): attaches it again and applies descriptor to it (none: it is kept as
  // it is). Without: creates the control of descriptor (deferred ones left: 1). 0; a
  // failure of attaching or creating (QZ_E_FAIL).
  virtual QZResult SetUpSubControls(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor);

  // ===========================================================================================
  // Internal virtual operations: no class overrides them (a widget may still call one)
  // ===========================================================================================

  // Bracket a change of the client area: Begin keeps the current look rectangle and
  // marks the update, End clears the mark (a back buffer would follow the look's size). 0.
  virtual QZResult EndClientUpdate();
  // The size the control takes with a "Self" size of 0 on each axis.
  virtual PointT<double> GetPreferredSize();
  // Sets the layout descriptor's ClipToParent: 0; 1 when unchanged; QZ_E_FAIL without
  // a descriptor. The ancestors' unclipped counts and the parent's paint order follow.
  virtual QZResult SetClipToParent(bool clip);
  // Re-anchors a running drag at the current state, so the next step continues from
  // there. 0.
  virtual QZResult RebaseDrag();
  // The control that takes dragged dropped at point (root-window coordinates): this
  // control, or the first accepting one up its clipped ancestors and beneath floating
  // controls that refuse; null when none (dragged and its subtree never are).
  virtual RCPtr<LControl> FindDropTarget(const RCPtr<LControl>& dragged, const PointT<double>& point);
  // Whether a descendant can take the focus for this control (a container hands it on).
  virtual bool CanTakeFocus();
  // Takes the control out of its tree: a top control first detaches its children; then
  // hidden, clipped again, capture given back, idle requests released, and the parent link
  // (or a top control's root-window link) dropped. 0.
  virtual QZResult Detach();
  // Detaches every child, last to first. 0.
  virtual QZResult DetachChildren();
  // Shows or hides the control (invalidated, conditions re-evaluated); a hidden control
  // hands the focus it has or contains to its parent, a shown one takes the focus its
  // parent has when it can. Whether it is now shown with its ancestors.
  virtual bool SetVisible(bool visible);
  // Replaces the look list; weights of 0 are added for new looks. 0.
  virtual QZResult SetLooks(const RCPtrArray<LLook, 1, 0>& looks);
  // Paints the control into renderer's current frame: its looks' client and non-client
  // parts, DrawContent, per look of weight above 0 the label and the clipped children,
  // DrawOverlay; the renderer's alpha factor is multiplied by the opacity and each look's
  // weight. updateRegion is in window (device) coordinates; the renderer's origin must be
  // the origin of the coordinates of mRect (the parent's content; the window for a top
  // control). Controls that do not clip to their parent are appended to deferred and not
  // painted: the root window paints each of them afterwards with deferredPass true. A look
  // that throws a framework exception is traced and skipped. Where opaque children cover all
  // of the update region the control would paint, its looks and label are not drawn (they
  // would be painted over); its hooks still run. Painting never changes the tree. Every
  // push on the renderer is popped before the return. 0; QZ_E_INVALIDARG for a null
  // renderer or a control of the other pass. Main thread.
  virtual QZResult Paint(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                         RCPtrArray<LControl, 1, 0>& deferred, bool deferredPass);
  // A press on child (or below it): the focus goes to the nearest control that may
  // hold it.
  virtual QZResult FocusOnMouseDown(const RCPtr<LControl>& child);
  // Hooks of the pointer operations. 0.
  virtual QZResult HandleMiddleButtonDown(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult HandleMiddleButtonUp(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult HandleRightButtonUp(const RCPtr<LMouseButtonParam>& param);
  // A click, by button; each sends "NID_LEFT_CLICK" ... after its hook.
  virtual QZResult OnLeftClick(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult OnMiddleClick(const RCPtr<LMouseButtonParam>& param);
  virtual QZResult OnRightClick(const RCPtr<LMouseButtonParam>& param);
  // Offers a key the control passes on to its siblings: 0 when one used it, else 1.
  virtual QZResult OnSiblingKey(const RCPtr<LKeyParam>& param);
  // Orders the "NID_SIBLING_KEY" subscribers for a key passed on by passer; order
  // receives indices into subscribers.
  virtual QZResult SortChildren(const RCPtr<LControl>& passer,
                                const std::vector<RCPtr<LNotificationClient>>& subscribers, Array<uint32_t>& order);
  // The parent's font changed: a control that follows it resolves its font again.
  virtual QZResult OnParentFontChanged();
  // The parent was resized or scrolled: relays out a control docked on an axis. 0.
  virtual QZResult OnParentResized(double width, double height);
  // Child's size changed: relays out (unless inside its own storing step), then
  // OnChildLayoutChanged. 0.
  virtual QZResult OnSizeChanged(const RCPtr<LControl>& child);
  // Replaces the children by those descriptor's SubControls make (deferred ones left
  // out), then lays out. 0.
  virtual QZResult CreateChildren(const RCPtr<LControlDescriptor>& descriptor);
  // A copy of the name.
  virtual WString GetName() const;
  // Hook after SetFont changed the font. 0.
  virtual QZResult OnFontChanged();

  // ===========================================================================================
  // QZ::UITarget (ControlInput.cpp, ControlFocus.cpp, ControlKeys.cpp; SetCapture in
  // ControlConditions.cpp, OnRootResized in ControlLookups.cpp)
  // ===========================================================================================

  QZResult OnMouseEnter() override;
  QZResult OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
  QZResult OnMouseDown(const RCPtr<LMouseButtonParam>& param) override;
  QZResult OnMouseUp(const RCPtr<LMouseButtonParam>& param) override;
  QZResult OnMouseLeave() override;
  // Refused (1, nothing changed) for a hidden or disabled control, one inside a disabled
  // ancestor, one holding the capture, an unknown button or one the root window does not
  // show held. Otherwise records the press point, stops the axis animations, takes the
  // capture at the root window, sets the button's down flag (the left button also clears
  // the drag mode) and announces; a drag threshold of 0 turns the press into a drag at once
  // (a second announcement, then OnDragMove at the press point when a drag mode is set). 0.
  QZResult SetCapture(uint32_t button, int32_t x, int32_t y) override;
  QZResult ReleaseCapture() override;
  QZResult OnKey(const RCPtr<LKeyParam>& param) override;
  QZResult OnMouseWheel(const RCPtr<LMouseWheelParam>& param) override;
  QZResult OnMouseHWheel(const RCPtr<LMouseWheelParam>& param) override;
  // Remembers the rounded rectangle and relays out; a root control whose rectangle stayed
  // while the window's size changed resizes the OS window to it. 0.
  QZResult OnRootResized(const SizeT<int32_t>& size) override;
  bool CanReleaseFocus() override;
  bool KillFocus() override;
  // Base: false; 1 (not taken).
  bool CanDropFiles(const RCPtr<LDraggedFiles>& files) override;
  QZResult DropFiles(const RCPtr<LDraggedFiles>& files) override;

  // ===========================================================================================
  // Shared-object and notification plumbing (Control.cpp)
  // ===========================================================================================

  // Whether the control's handler tables hear what it receives. A control made by its
  // create function (CreateControlOf) accepts notifications once it is made whole (after
  // OnLookChanged); one made in code accepts them from its construction.
  bool AcceptsNotifications() const { return mAcceptsNotifications; }
  void SetAcceptsNotifications(bool accepts) { mAcceptsNotifications = accepts; }
  // Routes a received notification through the control's handler table while the control
  // accepts notifications: the handler's answer (non-zero: handled); 0 without a table.
  // Every class with a table of its own derives from LHandlerTableControl
  // (HandlerTableControl.h), so that a notification is offered from the most derived
  // class's table down to this one, the first that handles it ending the search.
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override;
  // Takes the (distributor, id) route out of the control's handler table, then removes the
  // registration (LNotificationClient's answer). Classes with tables of their own forget
  // the route in theirs first, then call their base's (LHandlerTableControl).
  QZResult UnregisterNotification(LNotificationDistributor* distributor, NotificationName id) override;
  // Breaks the cycles the control is part of: the children (each loses its parent link),
  // the menu-item updater's link, the remembered and pending controls; then every client
  // registered at the control, every registration the control holds, and its tag. Then
  // the base test.
  QZResult ReleaseInternalReferences() override;

protected:
  // Sends a notification of name carrying parameter through the control's distributor:
  // SendNotification's answer, QZ_E_INVALIDARG when no notification can be made of name.
  [[nodiscard]] QZResult Notify(NotificationName name, const RCPtr<LRefCountedObject>& parameter = nullptr);
  // Notify for an announcement nobody needs to answer (a change, a click): the listeners'
  // answers and "nobody listens" (1) are alike to the control, so nothing is returned.
  void Announce(NotificationName name, const RCPtr<LRefCountedObject>& parameter = nullptr);

  // The two steps of the receiver pair of a class T with a table of its own
  // (LHandlerTableControl in HandlerTableControl.h builds it on them).
  //
  // The table's answer while it exists and the control accepts notifications; else 0 (not
  // handled: the base's tables are asked next).
  template <class T>
  QZResult OfferToHandlerTable(const RCPtr<LNotificationHandler<T>>& table,
                               const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) const {
    // A handler may replace the table while it runs.
    const RCPtr<LNotificationHandler<T>> held = table;
    return held && mAcceptsNotifications ? held->HandleNotification(distributor, notification) : QZResult(QZ_OK);
  }
  // Takes the route of (distributor, id) out of table, registration aside; nothing for a
  // null table or distributor (the routes from any source stay).
  template <class T>
  static void ForgetHandlerRoute(const RCPtr<LNotificationHandler<T>>& table,
                                 const LNotificationDistributor* distributor, NotificationName id) {
    if (table && distributor) {
      table->ForgetRoute(distributor, id);
    }
  }

  // --- Helpers of the implementation files (each file adds its own below its banner) ---

  // Control.cpp
  // The unclipped controls a child brings to its parent: its count, plus itself when it does
  // not clip.
  uint32_t GetUnclippedContribution() const;

  // ControlPaint.cpp, ControlHitTest.cpp
  // The one look of weight above 0, when there is exactly one; -1 otherwise.
  int32_t GetSoleLook() const;
  // Whether the control paints every pixel of its rectangle opaquely before its children
  // and hooks: shown, fully opaque, clipped to its parent, with one look of weight 1 that
  // is opaque (LLook::IsOpaque) and as large as the control.
  bool PaintsOpaquely() const;
  // Whether each part of updateRegion this control would paint under the renderer's
  // current state lies under one opaque child (PaintsOpaquely), which paints over it:
  // its own looks need not be drawn there. sole is GetSoleLook().
  bool CoveredByOpaqueChildren(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                               int32_t sole) const;
  // Calls draw (DrawContent or DrawOverlay) once under a clip of each rectangle of
  // updateRegion that meets the renderer's clip.
  void DrawOnUpdateRects(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                         QZResult (LControl::*draw)(const RCPtr<LRenderer>&));
  static constexpr uint8_t kEmptyDrawContent = 1;
  static constexpr uint8_t kEmptyDrawOverlay = 2;
  // Paints the clipped children for look lookIndex: those docked on neither axis, then on
  // one, both in the client clip, then those docked on both axes, only offset.
  void PaintChildren(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                     RCPtrArray<LControl, 1, 0>& deferred, int32_t lookIndex);
  // Paints the run of clipped children from first (paint order) docked on dockedAxes axes
  // under clip; a client clip off the renderer's clip paints none of them but hands over
  // their unclipped descendants. The position after the run.
  uint32_t PaintChildPass(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& updateRegion,
                          RCPtrArray<LControl, 1, 0>& deferred, uint32_t first, int32_t dockedAxes,
                          const ClipDescriptor& clip);
  // The clip of the children for look lookIndex: the look's client rectangle with the
  // origin at the scrolled content's, or (clipToClient false) that origin alone.
  ClipDescriptor ChildClip(int32_t lookIndex, bool clipToClient) const;

  // ControlInput.cpp, ControlFocus.cpp, ControlKeys.cpp, ControlInitialize.cpp
  // The gate of pointer and key input: shown with every ancestor, its own enabled flag set,
  // and no parent or a parent enabled with every ancestor.
  bool AcceptsInput() const;
  // The body of both wheels: up the tree, and beneath a floating control that does not
  // take the wheel; 1 when no control took it, -1 for null.
  QZResult RouteWheel(const RCPtr<LMouseWheelParam>& param);
  // The first (backwards: the last) child in tab order that takes the focus or passes it
  // on; null when none.
  RCPtr<LControl> FindFocusableChild(bool backwards);
  // The root window's hot keys, then the application's: 1 when neither binds the key.
  QZResult DispatchHotKeys(const RCPtr<LKeyParam>& key);
  // The root window moves the focus on to the next window (or wraps): 1 without a window.
  QZResult CycleWindowFocus(const RCPtr<LKeyParam>& key);
  // Appends this control to the key's path and hands the key to the parent's
  // OnNavigationKey, or at the top to the window's focus cycling.
  QZResult PassNavigationUp(const RCPtr<LKeyParam>& key);
  // A command a local hot key raised: OnMenuHotKey when a menu registered it, else the
  // control's notification handling (ReceiveNotification from itself).
  QZResult HandleOwnCommand(const RCPtr<LNotification>& command);
  // The control's handler table, made on first use.
  LNotificationHandler<LControl>& HandlerTable();

  // ControlLayout.cpp, ControlDescriptorApply.cpp, ControlState.cpp
  // Invalidates the control's area (with its ClipToParent) and, when it has any, the
  // areas of its descendants that do not clip.
  void InvalidateArea();
  // The extent on axis of the children a limit names ("Children": all of them, else the
  // child of that name); false when there is no such child.
  bool ChildrenExtentFor(const WString& name, int32_t axis, double& extent) const;
  // How much the current look's text needs the control to grow on axis beyond size (the
  // other axis being otherSize), in whole pixels; 0 when it fits. The X measure clears the
  // text block's wrap flag.
  double TextGrowth(int32_t axis, double size, double otherSize);
  // Stores one axis's blocks; a change of docking re-sorts this control's and its
  // parent's child orders.
  void StorePlacement(int32_t axis, const LayoutPosition& position, const LayoutSize& size);
  // Whether the stored blocks of axis equal these.
  bool PlacementIs(int32_t axis, const LayoutPosition& position, const LayoutSize& size) const;
  // Appends to looks one look per slot of the skin entry's look list (an empty slot stays
  // empty). Throws what building a look throws.
  static void BuildLooks(const RCPtr<LControlDescriptor>& descriptor, bool wrap, RCPtrArray<LLook, 1, 0>& looks);
  // The skin switch's children: each child entry set up with the set-aside child made from
  // the entry of that name (or none), then the set-aside children left over.
  void MatchChildren(const RCPtr<LControlDescriptor>& descriptor, RCPtrArray<LControl, 1, 0>& setAside);
  // A shown or enabled control takes the focus its parent holds when it can.
  void TakeFocusFromParent();
  // Resolves the font against the base font (the parent's when inherited, else the
  // application's default): each value marked as from the base is taken from it (the size
  // times sizeFactor); the base itself when all three equal it. Sets it and remembers the
  // marks: SetFont's result, QZ_E_FAIL when a base is needed and there is none.
  QZResult ApplyResolvedFont(const WString& face, bool faceFromBase, float size, bool sizeFromBase, float sizeFactor,
                             int32_t style, bool styleFromBase);

  // ControlDrag.cpp, ControlIdle.cpp
  // The scrolling a drag step asks of its host, per axis: -1 towards the start, 1 towards
  // the end, 0 none; and how far the pointer reaches into the band.
  struct DragScrollWish {
    int32_t direction[2] = {0, 0};
    double overshoot[2] = {0.0, 0.0};

    bool Any() const { return direction[0] != 0 || direction[1] != 0; }
  };
  // Clamps the displacement d to the parent's visible content (or what GetDragBounds makes
  // of it), sizes never below 1, and says where the parent should scroll (modes 3, 5).
  DragScrollWish LimitDisplacement(const PointT<double>& point, PointT<double>& d);
  // The part of the parent's scrolling since the drag began that a docked axis takes back.
  double DockedScrollShift(int32_t axis) const;
  // Writes the dragged position (modes 0-3) or the dragged edges (modes 4, 5) into the
  // layout descriptor through SetAxisPlacement.
  void MoveByDrag(const PointT<double>& d);
  void ResizeByDrag(const PointT<double>& d);
  // Mode 6: the velocity and the content follow the pointer; false when no time passed
  // since the last move (the displacement then stays for the next one).
  bool ScrollKinetically(const PointT<double>& previous, const PointT<double>& d);
  // Mode 1: finds the target under windowPoint, announces the change of target (leave,
  // cursor, enter, over) and says on which of its edges the target wants to scroll.
  RCPtr<LControl> TrackDropTarget(const PointT<double>& windowPoint, DragScrollWish& wish);
  DragScrollWish DropTargetWish(const RCPtr<LControl>& target, const PointT<double>& local);
  // Starts, steers or stops host's automatic scrolling on both axes for this control.
  void DriveAutoScroll(const RCPtr<LControl>& host, const DragScrollWish& wish);
  // One tick of the axis's automatic scrolling or fling.
  void StepAutoScroll(int32_t axis);
  // One tick of the axis's growing or shrinking, of the move animation, of a held press.
  void StepSizeAnimation(int32_t axis);
  void StepMoveAnimation();
  void HandOverPress();

  // Timed placement for widgets: grows (or shrinks) axis by one pixel per millisecond of
  // the application clock, or moves the position Abs values towards target by as many
  // whole pixels per axis; each tick lays out, and a layout that leaves the rectangle as it
  // was (PerformLayout's 1) ends it. Each running activity holds one idle request. 0 (the
  // idle subscription's error); QZ_E_INVALIDARG for another axis; QZ_E_FAIL for a move
  // without a layout descriptor.
  QZResult StartSizeAnimation(int32_t axis, bool grow);
  QZResult StartMoveAnimation(const PointT<double>& target);

  // ===========================================================================================
  // Fields. Widgets reach them only through the operations above, which keep them
  // consistent; the protected ones are left to the test doubles, which set up state
  // directly.
  // ===========================================================================================

  RCPtr<LNotificationHandler<LControl>> mNotificationHandler; // made by Initialize
  RCPtr<LControlDescriptor> mDescriptor;                      // the skin entry applied last
  RCPtr<LLayoutDescriptor> mLayout;                           // the control's own clone
  RectT<double> mRect;
  PointT<double> mScrollOffset;

  // Condition flags.
  bool mHasFocus = false;
  bool mContainsFocus = false;
  bool mMouseOver = false;
  bool mCapture = false;
  bool mPressed[3] = {false, false, false};  // left, middle, right: down, no drag yet
  bool mDragging[3] = {false, false, false}; // left, middle, right: dragging
  bool mLayoutBusy = false;                  // the drag step is repositioning the control
  bool mChildrenHitAsSelf = false;

  // What HitTest found under this control when children count as itself.
  RCPtr<LControl> mHitChild;
  PointT<int32_t> mHitPoint;
  int32_t mHitDepth = 0;

  // Pointer and drag state.
  RCPtr<LMouseButtonParam> mLastLeftDown;
  PointT<double> mPressPoint; // the drag origin, parent coordinates
  RCPtr<LControl> mDropTarget;
  PointT<double> mDisplacement;
  uint32_t mPressTime = 0;

  RCPtrArray<LLook, 1, 0> mLooks;
  ArrayBuffer<float, 1, 0, 1, 8, &GetSystemAllocator> mLookWeights;
  float mOpacity = 1.0f;
  RCPtr<LStringTable> mStringTable;
  bool mWantsTab = false;
  HotKeyMap mHotKeys; // local hot keys ("LHK")
  bool mNotFocusable = true;
  bool mLooksFollowScroll = false;

  RCPtr<LFont> mFont;
  WString mLabel;
  RCPtr<LMenuDescriptor> mContextMenu;
  WString mToolTipText;           // "TOOLTIP"
  bool mUseParentToolTip = false; // "USE_PARENT_TOOLTIP"
  int32_t mIdleRequests = 0;

  // Value state.
  double mRangeMinimum = 0.0;
  double mRangeMaximum = 0.0;
  int32_t mScaleType = 0;

  // Auto-scroll of this control's content, per axis (X, Y).
  struct AxisScroll {
    bool active = false;
    double lastStepTime = 0.0; // seconds
    double speed = 0.0;        // pixels per second
    double rangeStart = 0.0;
    double rangeEnd = 0.0;
    RCPtr<LControl> moved; // the dragged control that follows the content
  };
  AxisScroll mAutoScroll[2];

  // Fling state.
  bool mFlingActive[2] = {false, false};
  PointT<double> mFlingVelocity; // pixels per second

  CursorHandle mCursor = 0;
  CursorHandle mSavedCursor = 0;
  RCPtrArray<LControl, 1, 0> mPendingRemoval;

  // Back buffer.
  bool mClientUpdate = false;
  RectT<double> mSavedLookRect;

  bool mIdleOnPress = false;

  // Timed placement (idle tick): per axis growing and shrinking, a move animation, a press
  // handed over to another control, and the switch that suspends all but removals.
  bool mGrowing[2] = {false, false};
  bool mShrinking[2] = {false, false};
  bool mMoveAnimating = false;
  bool mHandOverEnabled = false;
  RCPtr<LControl> mHandOverTarget;
  PointT<int32_t> mHandOverPoint;
  bool mTickSuspended = false;

private:
  // GetLook's choice without taking a reference: the paint, hit-test and geometry walks
  // ask for it on every control they meet.
  LLook* FindLook(int32_t index) const;
  // GetRootWindowRef without a reference taken.
  const RCPtr<IRootWindow>& TreeRootWindow() const;

  WString mName;
  bool mHover = false;            // forced hover (RaiseConditionChange)
  RCPtr<IRootWindow> mRootWindow; // a top control's
  double mValue = 0.0;
  RCPtr<LMenuItemUpdater> mMenuItemUpdater;
  RCPtr<LNotificationCenter> mNotificationCenter; // the application's, set by Initialize
  bool mApplied = false;
  uint32_t mGrowTime[2] = {0, 0};
  uint32_t mShrinkTime[2] = {0, 0};
  PointT<double> mMoveTarget;
  PointT<double> mMoveCurrent;
  uint32_t mMoveAnimationTime = 0;
  uint32_t mUnclippedCount = 0;
  uint8_t mEmptyPaintHooks = 0; // kEmptyDrawContent, kEmptyDrawOverlay: the base hooks were reached
  RCPtr<LConditionsParam> mConditionsParam;
  PointT<double> mPressPointStep; // per-tick step of the drag origin
  int32_t mDragMode = kDragNone;
  uint32_t mDragAxes = 0;
  SizeT<double> mDragStartSize;
  PointT<double> mDragStartScroll;      // the parent's scroll offset at the start
  PointT<double> mDragStartPositionAbs; // "XPositionAbs", "YPositionAbs"
  SizeT<double> mDragStartSizeAbs;      // "XSizeAbs", "YSizeAbs"
  bool mDragWasUnclipped = false;
  bool mDockedAtStart[2] = {false, false};
  int32_t mDragThreshold = 1;
  bool mInDragMove = false;
  uint32_t mMoveTime = 0;
  uint32_t mPreviousMoveTime = 0;
  RCPtr<LControl> mParent;
  bool mFocusBoundary = false; // focus scope
  // Text and label state: how the font follows the parent's.
  bool mFontInheritsFromParent = false; // "FontInheritsFromParent"
  bool mFontSizeIsRelative = false;     // "FontSizeIsRelative"
  bool mFontFaceFromBase = false;
  bool mFontSizeFromBase = false;
  bool mFontStyleFromBase = false;
  float mFontSizeFactor = 0.0f;
  bool mTopLevelPlacement = false;
  bool mLayoutPending = false;
  uint32_t mReleaseTime = 0;
  double mFlingDeceleration = 1000.0;
  ChildControlList mChildren;
  bool mBuffered = false;
  bool mBufferFirstPassOnly = true;
  RCPtr<LRenderContextInfo> mRenderContext;
  PointT<double> mBufferOrigin;
  RectT<double> mVisibleContent; // the last visible rectangle of the buffered content
  RectListT<int32_t> mUpdateRegion;
  RectListT<int32_t> mSecondRegion;
  bool mUpdateSuspended = false;
  bool mReapplying = false;
  // Scrolling the content: set for the whole of SetScrollOffset; while a child hears of it,
  // whether that child is docked.
  bool mScrolling = false;
  bool mScrollChildDocked = false;
  bool mInSetRect = false;
  bool mExcludedFromHitTest = false;
  bool mAcceptsNotifications = true;
};

// The companion of a control through which a menu asks whether its items are enabled. It
// holds its control; that link counts as one of the control's internal references and is
// broken when the control releases them.
class LMenuItemUpdater : public virtual LRefCountedObject {
public:
  static RCPtr<LMenuItemUpdater> Create(const RCPtr<LControl>& control);
  ~LMenuItemUpdater() override;

  // Null once the control let go of its updater.
  const RCPtr<LControl>& GetControl() const { return mControl; }
  // The control's IsMenuItemEnabled; 1 without a control.
  QZResult IsMenuItemEnabled(const LMenuDescriptor* menu, int32_t itemIndex, const WString& command,
                             LMenuItemState& state);

private:
  friend class LControl;

  explicit LMenuItemUpdater(const RCPtr<LControl>& control);

  RCPtr<LControl> mControl;
};

} // namespace QZ

// The slot numbers of LControl's virtual operations: their places in the control's operation
// table as the framework's documentation numbers them (0-94, then the control's further
// operations from 95; widgets add theirs after). Slots 46 and 56, hooks that nothing names
// or calls, are not declared. * slot 20 is also known as ComputeLayout; slot 81 is both the
// font inheritance and OnParentFontChanged.
//
//    0 SetText                   33 SetFocus                  68 OnLeftClick
//    1 SetValue                  34 SetFocusable              69 OnMiddleClick
//    2 OnValueChanged            35 CanTakeFocus              70 OnRightClick
//    3 SetValueRange             36 OnConditionsChanged       71 HandleLeftClick
//    4 BeginClientUpdate         37 Detach                    72 HandleMiddleClick
//    5 EndClientUpdate           38 DetachChildren            73 HandleRightClick
//    6 ScrollContent             39 SubscribeNotifications    74 ContainsPoint
//    7 OnChildLayoutChanged      40 OnChildRemoved            75 FocusNextChild
//    8 GetPreferredSize          41 SetVisible                76 OnKeyDown
//    9 GetContentExtent          42 IsTransparentAtPoint      77 OnSiblingKey
//   10 SetClipToParent           43 GetColorAtPoint           78 HandleKey
//   11 SetScrollOffset           44 IsMenuItemEnabled         79 OnNavigationKey
//   12 GetStringTable            45 GetContextMenuDescriptor  80 SortChildren
//   13 AcceptsTextInput          47 ShowLook                  81 OnParentFontChanged
//   14 GetKeyboardTarget         48 SetLooks                  82 OnParentResized
//   15 CanPaste                  49 AdjustRootWindowBounds    83 OnSizeChanged
//   16 PerformEdit               50 SetEnabled                84 OnTick
//   17 SetLayoutState            51 ApplyDescriptor           85 DrawContent
//   18 OnDrag                    52 Paint                     86 DrawOverlay
//   19 RebaseDrag                53 InvalidateRect            87 CreateChildren
//   20 OnDragMove*               54 InvalidateChildRect       88 Initialize
//   21 OnDragMoved               55 HitTest                   89 ApplyCreateParams
//   22 OnDragEnd                 57 FocusOnMouseDown          90 OnChildAdded
//   23 FindDropTarget            58 HandleLeftButtonDown      91 OnLookChanged
//   24 AcceptsDrop               59 HandleLeftButtonUp        92 GetName
//   25 GetDragAutoScrollEdges    60 HandleMiddleButtonDown    93 CreateToolTip
//   26 GetSizeLimits             61 HandleMiddleButtonUp      94 ComputeClientExtent
//   27 GetContentRect            62 HandleRightButtonDown     95 GetToolTipText
//   28 GetDragBounds             63 HandleRightButtonUp       96 UpdateClientArea
//   29 OnDragEnter               64 HandleMouseMove           97 OnFontChanged
//   30 OnDragOver                65 OnMouseWheelV             98 OnBeforeContextMenu
//   31 OnDragLeave               66 OnMouseWheelH             99 SetUpSubControls
//   32 OnDrop                    67 OnClick
