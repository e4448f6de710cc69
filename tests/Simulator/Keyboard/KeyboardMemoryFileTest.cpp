#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "QZFramework/Services/ApplicationContext.h"
#include "Simulator/Keyboard/KeyboardMemoryFile.h"
#include "Support/TempFolder.h"

namespace {

using Simulator::KeyboardMemory;
using Simulator::KeyboardMemoryFile;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(KeyboardMemoryFileTest, EveryPresetSlotThenTheGlobalsOneLineEachInUpperCaseHex) {
  KeyboardMemory memory(QZ::kDeviceModel49Keys);
  KeyboardMemory::PresetImage image{};
  for (size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<uint8_t>((i * 7) & 0x7F);
  }
  ASSERT_TRUE(memory.StorePreset(10, image));
  memory.StoreGlobals({0x10, 0x7F, 0, 2, 0x0A});

  const std::vector<std::string> lines = Lines(KeyboardMemoryFile::Text(memory));
  ASSERT_EQ(lines.size(), 12u);
  for (uint32_t slot = 0; slot <= 10; ++slot) {
    const std::string prefix = "preset " + std::to_string(slot) + " ";
    ASSERT_EQ(lines[slot].rfind(prefix, 0), 0u) << lines[slot];
    EXPECT_EQ(lines[slot].size(), prefix.size() + 282);
  }
  // Factory values: the tempo 120 as its two bytes 01 14 at bytes 122 and 123.
  EXPECT_EQ(lines[3].substr(9 + 2 * 122, 4), "0114");
  EXPECT_EQ(lines[10].substr(10, 8), "00070E15");
  EXPECT_EQ(lines[10].substr(10 + 2 * 140), "54") << "(140 * 7) & 0x7F";
  EXPECT_EQ(lines[11], "globals 107F00020A");
}

TEST(KeyboardMemoryFileTest, EachChangeReplacesTheFileWholeAndAFailureIsToldAndTriedAgain) {
  QZTest::TempFolder folder;
  KeyboardMemory memory(QZ::kDeviceModel25Keys);
  KeyboardMemoryFile file(memory, folder / "keyboard.txt");
  ASSERT_TRUE(file.Update());
  EXPECT_EQ(folder.Read("keyboard.txt"), KeyboardMemoryFile::Text(memory));

  // Unchanged, it is left alone; changed, it is written again, and no temporary file stays.
  folder.Write("keyboard.txt", "marker");
  ASSERT_TRUE(file.Update());
  EXPECT_EQ(folder.Read("keyboard.txt"), "marker");
  memory.StoreGlobals({3, 0, 0, 0, 1});
  ASSERT_TRUE(file.Update());
  EXPECT_EQ(Lines(folder.Read("keyboard.txt")).back(), "globals 0300000001");
  EXPECT_FALSE(std::filesystem::exists(folder / "keyboard.txt.tmp"));

  KeyboardMemoryFile nowhere(memory, folder / "missing/keyboard.txt");
  EXPECT_FALSE(nowhere.Update());
  std::filesystem::create_directory(folder / "missing");
  EXPECT_TRUE(nowhere.Update()) << "tried again";
  EXPECT_EQ(folder.Read("missing/keyboard.txt"), KeyboardMemoryFile::Text(memory));

  // A folder in the file's place cannot be replaced: the temporary file goes again.
  std::filesystem::create_directory(folder / "taken");
  KeyboardMemoryFile blocked(memory, folder / "taken");
  EXPECT_FALSE(blocked.Update());
  EXPECT_FALSE(std::filesystem::exists(folder / "taken.tmp"));
}

} // namespace
