#include "Platform/Graphics/FontRegistry.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <future>
#include <system_error>
#include <unordered_map>

namespace QZ::Platform::Graphics::detail {

namespace {

// A Cairo font made once per size; more distinct sizes than this flush the face's set.
constexpr size_t kMaxScaledFontsPerFace = 64;

struct PatternRelease {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternRelease>;

// Text is rendered the same on every surface: grey antialiasing, light vertical hinting
// and advances rounded to whole pixels, so measured and drawn widths agree.
const cairo_font_options_t* FontOptions() {
  static cairo_font_options_t* const options = [] {
    cairo_font_options_t* created = cairo_font_options_create();
    cairo_font_options_set_antialias(created, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(created, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(created, CAIRO_HINT_METRICS_ON);
    return created;
  }();
  return options;
}

// fontconfig's best font for a pattern of family (and style), after its configuration's
// substitutions. `substituted` receives the pattern as substituted.
Pattern Match(const std::string& family, int weight, int slant, Pattern* substituted = nullptr) {
  Pattern pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight);
  FcPatternAddInteger(pattern.get(), FC_SLANT, slant);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
  if (substituted != nullptr) {
    *substituted = std::move(pattern);
  }
  return match;
}

// The file, index, weight and slant of a match; nullopt without a file.
std::optional<FaceChoice> ChoiceOf(const FcPattern* match) {
  FcChar8* file = nullptr;
  if (match == nullptr || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
    return std::nullopt;
  }
  FaceChoice choice{reinterpret_cast<const char*>(file), 0, FC_WEIGHT_REGULAR, FC_SLANT_ROMAN};
  FcPatternGetInteger(match, FC_INDEX, 0, &choice.index);
  FcPatternGetInteger(match, FC_WEIGHT, 0, &choice.weight);
  FcPatternGetInteger(match, FC_SLANT, 0, &choice.slant);
  return choice;
}

bool IsScalable(const FcPattern* match) {
  FcBool scalable = FcFalse;
  return FcPatternGetBool(match, FC_SCALABLE, 0, &scalable) == FcResultMatch && scalable;
}

std::string FirstFamily(const FcPattern* match) {
  FcChar8* name = nullptr;
  if (FcPatternGetString(match, FC_FAMILY, 0, &name) != FcResultMatch) {
    return {};
  }
  return reinterpret_cast<const char*>(name);
}

// Family names compare as fontconfig compares them: blanks and ASCII case do not count.
bool SameFamilyName(const FcChar8* a, const FcChar8* b) {
  auto fold = [](FcChar8 c) { return c >= 'A' && c <= 'Z' ? FcChar8(c - 'A' + 'a') : c; };
  for (;;) {
    while (*a == ' ') {
      ++a;
    }
    while (*b == ' ') {
      ++b;
    }
    if (fold(*a) != fold(*b)) {
      return false;
    }
    if (*a == 0) {
      return true;
    }
    ++a;
    ++b;
  }
}

// Whether the match is one of the families the request names with a strong binding: the
// name itself or an alias the configuration declares equivalent ("Arial" and its
// metric-compatible "Liberation Sans"). Families fontconfig only falls back to (the
// generic defaults) are bound weakly.
bool MatchesStrongFamily(const FcPattern* substituted, const FcPattern* match) {
  FcPatternIter iter;
  if (!FcPatternFindIter(substituted, &iter, FC_FAMILY)) {
    return false;
  }
  const int count = FcPatternIterValueCount(substituted, &iter);
  for (int index = 0; index < count; ++index) {
    FcValue value;
    FcValueBinding binding = FcValueBindingWeak;
    if (FcPatternIterGetValue(substituted, &iter, index, &value, &binding) != FcResultMatch ||
        binding != FcValueBindingStrong || value.type != FcTypeString) {
      continue;
    }
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(match, FC_FAMILY, n, &family) == FcResultMatch; ++n) {
      if (SameFamilyName(family, value.u.s)) {
        return true;
      }
    }
  }
  return false;
}

// fontconfig's answer for a family's name: the family it names and that family's regular
// upright face; found stays false when the name only falls back to a default family. Any
// thread: fontconfig locks its own state.
struct FamilyLookup {
  bool found = false;
  std::string family;
  std::optional<FaceChoice> regular;
};

FamilyLookup LookUpFamily(const std::string& name) {
  FamilyLookup lookup;
  Pattern substituted;
  Pattern match = Match(name, FC_WEIGHT_REGULAR, FC_SLANT_ROMAN, &substituted);
  if (match && IsScalable(match.get()) && MatchesStrongFamily(substituted.get(), match.get())) {
    // The regular face asks fontconfig the same again: its answer is kept (a match costs
    // about as much as laying out a panel).
    lookup = {true, FirstFamily(match.get()), ChoiceOf(match.get())};
  }
  return lookup;
}

class Registry {
public:
  std::shared_ptr<FamilyRecord> Find(const std::string& name) {
    auto found = mFamilies.find(name);
    if (found != mFamilies.end()) {
      return found->second;
    }
    FamilyLookup lookup;
    if (auto pending = mPending.find(name); pending != mPending.end()) {
      lookup = pending->second.get();
      mPending.erase(pending);
    } else {
      lookup = LookUpFamily(name);
    }
    std::shared_ptr<FamilyRecord> family;
    if (lookup.found) {
      family = std::make_shared<FamilyRecord>(name, std::move(lookup.family), std::move(lookup.regular));
    }
    mFamilies.emplace(name, family);
    return family;
  }

