#pragma once
// Process-wide store of the font families and faces found through fontconfig, and of
// the Cairo fonts made from them (internal; FontFamily and Font are the public face).
// Main thread only, like everything that draws; a prefetch's look-up alone runs beside it
// and touches nothing here but its own answer.

#include <cairo.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Graphics/GraphicsTypes.h"

namespace QZ::Platform::Graphics::detail {

// Vertical design metrics of a face, in font units, as FreeType reads them.
struct FaceMetrics {
  uint16_t emHeight = 0;    // units per em
  uint16_t cellAscent = 0;  // ascender
  uint16_t cellDescent = 0; // -descender
  uint16_t lineSpacing = 0; // ascender - descender + line gap
};

// One face of a family in one style, with its Cairo fonts by pixel size.
class FaceRecord {
public:
  // Takes over the reference to `face`.
  explicit FaceRecord(cairo_font_face_t* face) : mFace(face) {}
  ~FaceRecord();
  FaceRecord(const FaceRecord&) = delete;
  FaceRecord& operator=(const FaceRecord&) = delete;

  // Reads the metrics from the face's file; false when it is no usable scalable font.
  [[nodiscard]] bool LoadMetrics();
  const FaceMetrics& Metrics() const { return mMetrics; }
  // The face scaled to an em of `emPixels` pixels (owned here); null when Cairo fails.
  cairo_scaled_font_t* ScaledFont(double emPixels);

private:
  cairo_font_face_t* mFace;
  FaceMetrics mMetrics;
  std::map<double, cairo_scaled_font_t*> mScaled;
};

// The face fontconfig chose for a request: its file, the face's index in it, and its
// weight and slant (fontconfig's values).
struct FaceChoice {
  std::string file;
  int index = 0;
  int weight = 0;
  int slant = 0;
};

class FamilyRecord {
public:
  // matchName: what fontconfig is asked for; name: the family it answered with; regular:
  // its answer for the regular upright style when the caller has it already (the family's
  // own look-up asks the same), else asked on first use.
  FamilyRecord(std::string matchName, std::string name, std::optional<FaceChoice> regular = std::nullopt)
      : mMatchName(std::move(matchName)), mName(std::move(name)), mRegularChoice(std::move(regular)) {}

  const std::string& Name() const { return mName; }
  // The family's face for a style, made on first use (with synthetic emboldening or
  // slanting when the family lacks the style); null when no usable face is found.
  FaceRecord* Face(FontStyle style);

private:
  std::string mMatchName;
  std::string mName;
  std::optional<FaceChoice> mRegularChoice;
  std::array<std::unique_ptr<FaceRecord>, 4> mFaces;
  std::array<bool, 4> mTried{};
};

// The family answering to a name (UTF-8), or null. Results, misses included, are kept.
std::shared_ptr<FamilyRecord> FindFamily(const std::string& name);
// Starts fontconfig's look-up of name (UTF-8) on a thread of its own; FindFamily of that
// name takes its answer over, waiting for it when it is not ready. Nothing for a name
// looked up or being looked up already.
void PrefetchFamily(const std::string& name);
// The family fontconfig gives for "sans-serif"; null only when no font is installed.
std::shared_ptr<FamilyRecord> GenericSansSerifFamily();

} // namespace QZ::Platform::Graphics::detail
