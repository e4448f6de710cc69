#pragma once
// LStatusView: the status object of the device view, shared by reference. It keeps no state
// of its own: the device view makes one when it is initialised and hands it out
// (LDeviceView::GetStatusView), so that callers hold one object for the view's lifetime.
//
//   QZ::RCPtr<LStatusView> status = LStatusView::Create();
//
// Any thread (it has nothing to guard).

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/ObjectBase/RefCountedObject.h"

class LStatusView : public virtual QZ::LRefCountedObject {
public:
  // A new status object, held by the returned pointer only.
  static QZ::RCPtr<LStatusView> Create();

protected:
  LStatusView() = default;
  ~LStatusView() override = default;
};
