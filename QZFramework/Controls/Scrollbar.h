#pragma once
// QZ::LScrollbar ("Framework.ScrollBar"): a position from 0.0 (start) to 1.0 (end), shown
// by a thumb in a channel between two arrow buttons. Its skin gives it the parts by name:
// buttons "dec" and "inc", a "channel" ("Framework.ScrollChannel", a panel) and, inside
// the channel, a button "thumb". Every change of the position goes out as the control's
// "NID_VALUE_CHANGE", the one notification an owner needs.
//
//   factory->RegisterControlCreateFunction(u"Framework.ScrollBar", &QZ::CreateControlOf<QZ::LScrollbar>);
//   factory->RegisterControlCreateFunction(u"Framework.ScrollChannel", &QZ::CreateControlOf<QZ::LPanel>);
//   bar->SetValueRange(0, contentHeight - viewHeight, 0);   // keeps the position in these units
//   bar->SetThumbRatio(viewHeight / contentHeight);
//   bar->UpdateClientArea();                                 // the thumb takes its length
//   listener->RegisterNotification(bar, u"NID_VALUE_CHANGE");
//
// The user moves it by the arrows (a line step at the press, after 0.3 s, then every 0.1 s),
// by holding the channel before or after the thumb (a page step at the press, after 0.4 s,
// then every 0.2 s, until the thumb reaches the pointer; look 1 of the channel shows over
// the pressed stretch), by dragging the thumb (a value set from outside meanwhile waits for
// the drag's end), and by the keys its mask names, offered by its parent
// ("NID_SIBLING_KEY"). The delays are measured with the application clock in seconds.
//
// A missing part disables what needs it: no channel, no paging and no thumb; no thumb, no
// thumb geometry. UI thread, like every control.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"

namespace QZ {

class LButton;

class LScrollbar : public LHandlerTableControl<LScrollbar, LControl> {
public:
  // Bits of the key mask.
  static constexpr uint32_t kKeyUp = 0x01;
  static constexpr uint32_t kKeyDown = 0x02;
  static constexpr uint32_t kKeyLeft = 0x04;
  static constexpr uint32_t kKeyRight = 0x08;
  static constexpr uint32_t kKeyPageUp = 0x10;
  static constexpr uint32_t kKeyPageDown = 0x20;
  static constexpr uint32_t kKeyHome = 0x40;
  static constexpr uint32_t kKeyEnd = 0x80;

  // Pressed regions of the channel.
  static constexpr int32_t kRegionNone = 0;
  static constexpr int32_t kRegionBefore = 1;
  static constexpr int32_t kRegionAfter = 2;

