// The fonts the test programs that draw text see (Support/FontconfigInit.h): the install
// script's alone, whatever else the machine has, with the families the skins ask for
// resolved to them.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Support/FontconfigInit.h"

namespace QZTest {
namespace {

// The family fontconfig gives for a pattern such as "Arial:bold".
std::string MatchedFamily(const char* pattern) {
  FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
  FcDefaultSubstitute(wanted);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, wanted, &result);
  FcChar8* family = nullptr;
  std::string text;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
    text = reinterpret_cast<const char*>(family);
  }
  if (match) {
    FcPatternDestroy(match);
  }
  FcPatternDestroy(wanted);
  return text;
}

TEST(PinnedFontsTest, OnlyTheInstallScriptsFontsAreSeenAndTheSkinsFamiliesResolveToThem) {
  ASSERT_TRUE(kFontconfigLoaded);
  FcPattern* any = FcPatternCreate();
  FcObjectSet* files = FcObjectSetBuild(FC_FILE, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, any, files);
  std::set<std::string> seen;
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
      seen.insert(reinterpret_cast<const char*>(file));
    }
  }
  if (fonts) {
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(files);
  FcPatternDestroy(any);
  EXPECT_EQ(seen, std::set<std::string>(kPinnedFontFiles.begin(), kPinnedFontFiles.end()));

  EXPECT_EQ(MatchedFamily("Arial"), "Liberation Sans");
  EXPECT_EQ(MatchedFamily("Arial:bold:italic"), "Liberation Sans");
  EXPECT_EQ(MatchedFamily("sans-serif"), "DejaVu Sans");
  EXPECT_EQ(MatchedFamily("monospace"), "DejaVu Sans Mono");
  // A family nobody installs: the machine's other fonts (Noto Sans on most desktops) never
  // stand in for it.
  EXPECT_EQ(MatchedFamily("Segoe UI"), "DejaVu Sans");
}

} // namespace
} // namespace QZTest
