#pragma once
// QZ::LStatusBar ("Framework.StatusBar"): the one-line status text of a window, shown by
// its label part "label1". A text is set at once, or posted and shown at the next idle
// tick; the last one delivered wins.
//
//   bar->SetStatusText(u"Loading Skin...");      // shown now, the window redrawn
//   bar->PostStatusText(bar->GetIdleText());     // shown at the next idle tick
//
// The application's status texts (QZ::SetApplicationStatusText below) go to one
// process-wide status bar. Nothing in the program makes a status bar that one, so those
// texts end at the missing status bar (QZ_E_FAIL); tests set it with
// QZ::SetApplicationStatusBarForTesting.
//
// UI thread, like every control; PostStatusText may be called on any thread.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Notification/NotificationQueue.h"

namespace QZ {

class IControlApplication;
class LLabel;

class LStatusBar : public LHandlerTableControl<LStatusBar, LControl>, private LNotificationQueue {
public:
  LStatusBar(const RCPtr<LControl>& parent, const WString& name);

  // Delivers what was posted before (so that an older posted text cannot overwrite this
  // one later), shows text in the label and has the root window lay out and redraw at
  // once. 0; 1 without a label part (the text is ignored).
  QZResult SetStatusText(const WString& text);
  // Posts text to be shown at the next idle tick: 0; QZ_E_INVALIDARG or QZ_E_FAIL from the
  // queue (before Initialize, or once the bar is released). Any thread.
  QZResult PostStatusText(const WString& text);
  // The text the bar shows when idle: the label part's "LABEL" (string table first, then
  // its create parameters), read at Initialize; empty without one.
  WString GetIdleText() const { return mIdleText; }

  // LControl's Initialize, then: the handler of "NID_SET_STATUS_TEXT" from the bar itself,
  // the queue attached to the bar's distributor with an idle request to drain it, the label
  // part and the idle text. The base's result, or the handler's failure.
  QZResult Initialize() override;
  // The base's, then not focusable. 0.
  QZResult ApplyCreateParams() override;
  // Delivers the posted texts. 0.
  QZResult OnTick() override;
  // Shuts the queue down, then LControl's.
  QZResult ReleaseInternalReferences() override;

private:
  // "NID_SET_STATUS_TEXT": the posted text into the label. 1 (taken).
  QZResult OnSetStatusText(const RCPtr<LNotificationDistributor>& distributor,
                           const RCPtr<LNotification>& notification);
  // The label shows text (nothing without one).
  void ShowText(const WString& text);

  RCPtr<LLabel> mLabel;
  WString mIdleText;
};

// The status bar the application's status texts go to; null unless a test set one.
RCPtr<LStatusBar> GetApplicationStatusBar();
// Makes bar (null: none) the application's status bar. For tests only: no code of the
// program makes a status bar the application's.
void SetApplicationStatusBarForTesting(const RCPtr<LStatusBar>& bar);

// The application's status text, for the framework application's SetStatusText and
// RestoreStatusText: needs a main window (the application's first root window, held for
// the call) and the application's status bar. immediate: LStatusBar::SetStatusText, else
// LStatusBar::PostStatusText; that call's result, or QZ_E_FAIL without a main window or a
// status bar.
QZResult SetApplicationStatusText(IControlApplication& application, const WString& text, bool immediate);
// The same with the status bar's idle text.
QZResult RestoreApplicationStatusText(IControlApplication& application, bool immediate);

} // namespace QZ
