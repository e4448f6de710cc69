#pragma once
// Simulator::KeyboardMemoryFile: the keyboard's memory written out as text for whoever
// watches the keyboard from outside (the end-to-end tests read what the editor stored):
//
//   preset 0 <282 hex digits>       the preset in RAM, 141 bytes
//   preset 1 <282 hex digits>       ... to preset 10, the stored presets
//   globals <10 hex digits>         the global settings, 5 bytes
//
// one line each, upper-case digits, in this order. The file is written whole to
// "<path>.tmp" and renamed over path, so a reader sees the old text or the new, never a
// part.
//
//   Simulator::KeyboardMemoryFile file(memory, "/tmp/keyboard.txt");
//   file.Update();          // written: the first time
//   ... a preset is stored ...
//   file.Update();          // written again; with nothing changed, nothing is written
//
// One thread at a time; the memory may change on others meanwhile.

#include <string>

#include "Simulator/Keyboard/KeyboardMemory.h"

namespace Simulator {

class KeyboardMemoryFile {
public:
  // memory must outlive this object. Writes nothing yet.
  KeyboardMemoryFile(const KeyboardMemory& memory, std::string path);

  // The text of memory's contents, as above.
  static std::string Text(const KeyboardMemory& memory);

  // Writes the memory's text when it differs from what was last written (always the first
  // time). False when it could not be written (the temporary file is removed, and the
  // next call tries again); true otherwise.
  [[nodiscard]] bool Update();

  const std::string& Path() const { return mPath; }

private:
  const KeyboardMemory& mMemory;
  const std::string mPath;
  std::string mWritten;
  bool mAnyWritten = false;
};

} // namespace Simulator
