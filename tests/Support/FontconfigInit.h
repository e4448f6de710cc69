#pragma once
// Test programs that draw text see only the fonts scripts/install-deps.sh installs, so that
// what they draw does not depend on the fonts a machine happens to have (a desktop's
// Noto Sans would otherwise stand in for DejaVu Sans): the system's rules (its conf.d,
// without the user's and the local ones) over the fonts of fonts-dejavu-core and
// fonts-liberation2 alone. The program itself keeps the user's configuration, unless a test
// that compares what it shows with a headless rendering hands it the same one
// (WritePinnedFontsFile).
//
// The configuration is made once, before any test runs, with leak detection paused:
// Debian 12's fontconfig loses a block while it parses configuration files, and the loss
// is not reported, while any other leak still is. Include this header from one source
// file of each such program (more do no harm: the configuration is still made once).

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace QZTest {

// Every font file the install script's font packages hold.
inline constexpr std::array<std::string_view, 18> kPinnedFontFiles = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationMono-BoldItalic.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationMono-Italic.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-BoldItalic.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Italic.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSerif-BoldItalic.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSerif-Italic.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
};

// The part of the configuration that names the fonts: their folders, every other font
// refused, the system's caches and the user's.
inline std::string PinnedFontsDocument() {
  std::string document = "<?xml version=\"1.0\"?><fontconfig>"
                         "<dir>/usr/share/fonts/truetype/dejavu</dir>"
                         "<dir>/usr/share/fonts/truetype/liberation2</dir>"
                         "<cachedir>/var/cache/fontconfig</cachedir>"
                         "<cachedir prefix=\"xdg\">fontconfig</cachedir>"
                         "<selectfont><rejectfont><glob>*</glob></rejectfont><acceptfont>";
  for (std::string_view file : kPinnedFontFiles) {
    document.append("<glob>").append(file).append("</glob>");
  }
  return document + "</acceptfont></selectfont></fontconfig>";
}

// The system's rule files in order, without those that read the user's or the machine's
// own configuration.
inline std::vector<std::string> SystemFontRules(const std::string& folder = "/etc/fonts/conf.d") {
  std::vector<std::string> rules;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".conf" && name.find("user") == std::string::npos &&
        name.find("local") == std::string::npos) {
      rules.push_back(entry.path().string());
    }
  }
  std::sort(rules.begin(), rules.end());
  return rules;
}

// The same configuration as a file that a program a test starts reads instead of the
// machine's (its FONTCONFIG_FILE names it), so that it draws text as the test's headless
// rendering of the same skin does. Whether it was written.
inline bool WritePinnedFontsFile(const std::string& path) {
  std::string document = PinnedFontsDocument();
  std::string rules;
  for (const std::string& file : SystemFontRules()) {
    rules.append("<include ignore_missing=\"yes\">").append(file).append("</include>");
  }
  const std::string root = "<fontconfig>";
  document.insert(document.find(root) + root.size(), rules); // the rules first, as below
  std::ofstream out(path);
  out << document;
  return bool(out.flush());
}

inline bool LoadPinnedFontConfiguration() {
  FcConfig* config = FcConfigCreate();
  if (!config) {
    return false;
  }
  bool loaded = true;
  for (const std::string& rules : SystemFontRules()) {
    loaded = FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(rules.c_str()), FcFalse) && loaded;
  }
  const std::string pinned = PinnedFontsDocument();
  loaded = FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(pinned.c_str()), FcTrue) &&
           FcConfigBuildFonts(config) && FcConfigSetCurrent(config) && loaded;
  FcConfigDestroy(config); // the current configuration holds its own reference
  return loaded;
}

inline const bool kFontconfigLoaded = [] {
#if defined(__SANITIZE_ADDRESS__)
  __lsan::ScopedDisabler paused;
#endif
  return LoadPinnedFontConfiguration();
}();

} // namespace QZTest
