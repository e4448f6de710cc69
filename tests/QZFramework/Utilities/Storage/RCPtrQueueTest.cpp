#include <gtest/gtest.h>

#include <string>

#include "QZFramework/Utilities/Storage/ParamValues.h"
#include "QZFramework/Utilities/Storage/RCPtrQueue.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "Support/CountedObject.h"

namespace {

class Posted : public QZTest::CountedObject {
public:
  using CountedObject::CountedObject;
};

} // namespace

QZ_REGISTER_TYPE_NAME(Posted, "class QZ::LNotification");

namespace {

using QZTest::InstanceCounter;
using Queue = QZ::RCPtrQueue<Posted, 256, QZ::Mutex>;

template <class Q>
std::string DequeueFailure(Q& queue) {
  try {
    queue.Dequeue();
  } catch (const std::runtime_error& failure) {
    return failure.what();
  }
  return "nothing thrown";
}

class RCPtrQueueTest : public ::testing::Test {
protected:
  void Fill(Queue& queue, int from, int to) {
    for (int i = from; i < to; ++i) {
      EXPECT_EQ(queue.Enqueue(QZ::RCPtr<Posted>(new Posted(counter, i))), QZ::QZ_OK);
    }
  }
  // Takes n entries, expecting the values from, from + 1, ...
  void Drain(Queue& queue, int from, int n) {
    for (int i = from; i < from + n; ++i) {
      QZ::RCPtr<Posted> entry = queue.Dequeue();
      ASSERT_EQ(entry->Value(), i);
      EXPECT_EQ(entry->GetRefCount(), 1);
    }
  }

  InstanceCounter counter;
  QZ::Mutex lock;
};

TEST_F(RCPtrQueueTest, AFullRingGrowsByOneSlotAndKeepsTheOrder) {
  Queue queue(&lock);
  Fill(queue, 0, 255);
  EXPECT_EQ(queue.GetCapacity(), 256u);
  Fill(queue, 255, 256);
  EXPECT_EQ(queue.GetCapacity(), 257u);
  Fill(queue, 256, 300);
  EXPECT_EQ(queue.GetCapacity(), 301u);
  EXPECT_EQ(queue.GetCount(), 300u);
  Drain(queue, 0, 300);
  EXPECT_FALSE(queue.HasEntries());
  EXPECT_EQ(queue.GetCapacity(), 301u);
}

TEST_F(RCPtrQueueTest, AWrappedRingThatFillsUpGrowsInOrder) {
  Queue queue(&lock);
  Fill(queue, 0, 200);
  Drain(queue, 0, 150);
  Fill(queue, 200, 405); // the head wraps round to just behind the tail: full
  EXPECT_EQ(queue.GetCapacity(), 256u);
  Fill(queue, 405, 408);
  EXPECT_EQ(queue.GetCapacity(), 259u);
  Drain(queue, 150, 200);
  Fill(queue, 408, 420);
  Drain(queue, 350, 70);
  EXPECT_EQ(queue.GetCount(), 0u);
  EXPECT_EQ(counter.live, 0);
}

TEST_F(RCPtrQueueTest, AnEmptyDequeueThrowsAndLeavesTheQueueAsItWas) {
  Queue queue(&lock);
  Fill(queue, 0, 3);
  Drain(queue, 0, 3);
  EXPECT_EQ(DequeueFailure(queue),
            R"(Runtime Error : QZ::RCPtrQueue<class QZ::LNotification,256,class QZ::Mutex>::Dequeue : )"
            R"(qzframework\utilities\Storage/RCPtrQueue : Line 110)");
  EXPECT_EQ(queue.GetCount(), 0u);
  EXPECT_EQ(queue.GetCapacity(), 256u);
  Fill(queue, 3, 4);
  Drain(queue, 3, 1);

  QZ::RCPtrQueue<QZ::LWrapper<QZ::ParamValues>> values(&lock);
  EXPECT_EQ(DequeueFailure(values), R"(Runtime Error : QZ::RCPtrQueue<class QZ::LWrapper<class QZ::ParamValues,)"
                                    R"(class QZ::LRefCountedObject>,256,class QZ::Mutex>::Dequeue : )"
                                    R"(qzframework\utilities\Storage/RCPtrQueue : Line 110)");
}

TEST_F(RCPtrQueueTest, AQueueWithoutSlotsStartsWithTwoAndGrowsFromThere) {
  Queue queue(nullptr, 0);
  EXPECT_EQ(queue.GetCapacity(), 0u);
  EXPECT_FALSE(queue.HasEntries());
  Fill(queue, 0, 1);
  EXPECT_EQ(queue.GetCapacity(), 2u);
  Fill(queue, 1, 4);
  EXPECT_EQ(queue.GetCapacity(), 5u);
  Drain(queue, 0, 4);
}

TEST_F(RCPtrQueueTest, EntriesHoldOneReferenceEachAndGoWithTheQueue) {
  const QZ::RCPtr<Posted> kept(new Posted(counter, 1));
  {
    Queue queue(&lock);
    queue.Enqueue(kept);
    queue.Enqueue(kept);
    queue.Enqueue(nullptr);
    EXPECT_EQ(kept->GetRefCount(), 3);
    EXPECT_EQ(queue.Dequeue().Get(), kept.Get());
    EXPECT_EQ(kept->GetRefCount(), 2);
  }
  EXPECT_EQ(kept->GetRefCount(), 1);
}

} // namespace
