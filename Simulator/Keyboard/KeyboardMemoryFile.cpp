#include "Simulator/Keyboard/KeyboardMemoryFile.h"

#include <cstdio>
#include <span>
#include <utility>

namespace Simulator {

namespace {

void AppendHex(std::string& text, std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (const uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
}

} // namespace

KeyboardMemoryFile::KeyboardMemoryFile(const KeyboardMemory& memory, std::string path)
    : mMemory(memory), mPath(std::move(path)) {}

std::string KeyboardMemoryFile::Text(const KeyboardMemory& memory) {
  std::string text;
  KeyboardMemory::PresetImage image;
  for (uint32_t slot = 0; slot <= KeyboardMemory::kStoredPresetCount; ++slot) {
    memory.GetPreset(slot, image); // every slot exists
    text += "preset " + std::to_string(slot) + " ";
    AppendHex(text, image);
    text += "\n";
  }
  text += "globals ";
  AppendHex(text, memory.GetGlobals());
  text += "\n";
  return text;
}

bool KeyboardMemoryFile::Update() {
  std::string text = Text(mMemory);
  if (mAnyWritten && text == mWritten) {
    return true;
  }
  const std::string temporary = mPath + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "w");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), mPath.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  mWritten = std::move(text);
  mAnyWritten = true;
  return true;
}

} // namespace Simulator
