#pragma once
// QZ::LHandlerTableControl<T, Base>: the handler table and receiver pair of every control
// class T with handlers of its own. T derives from it with the class it is built on as
// Base (LControl or a widget). A received notification is offered to T's table first,
// while T accepts notifications, and only when that table does not handle it to Base's
// tables, so that the most derived table answers first; an unregistration forgets the
// route in T's table and then in every table of Base.
//
//   class LKnobPanel : public QZ::LHandlerTableControl<LKnobPanel, QZ::LControl> {
//   public:
//     using LHandlerTableControl::LHandlerTableControl;      // (parent, name)
//     QZ::QZResult Initialize() override {
//       const QZ::QZResult base = LControl::Initialize();
//       if (QZ::Failed(base)) return base;
//       if (QZ::Failed(CreateHandlerTable())) return QZ::QZ_E_FAIL;
//       Subscribe(&LKnobPanel::OnTurn, FindChildByName(u"knob"), u"NID_VALUE_CHANGE",
//                 {"LKnobPanel::Initialize", R"(UI\KnobPanel)", 52});
//       return base;
//     }
//     QZ::QZResult OnTurn(const QZ::RCPtr<QZ::LNotificationDistributor>& from,
//                         const QZ::RCPtr<QZ::LNotification>& notification);   // 1: handled
//   };
//
// A handler answers non-zero when it handled the notification; 0 passes it on to Base.
// T makes its table with CreateHandlerTable, in Initialize or at its first subscription;
// until then only Base's tables answer. UI thread, like every control.

#include <new>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ObjectBase/Exception.h"

namespace QZ {

template <class T, class Base>
class LHandlerTableControl : public Base {
public:
  using Method = typename LNotificationHandler<T>::Method;

  LHandlerTableControl(const RCPtr<LControl>& parent, const WString& name) : Base(parent, name) {}

  // T's table first (while the control accepts notifications), then Base's tables: the
  // first non-zero answer; 0 when none handled it.
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override {
    const QZResult handled = this->OfferToHandlerTable(mHandlerTable, distributor, notification);
    return handled != QZ_OK ? handled : Base::ReceiveNotification(distributor, notification);
  }
  // Forgets the (distributor, id) route in T's table and in Base's, then removes the
  // registration: LNotificationClient's answer.
  QZResult UnregisterNotification(LNotificationDistributor* distributor, NotificationName id) override {
    LControl::ForgetHandlerRoute(mHandlerTable, distributor, id);
    return Base::UnregisterNotification(distributor, id);
  }

  // T's table; null before CreateHandlerTable.
  const RCPtr<LNotificationHandler<T>>& GetHandlerTable() const { return mHandlerTable; }

protected:
  // Makes T's table unless it exists: 0; QZ_E_FAIL when none can be made.
  QZResult CreateHandlerTable() {
    if (!mHandlerTable) {
      mHandlerTable =
          RCPtr<LNotificationHandler<T>>(new (std::nothrow) LNotificationHandler<T>(static_cast<T&>(*this)));
    }
    return mHandlerTable ? QZResult(QZ_OK) : QZResult(QZ_E_FAIL);
  }
  // T's table, made first when it is missing; throws std::bad_alloc when it cannot be.
  LNotificationHandler<T>& EnsureHandlerTable() {
    if (Failed(CreateHandlerTable())) {
      throw std::bad_alloc();
    }
    return *mHandlerTable;
  }
  // Routes name from source to method in T's table and registers the control there. A
  // refusal (no table, a null source, a name that interns to 0) throws
  // QZ::Exception<FailedResultException> with "Failed Result : QZRESULT = <code>" and site.
  void Subscribe(Method method, const RCPtr<LNotificationDistributor>& source, NotificationName name,
                 const SourceSite& site) {
    const QZResult added = mHandlerTable ? mHandlerTable->AddHandler(method, source, name) : QZResult(QZ_E_FAIL);
    CheckResult(added, site);
  }

private:
  RCPtr<LNotificationHandler<T>> mHandlerTable;
};

} // namespace QZ