  // The value range 0..100, linear.
  LScrollbar(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's operations --------------------------------------------------------

  // During a thumb drag value only waits (the current value is returned); otherwise it is
  // clamped to 0..1, stored (with "NID_VALUE_CHANGE" when it changed), the thumb placed,
  // and the new value returned.
  double SetValue(double value) override;
  // Keeps the value in range units across the change: valid ranges (linear, or
  // logarithmic with both bounds above 0) are stored, then the value is set again from the
  // same units. 0; QZ_E_INVALIDARG for an invalid range (the old range stays).
  QZResult SetValueRange(double minimum, double maximum, int32_t scale) override;
  // The channel's track (its current look's client rectangle along the axis), then the
  // thumb's length and place. 0.
  QZResult UpdateClientArea() override;
  // Channel paging while held. 0.
  QZResult OnTick() override;
  // Finds and wires the parts, works out the orientation (vertical unless "inc" lies
  // further right of "dec" than below it), places the thumb, sets the key mask 0xFF. 0;
  // QZ_E_FAIL when the base fails.
  QZResult Initialize() override;
  // The bar and its parts never take the focus; the thumb's breadth becomes its shortest
  // length; then UpdateClientArea. 0.
  QZResult OnLookChanged() override;

  // --- The bar's own ----------------------------------------------------------------------

  // Stores the low 8 bits of mask (kKeyUp ...): 0; QZ_E_INVALIDARG when mask has higher bits
  // (the low 8 are stored all the same). The first non-zero mask subscribes the bar to its
  // parent's "NID_SIBLING_KEY".
  QZResult SetKeyMask(uint32_t mask);
  uint32_t GetKeyMask() const { return mKeyMask; }

  bool IsVertical() const { return mVertical; }
  // The steps of an arrow and of a page, as parts of the whole range (0.02, 0.2).
  double GetLineStep() const { return mLineStep; }
  double GetPageStep() const { return mPageStep; }
  void SetLineStep(double step) { mLineStep = step; }
  void SetPageStep(double step) { mPageStep = step; }
  // The thumb's length as a share of the channel (0.1): the visible share of the content.
  // Takes effect at the next UpdateClientArea.
  double GetThumbRatio() const { return mThumbRatio; }
  void SetThumbRatio(double ratio) { mThumbRatio = ratio; }
  double GetThumbLength() const { return mThumbLength; }
  double GetMinimumThumbLength() const { return mMinimumThumbLength; }
  // The thumb's travel in the channel's client coordinates along the axis: 0 to the
  // channel's length.
  double GetChannelStart() const { return mChannelStart; }
  double GetChannelEnd() const { return mChannelEnd; }
  // The region (kRegionNone, kRegionBefore, kRegionAfter) of a point of the channel's
  // client area along the axis: before the thumb up to its start, after it from its end.
  int32_t RegionAt(double position) const;
  int32_t GetPressedRegion() const { return mPressedRegion; }
  bool IsDragging() const { return mDragging; }
  // A value set during a drag, or -1 for none; applied at the drag's end while apply is on.
  double GetDeferredValue() const { return mDeferredValue; }
  void SetApplyDeferredValue(bool apply) { mApplyDeferredValue = apply; }
  // Channel paging delays in seconds (0.4 and 0.2 by default).
  void SetPageRepeatTimes(double firstDelay, double interval) {
    mPageFirstDelay = firstDelay;
    mPageRepeatInterval = interval;
  }
  const RCPtr<LControl>& GetThumb() const { return mThumb; }
  const RCPtr<LControl>& GetChannel() const { return mChannel; }

private:
  int32_t Axis() const { return mVertical ? 1 : 0; }
  // Sets the thumb's length along the axis, then places it.
  void UpdateThumbLength();
  // Places the thumb at the value (not while it is dragged).
  void PositionThumb();
  // Writes the thumb's position (or its length) along the axis into its placement.
  void PlaceThumbAt(double position);
  void SizeThumbTo(double length);
  // The pointer along the channel's track: the window's pointer, or the press without a
  // window. False without a channel.
  bool PointerInChannel(double& position) const;
  // Look 1 over the pressed stretch while the pointer hits it; otherwise look 0 alone.
  void UpdateChannelLook();
  void StepPage();

  QZResult OnChannelPress(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnChannelHover(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnThumbDrag(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnThumbMove(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnArrowRepeat(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnSiblingKeyOffer(const RCPtr<LNotificationDistributor>& distributor,
                             const RCPtr<LNotification>& notification);

  bool mVertical = true;
  RCPtr<LControl> mThumb;
  RCPtr<LControl> mChannel;
  RCPtr<LButton> mDec;
  RCPtr<LButton> mInc;
  double mLineStep = 0.02;
  double mPageStep = 0.2;
  double mThumbRatio = 0.1;
  double mMinimumThumbLength = 10.0;
  double mThumbLength = 0.0;
  double mChannelStart = 0.0;
  double mChannelEnd = 0.0;
  bool mDragging = false;
  PointT<int32_t> mGrabOffset;
  int32_t mPressedRegion = kRegionNone;
  double mPressPosition = 0.0; // along the track, for a bar outside a window
  double mPageRepeatInterval = 0.2;
  double mPageFirstDelay = 0.4;
  double mPageLastTime = 0.0;
  double mPageTimeLeft = 0.0;
  double mDeferredValue = -1.0;
  bool mApplyDeferredValue = true;
  uint32_t mKeyMask = 0;
  bool mKeysSubscribed = false;
};

} // namespace QZ
