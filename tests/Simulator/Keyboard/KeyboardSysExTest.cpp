#include <gtest/gtest.h>

#include <stdexcept>

#include "QZFramework/Services/ApplicationContext.h"
#include "Simulator/Keyboard/KeyboardSysEx.h"

namespace {

using Simulator::KeyboardMemory;
using Simulator::KeyboardSysEx;
using Bytes = std::vector<uint8_t>;

// F0, the maker ID, 7F 00 and the 49-key model's byte.
const Bytes kHeader{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02};

Bytes Message(std::initializer_list<Bytes> parts) {
  Bytes message;
  for (const Bytes& part : parts) {
    message.insert(message.end(), part.begin(), part.end());
  }
  return message;
}

KeyboardMemory::PresetImage Pattern(uint8_t seed) {
  KeyboardMemory::PresetImage image;
  for (size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<uint8_t>((i * 3 + seed) & 0x7F);
  }
  return image;
}

class KeyboardSysExTest : public ::testing::Test {
protected:
  KeyboardMemory::PresetImage Preset(uint32_t slot) {
    KeyboardMemory::PresetImage image;
    EXPECT_TRUE(mMemory.GetPreset(slot, image));
    return image;
  }

  KeyboardMemory mMemory{QZ::kDeviceModel49Keys};
  KeyboardSysEx mKeyboard{mMemory, QZ::kDeviceModel49Keys};
};

TEST_F(KeyboardSysExTest, PresetRequestsForAStoredSlotAndForRamAreAnsweredWithTheirImages) {
  const KeyboardMemory::PresetImage stored = Pattern(5);
  ASSERT_TRUE(mMemory.StorePreset(7, stored));
  const uint8_t tempo[] = {1, 40};
  ASSERT_TRUE(mMemory.SetParam(122, tempo));

  const auto replies = mKeyboard.Handle(Message({kHeader, {0x62, 0x00, 0x04, 0x07, 0xF7}}));
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0], Message({kHeader, {0x61, 0x01, 0x11, 0x07}, Bytes(stored.begin(), stored.end()), {0xF7}}));
  EXPECT_EQ(replies[0].size(), 153u);

  const auto ram = mKeyboard.Handle(Message({kHeader, {0x62, 0x00, 0x04, 0x00, 0xF7}}));
  ASSERT_EQ(ram.size(), 1u);
  ASSERT_EQ(ram[0].size(), 153u);
  EXPECT_EQ(ram[0][10], 0x00);
  EXPECT_EQ(ram[0][11 + 122], 1);
  EXPECT_EQ(ram[0][11 + 123], 40);
}

TEST_F(KeyboardSysExTest, GlobalAndIdentityRequestsAreAnswered) {
  EXPECT_EQ(mKeyboard.Handle(Message({kHeader, {0x64, 0xF7}})),
            std::vector<Bytes>{Message({kHeader, {0x63, 0x00, 0x08, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF7}})});

  const Bytes identity{0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x00, 0x7F, 0x7D, 0x01, 0x00, 0x02, 0x00};
  EXPECT_EQ(mKeyboard.Handle(Bytes{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}),
            std::vector<Bytes>{Message({identity, {0x01, 0x00, 0x02, 0x00, 0xF7}})});
  mKeyboard.SetFirmwareVersion({0, 9, 0, 0});
  EXPECT_EQ(mKeyboard.Handle(Bytes{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7}),
            std::vector<Bytes>{Message({identity, {0x00, 0x09, 0x00, 0x00, 0xF7}})})
      << "a request to one device id is answered too";
  EXPECT_THROW(mKeyboard.SetFirmwareVersion({1, 0x80, 0, 0}), std::invalid_argument);
}

TEST_F(KeyboardSysExTest, ReceivedPresetsAndGlobalsAreStoredWithoutReply) {
  const KeyboardMemory::PresetImage image = Pattern(9);
  EXPECT_TRUE(mKeyboard.Handle(Message({kHeader, {0x61, 0x01, 0x11, 0x03}, Bytes(image.begin(), image.end()), {0xF7}}))
                  .empty());
  EXPECT_EQ(Preset(3), image);
  EXPECT_NE(Preset(0), image);

  EXPECT_TRUE(mKeyboard.Handle(Message({kHeader, {0x63, 0x00, 0x08, 0x05, 0x04, 0x03, 0x02, 0x01, 0xF7}})).empty());
  EXPECT_EQ(mMemory.GetGlobals(), (KeyboardMemory::GlobalImage{5, 4, 3, 2, 1}));
}

TEST_F(KeyboardSysExTest, MalformedOrForeignMessagesChangeNothingAndGetNoReply) {
  const KeyboardMemory::PresetImage image = Pattern(1);
  const Bytes preset = Message({kHeader, {0x61, 0x01, 0x11, 0x03}, Bytes(image.begin(), image.end()), {0xF7}});
  Bytes otherModel = preset;
  otherModel[6] = 0x03;
  Bytes shortPreset = preset;
  shortPreset.erase(shortPreset.end() - 2);
  Bytes highByte = preset;
  highByte[40] = 0x80;
  Bytes slot11 = preset;
  slot11[10] = 11;
  Bytes noF7 = preset;
  noF7.pop_back();
  Bytes highGlobal = Message({kHeader, {0x63, 0x00, 0x08, 0x05, 0x04, 0x90, 0x02, 0x01, 0xF7}});

  const KeyboardMemory::PresetImage before = Preset(3);
  for (const Bytes& message : {otherModel, shortPreset, highByte, slot11, noF7, highGlobal}) {
    EXPECT_TRUE(mKeyboard.Handle(message).empty());
  }
  EXPECT_EQ(Preset(3), before);
  EXPECT_EQ(mMemory.GetGlobals(), (KeyboardMemory::GlobalImage{1, 0, 0, 0, 0}));

  for (const Bytes& request :
       {Message({kHeader, {0x62, 0x00, 0x04, 0x0B, 0xF7}}), Message({kHeader, {0x62, 0x00, 0x04, 0xF7}}),
        Message({kHeader, {0x64, 0x00, 0xF7}}), Bytes{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x01, 0x64, 0xF7},
        Bytes{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0x00, 0xF7}, Bytes{0xF0, 0xF7}, Bytes{}}) {
    EXPECT_TRUE(mKeyboard.Handle(request).empty());
  }
  EXPECT_THROW(KeyboardSysEx(mMemory, 3), std::out_of_range);
}

} // namespace
