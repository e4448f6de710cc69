#pragma once
// Clients, distributors and centres for the notification tests: clients write what they
// hear into a shared journal and may act while hearing it; every object counts its live
// instances.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "Support/CountedObject.h"

namespace QZTest {

using Value = QZ::LHolder<int>;

// A notification carrying value as its parameter.
inline QZ::RCPtr<QZ::LNotification> MakeNotification(QZ::NotificationName name, int value) {
  return QZ::LNotification::Create(name, QZ::RCPtr<Value>(new Value(value)));
}

// One delivery: the client and the value carried (-1 for none).
struct Heard {
  std::string who;
  int value;
};

inline std::vector<std::string> Who(const std::vector<Heard>& journal) {
  std::vector<std::string> names;
  for (const Heard& heard : journal) {
    names.push_back(heard.who);
  }
  return names;
}

inline std::vector<int> Values(const std::vector<Heard>& journal, const std::string& who) {
  std::vector<int> values;
  for (const Heard& heard : journal) {
    if (heard.who == who) {
      values.push_back(heard.value);
    }
  }
  return values;
}

class RecordingClient : public QZ::LNotificationClient {
public:
  using Action =
      std::function<void(const QZ::RCPtr<QZ::LNotificationDistributor>&, const QZ::RCPtr<QZ::LNotification>&)>;

  RecordingClient(std::string name, std::vector<Heard>& journal) : mName(std::move(name)), mJournal(journal) {}

  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    const auto value = notification->GetParameterAs<Value>();
    mJournal.push_back({mName, value ? value->GetValue() : -1});
    if (onReceive) {
      onReceive(distributor, notification);
    }
    return QZ::QZ_OK;
  }

  Action onReceive;

private:
  std::string mName;
  std::vector<Heard>& mJournal;
};

// A Base that counts its live instances.
template <class Base>
class Counted : public Base {
public:
  template <class... Args>
  explicit Counted(InstanceCounter& counter, Args&&... args) : Base(std::forward<Args>(args)...), mCounter(counter) {
    ++mCounter.live;
  }
  ~Counted() override {
    --mCounter.live;
    ++mCounter.destroyed;
  }

private:
  InstanceCounter& mCounter;
};

} // namespace QZTest
