#include "QZFramework/Application/SystemFont.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace QZ {

namespace {

constexpr char16_t kFallbackFace[] = u"Sans";
constexpr float kDefaultSize = 9.0f;

struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

} // namespace

SystemFont GetSystemFont() {
  SystemFont font{WString(kFallbackFace), kDefaultSize, 0};
  FcConfig* config = FcConfigGetCurrent();
  Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif")));
  if (!config || !pattern || !FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) {
    return font;
  }
  // Only a size the configuration gives: the library's own default is not the desktop's.
  double configuredSize = 0.0;
  const bool sized = FcPatternGetDouble(pattern.get(), FC_SIZE, 0, &configuredSize) == FcResultMatch;
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  const Pattern match(FcFontMatch(config, pattern.get(), &result));
  FcChar8* family = nullptr;
  if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch || !family || !*family) {
    return font;
  }
  font.face.AssignUTF8(reinterpret_cast<const char*>(family));
  if (sized && configuredSize >= 1.0) {
    font.size = float(configuredSize);
  }
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight); // missing: regular
  FcPatternGetInteger(match.get(), FC_SLANT, 0, &slant);   // missing: upright
  font.style = (weight >= FC_WEIGHT_BOLD ? 0x1 : 0) | (slant != FC_SLANT_ROMAN ? 0x2 : 0);
  return font;
}

} // namespace QZ
