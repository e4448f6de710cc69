#include <gtest/gtest.h>

#include "QZFramework/Services/ApplicationContext.h"
#include "Simulator/Keyboard/KeyboardMemory.h"

namespace {

using Simulator::KeyboardMemory;
using Bytes = std::vector<uint8_t>;

Bytes Param(const KeyboardMemory& memory, uint32_t id) {
  Bytes bytes;
  EXPECT_TRUE(memory.GetParam(id, bytes));
  return bytes;
}

TEST(KeyboardMemoryTest, FactoryValuesAreTheLayoutsDefaultsForTheModel) {
  const KeyboardMemory keys49(QZ::kDeviceModel49Keys);
  const KeyboardMemory keys25(QZ::kDeviceModel25Keys);
  EXPECT_EQ(Param(keys49, 4), Bytes{1});         // mod wheel CC
  EXPECT_EQ(Param(keys49, 13), Bytes{25});       // second slider's CC: 24 + instance
  EXPECT_EQ(Param(keys49, 122), (Bytes{1, 20})); // clock tempo 120
  EXPECT_EQ(Param(keys49, 132), Bytes{36});      // first user chord note
  EXPECT_EQ(Param(keys25, 132), Bytes{48});
  EXPECT_EQ(Param(keys49, 140), Bytes{1}); // global MIDI channel

  KeyboardMemory::PresetImage image;
  ASSERT_TRUE(keys49.GetPreset(10, image));
  EXPECT_EQ(image[122], 1);
  EXPECT_EQ(image[123], 20);
  EXPECT_EQ(image[124], 0); // time division follows the two tempo bytes
  EXPECT_EQ(keys49.GetGlobals(), (KeyboardMemory::GlobalImage{1, 0, 0, 0, 0}));
}

TEST(KeyboardMemoryTest, ParametersTakeExactlyTheirWidthAndLiveInRamOrGlobals) {
  KeyboardMemory memory(QZ::kDeviceModel61Keys);
  const uint8_t two[] = {2, 5};
  EXPECT_FALSE(memory.SetParam(0, two));
  EXPECT_FALSE(memory.SetParam(145, {two, 1}));
  Bytes untouched{7};
  EXPECT_FALSE(memory.GetParam(145, untouched));
  EXPECT_EQ(untouched, Bytes{7});

  ASSERT_TRUE(memory.SetParam(122, two));
  ASSERT_TRUE(memory.SetParam(144, {two, 1}));
  KeyboardMemory::PresetImage ram;
  KeyboardMemory::PresetImage stored;
  ASSERT_TRUE(memory.GetPreset(0, ram));
  ASSERT_TRUE(memory.GetPreset(1, stored));
  EXPECT_EQ(ram[122], 2);
  EXPECT_EQ(ram[123], 5);
  EXPECT_EQ(stored[122], 1);
  EXPECT_EQ(memory.GetGlobals()[4], 2);

  ASSERT_TRUE(memory.StorePreset(10, ram));
  EXPECT_FALSE(memory.StorePreset(11, ram));
  EXPECT_FALSE(memory.GetPreset(11, stored));
  ASSERT_TRUE(memory.GetPreset(10, stored));
  EXPECT_EQ(stored, ram);
}

} // namespace