  void Prefetch(const std::string& name) {
    if (mFamilies.contains(name) || mPending.contains(name)) {
      return;
    }
    try {
      mPending.emplace(name, std::async(std::launch::async, LookUpFamily, name));
    } catch (const std::system_error&) {
      // No thread to spare: Find looks the name up itself.
    }
  }

  std::shared_ptr<FamilyRecord> GenericSansSerif() {
    if (!mGenericTried) {
      mGenericTried = true;
      Pattern match = Match("sans-serif", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN);
      if (match && IsScalable(match.get())) {
        mGeneric = std::make_shared<FamilyRecord>("sans-serif", FirstFamily(match.get()), ChoiceOf(match.get()));
      }
    }
    return mGeneric;
  }

private:
  std::unordered_map<std::string, std::shared_ptr<FamilyRecord>> mFamilies;
  // Look-ups running beside the main thread, by name; Find takes them over.
  std::unordered_map<std::string, std::future<FamilyLookup>> mPending;
  std::shared_ptr<FamilyRecord> mGeneric;
  bool mGenericTried = false;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

uint16_t ToDesignUnits(long value) { return static_cast<uint16_t>(std::clamp<long>(value, 0, 0xFFFF)); }

} // namespace

FaceRecord::~FaceRecord() {
  for (auto& [size, font] : mScaled) {
    cairo_scaled_font_destroy(font);
  }
  cairo_font_face_destroy(mFace);
}

cairo_scaled_font_t* FaceRecord::ScaledFont(double emPixels) {
  auto found = mScaled.find(emPixels);
  if (found != mScaled.end()) {
    return found->second;
  }
  if (mScaled.size() >= kMaxScaledFontsPerFace) {
    for (auto& [size, font] : mScaled) {
      cairo_scaled_font_destroy(font);
    }
    mScaled.clear();
  }
  cairo_matrix_t fontMatrix;
  cairo_matrix_t identity;
  cairo_matrix_init_scale(&fontMatrix, emPixels, emPixels);
  cairo_matrix_init_identity(&identity);
  cairo_scaled_font_t* font = cairo_scaled_font_create(mFace, &fontMatrix, &identity, FontOptions());
  if (cairo_scaled_font_status(font) != CAIRO_STATUS_SUCCESS) {
    cairo_scaled_font_destroy(font);
    return nullptr;
  }
  mScaled.emplace(emPixels, font);
  return font;
}

bool FaceRecord::LoadMetrics() {
  cairo_scaled_font_t* probe = ScaledFont(16);
  FT_Face face = probe != nullptr ? cairo_ft_scaled_font_lock_face(probe) : nullptr;
  if (face == nullptr) {
    return false;
  }
  const bool usable = FT_IS_SCALABLE(face) && face->units_per_EM > 0;
  mMetrics = {ToDesignUnits(face->units_per_EM), ToDesignUnits(face->ascender), ToDesignUnits(-long{face->descender}),
              ToDesignUnits(face->height)};
  cairo_ft_scaled_font_unlock_face(probe);
  return usable;
}

FaceRecord* FamilyRecord::Face(FontStyle style) {
  const int index = static_cast<int>(style) & 3;
  if (mTried[index]) {
    return mFaces[index].get();
  }
  mTried[index] = true;
  const bool bold = (index & static_cast<int>(FontStyle::Bold)) != 0;
  const bool italic = (index & static_cast<int>(FontStyle::Italic)) != 0;
  std::optional<FaceChoice> choice;
  if (index == 0 && mRegularChoice) {
    choice = std::move(mRegularChoice);
    mRegularChoice.reset();
  } else {
    const Pattern match =
        Match(mMatchName, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    choice = ChoiceOf(match.get());
  }
  if (!choice) {
    return nullptr;
  }

  // Only the file goes to Cairo, so the rendering settings of the user's fontconfig files
  // do not reach the text: every machine draws it alike.
  Pattern face(FcPatternCreate());
  FcPatternAddString(face.get(), FC_FILE, reinterpret_cast<const FcChar8*>(choice->file.c_str()));
  FcPatternAddInteger(face.get(), FC_INDEX, choice->index);
  cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_pattern(face.get());
  if (cairo_font_face_status(cairoFace) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(cairoFace);
    return nullptr;
  }
  unsigned int synthesize = 0;
  if (bold && choice->weight < FC_WEIGHT_DEMIBOLD) {
    synthesize |= CAIRO_FT_SYNTHESIZE_BOLD;
  }
  if (italic && choice->slant == FC_SLANT_ROMAN) {
    synthesize |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
  }
  cairo_ft_font_face_set_synthesize(cairoFace, synthesize);

  auto record = std::make_unique<FaceRecord>(cairoFace);
  if (!record->LoadMetrics()) {
    return nullptr;
  }
  mFaces[index] = std::move(record);
  return mFaces[index].get();
}

std::shared_ptr<FamilyRecord> FindFamily(const std::string& name) { return TheRegistry().Find(name); }

void PrefetchFamily(const std::string& name) { TheRegistry().Prefetch(name); }

std::shared_ptr<FamilyRecord> GenericSansSerifFamily() { return TheRegistry().GenericSansSerif(); }

} // namespace QZ::Platform::Graphics::detail
