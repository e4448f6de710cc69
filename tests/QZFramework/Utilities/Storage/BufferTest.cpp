#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "QZFramework/Utilities/Storage/SharedBuffer.h"

namespace {

template <uint32_t Grow, uint32_t Initial>
using Bytes = QZ::BufferT<Grow, Initial, 8, char*>;

TEST(BufferTest, ShrinkingKeepsTheBlockWithinTheSlackLimit) {
  Bytes<1, 128> text(0, 100, false);
  text.SetSize(10);
  EXPECT_EQ(text.GetCapacity(), 100u);

  Bytes<1, 128> large(0, 200, false);
  large.SetSize(10);
  EXPECT_EQ(large.GetCapacity(), 10u);

  Bytes<4, 0> words;
  words.SetSize(5);
  EXPECT_EQ(words.GetCapacity(), 8u);
  words.SetSize(6);
  EXPECT_EQ(words.GetCapacity(), 8u);
  words.SetSize(4);
  EXPECT_EQ(words.GetCapacity(), 4u);

  Bytes<1024, 1024> queue;
  queue.SetSize(2000);
  EXPECT_EQ(queue.GetCapacity(), 2048u);
  queue.SetSize(1024);
  EXPECT_EQ(queue.GetCapacity(), 2048u);
  queue.SetSize(1000);
  EXPECT_EQ(queue.GetCapacity(), 1024u);
}

TEST(BufferTest, SettingTheSizeToZeroReleasesOnlyBeyondTheSlack) {
  Bytes<1, 128> within(0, 100, false);
  within.SetSize(0);
  EXPECT_NE(within.GetData(), nullptr);
  EXPECT_EQ(within.GetCapacity(), 100u);

  Bytes<1, 128> beyond(0, 300, false);
  beyond.SetSize(0);
  EXPECT_EQ(beyond.GetData(), nullptr);
  EXPECT_EQ(beyond.GetCapacity(), 0u);
}

TEST(BufferTest, ConstructionTakesTheCapacityThenAppliesTheSizeRules) {
  Bytes<1, 128> text(10, 100, true);
  EXPECT_EQ(text.GetSize(), 10u);
  EXPECT_EQ(text.GetCapacity(), 100u);
  EXPECT_EQ(std::vector<char>(text.GetData(), text.GetData() + 10), std::vector<char>(10, 0));

  Bytes<1, 0> exact(10, 100, true);
  EXPECT_EQ(exact.GetCapacity(), 10u);

  Bytes<1, 0> none(0, 0, true);
  EXPECT_EQ(none.GetData(), nullptr);
}

TEST(BufferTest, GrowingKeepsTheOldBytes) {
  Bytes<1, 0> bytes(4, 0, false);
  std::memcpy(bytes.GetData(), "abcd", 4);
  bytes.SetSize(1000);
  EXPECT_EQ(std::memcmp(bytes.GetData(), "abcd", 4), 0);
  bytes.SetSize(2);
  EXPECT_EQ(std::memcmp(bytes.GetData(), "ab", 2), 0);
}

TEST(BufferTest, SetCapacityKeepsTheBytesOnlyWhenTheStorageStays) {
  Bytes<16, 0> buffer;
  buffer.SetCapacity(10);
  EXPECT_EQ(buffer.GetCapacity(), 16u);
  std::memcpy(buffer.GetData(), "0123456789", 10);
  char* before = buffer.GetData();
  buffer.SetCapacity(12);
  EXPECT_EQ(buffer.GetData(), before);
  EXPECT_EQ(buffer.GetSize(), 12u);
  EXPECT_EQ(std::memcmp(buffer.GetData(), "0123456789", 10), 0);
  buffer.SetCapacity(40);
  EXPECT_EQ(buffer.GetCapacity(), 48u);
  EXPECT_EQ(buffer.SetCapacity(0), 0u);
  EXPECT_EQ(buffer.GetData(), nullptr);
  EXPECT_EQ(buffer.GetSize(), 0u);
}

TEST(BufferTest, FillsStayInsideTheSize) {
  Bytes<1, 0> bytes(5, 0, true);
  EXPECT_EQ(bytes.Fill8('x', 5, -1), QZ::QZ_OK);
  EXPECT_EQ(bytes.Fill8('x', 6, -1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(bytes.Fill8('x', 0, 6), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(std::string(bytes.GetData(), 5), std::string(5, '\0'));
  EXPECT_EQ(bytes.Fill8('x', 1, 2), QZ::QZ_OK);
  EXPECT_EQ(std::string(bytes.GetData(), 5), std::string("\0xx\0\0", 5));
  EXPECT_EQ(bytes.Fill8('y', 3, -1), QZ::QZ_OK);
  EXPECT_EQ(std::string(bytes.GetData(), 5), std::string("\0xxyy", 5));

  Bytes<1, 0> words(5, 0, false);
  std::memset(words.GetData(), 0x55, 5);
  EXPECT_EQ(words.Fill16(0, 0, -1), QZ::QZ_OK);
  EXPECT_EQ(std::vector<char>(words.GetData(), words.GetData() + 5), (std::vector<char>{0, 0, 0, 0, 0x55}));
  EXPECT_EQ(words.Fill16(0xABCD, 1, 2), QZ::QZ_OK);
  EXPECT_EQ(static_cast<unsigned char>(words.GetData()[1]), 0xCDu);
  EXPECT_EQ(words.Fill16(0, 2, 2), QZ::QZ_E_INVALIDARG);
}

TEST(BufferTest, RangesThatWrapAround32BitsAreRefused) {
  Bytes<1, 0> bytes(16, 0, true);
  EXPECT_EQ(bytes.Fill8(1, 0xFFFFFFFFu, 2), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(bytes.Fill8(1, 0xFFFFFFF0u, 0x7FFFFFFF), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(bytes.Fill8(1, 0xFFFFFFFFu, -1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(bytes.Fill16(1, 0xFFFFFFFEu, 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(bytes.Fill16(1, 2, 0x7FFFFFFF), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(std::vector<char>(bytes.GetData(), bytes.GetData() + 16), std::vector<char>(16, 0));

  Bytes<1024, 1024> grained;
  EXPECT_THROW(grained.SetSize(0xFFFFFFFFu), std::bad_alloc);
  EXPECT_EQ(grained.GetCapacity(), 0u);
  EXPECT_EQ(grained.GetSize(), 0u);
}

TEST(SharedBufferTest, DuplicateCopiesWhatReachesAndZeroesTheRest) {
  QZ::RCPtr<QZ::LIBuffer> source = QZ::LIBuffer::Create(5, 0, false);
  std::memcpy(source->GetData(), "\x01\x02\x03\x04\x05", 5);

  QZ::RCPtr<QZ::LIBuffer> tail = source->Duplicate(8, 2);
  EXPECT_EQ(tail->GetRefCount(), 1);
  EXPECT_EQ(std::vector<char>(tail->GetData(), tail->GetData() + 8), (std::vector<char>{3, 4, 5, 0, 0, 0, 0, 0}));

  QZ::RCPtr<QZ::LIBuffer> past = source->Duplicate(4, 5);
  EXPECT_EQ(std::vector<char>(past->GetData(), past->GetData() + 4), std::vector<char>(4, 0));
  QZ::RCPtr<QZ::LIBuffer> farPast = source->Duplicate(4, 0xFFFFFFFFu);
  EXPECT_EQ(std::vector<char>(farPast->GetData(), farPast->GetData() + 4), std::vector<char>(4, 0));
  QZ::RCPtr<QZ::LIBuffer> shorter = source->Duplicate(2, 1);
  EXPECT_EQ(std::vector<char>(shorter->GetData(), shorter->GetData() + 2), (std::vector<char>{2, 3}));
}

TEST(SharedBufferTest, CreateCopyCarriesTheBytesButNotTheSpareCapacity) {
  QZ::RCPtr<QZ::LIBuffer> source = QZ::LIBuffer::Create(10, 100, true);
  std::memcpy(source->GetData(), "123456789", 10);
  QZ::RCPtr<QZ::LRefCountedObject> copy = source->CreateCopy();
  auto buffer = QZ::DynamicCast<QZ::LIBuffer>(copy);
  ASSERT_FALSE(buffer.IsNull());
  EXPECT_EQ(buffer->GetSize(), 10u);
  EXPECT_EQ(buffer->GetCapacity(), 10u);
  EXPECT_STREQ(buffer->GetData(), "123456789");
  EXPECT_EQ(copy->GetRefCount(), 2);

  QZ::RCPtr<QZ::LPresetFileBuffer> preset = QZ::LPresetFileBuffer::Create(3, 0, true);
  auto presetCopy = QZ::DynamicCast<QZ::LPresetFileBuffer>(preset->CreateCopy());
  ASSERT_FALSE(presetCopy.IsNull());
  EXPECT_EQ(presetCopy->GetCapacity(), 512u);
}

// An allocator that refuses after a number of successful calls and counts blocks.
struct ScriptedAllocator final : QZ::IAllocator {
  int allowed = 1 << 30;
  int live = 0;
  void* Malloc(uint32_t size) override { return Take(std::malloc(size)); }
  void* Calloc(uint32_t count, uint32_t size) override { return Take(std::calloc(count, size)); }
  void* Realloc(void* block, uint32_t size) override {
    if (allowed-- <= 0) {
      return nullptr;
    }
    return std::realloc(block, size);
  }
  void Free(void* block) override {
    live -= block != nullptr;
    std::free(block);
  }
  void* Take(void* block) {
    if (allowed-- <= 0) {
      std::free(block);
      return nullptr;
    }
    live += block != nullptr;
    return block;
  }
};
ScriptedAllocator gScripted;
QZ::IAllocator* GetScripted() { return &gScripted; }
using ScriptedBytes = QZ::BufferT<4, 0, 8, char*, &GetScripted>;

TEST(BufferTest, AnAllocationFailureLeavesTheBufferUnchanged) {
  gScripted = ScriptedAllocator{};
  {
    ScriptedBytes buffer(6, 0, false);
    std::memcpy(buffer.GetData(), "abcdef", 6);
    char* before = buffer.GetData();

    gScripted.allowed = 0;
    EXPECT_THROW(buffer.SetSize(100), std::bad_alloc);
    EXPECT_THROW(buffer.SetCapacity(100), std::bad_alloc);
    EXPECT_EQ(buffer.GetData(), before);
    EXPECT_EQ(buffer.GetSize(), 6u);
    EXPECT_EQ(buffer.GetCapacity(), 8u);
    EXPECT_EQ(std::memcmp(buffer.GetData(), "abcdef", 6), 0);

    gScripted.allowed = 1; // the constructor's first block succeeds, its shrink fails
    EXPECT_THROW(ScriptedBytes(2, 64, false), std::bad_alloc);
    gScripted.allowed = 1 << 30;
  }
  EXPECT_EQ(gScripted.live, 0);
}

} // namespace
