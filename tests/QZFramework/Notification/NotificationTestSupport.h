#pragma once
// Clients, distributors and centres for the notification tests: clients write what they
// hear into a shared journal and may act while hearing it; every object counts its live
// instances.

#include <functional>
#include <string>
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

// One delivery: the client, the id, and the value carried (-1 for none).
struct Heard {
  std::string who;
  QZ::NotificationID id;
  int value;
  friend bool operator==(const Heard&, const Heard&) = default;
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

  RecordingClient(std::string name, std::vector<Heard>& journal, InstanceCounter* counter = nullptr)
      : mName(std::move(name)), mJournal(journal), mCounter(counter) {
    if (mCounter) {
      ++mCounter->live;
    }
  }
  ~RecordingClient() override {
    if (mCounter) {
      --mCounter->live;
      ++mCounter->destroyed;
    }
  }

  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    const auto value = notification->GetParameterAs<Value>();
    mJournal.push_back({mName, notification->GetID(), value ? value->GetValue() : -1});
    if (onReceive) {
      onReceive(distributor, notification);
    }
    return QZ::QZ_OK;
  }

  Action onReceive;

private:
  std::string mName;
  std::vector<Heard>& mJournal;
  InstanceCounter* mCounter;
};

class CountedDistributor : public QZ::LNotificationDistributor {
public:
  explicit CountedDistributor(InstanceCounter& counter) : mCounter(counter) { ++mCounter.live; }
  ~CountedDistributor() override {
    --mCounter.live;
    ++mCounter.destroyed;
  }

private:
  InstanceCounter& mCounter;
};

class CountedCenter : public QZ::LNotificationCenter {
public:
  explicit CountedCenter(InstanceCounter& counter) : LNotificationCenter(u"counted"), mCounter(counter) {
    ++mCounter.live;
  }
  ~CountedCenter() override {
    --mCounter.live;
    ++mCounter.destroyed;
  }

  static QZ::RCPtr<CountedCenter> Create(InstanceCounter& counter) {
    QZ::RCPtr<CountedCenter> centre(new CountedCenter(counter));
    centre->AttachDistributor(centre);
    return centre;
  }

private:
  InstanceCounter& mCounter;
};

} // namespace QZTest
