#pragma once
// A home of the editor's own for a benchmark: its settings folders, an empty registry and a
// private runtime folder below the system's temporary folder ("<name>-<pid>-<dpi>"), and the
// environment that points the editor at them, at a resolution (QZ_DPI), with the virtual
// keyboard on, so that the editor opens no MIDI port of the machine.
//
//   QZBench::RunningProgram editor({QZ_EDITOR_PROGRAM}, QZBench::EditorEnvironment("qz-idle-bench", 96));
//
// The folders stay after the run: the settings carry over from one start to the next, as a
// user's do. One thread.

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

namespace QZBench {

inline std::map<std::string, std::string> EditorEnvironment(const std::string& name, int dpi) {
  const std::filesystem::path home =
      std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()) + "-" + std::to_string(dpi));
  std::filesystem::create_directories(home / "run");
  std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
  return {{"HOME", home.string()},
          {"XDG_CONFIG_HOME", (home / "config").string()},
          {"XDG_DATA_HOME", (home / "data").string()},
          {"XDG_RUNTIME_DIR", (home / "run").string()},
          {"QZ_REGISTRY_FILE", (home / "registry.reg").string()},
          {"QZ_VIRTUAL_KEYBOARD", "1"},
          {"QZ_DPI", std::to_string(dpi)}};
}

} // namespace QZBench
