#include "Platform/Graphics/Font.h"

#include <cmath>

#include "Platform/Graphics/FontRegistry.h"
#include "Platform/Graphics/TextEncoding.h"

namespace QZ::Platform::Graphics {

namespace {

void Report(Status* status, Status value) {
  if (status != nullptr) {
    *status = value;
  }
}

detail::FaceMetrics MetricsOf(detail::FamilyRecord& family, FontStyle style) {
  detail::FaceRecord* face = family.Face(style);
  return face != nullptr ? face->Metrics() : detail::FaceMetrics{};
}

constexpr float kPointsPerInch = 72;

} // namespace

std::optional<FontFamily> FontFamily::FromName(std::u16string_view name, Status* status) {
  auto record = detail::FindFamily(ToUtf8(name));
  if (!record) {
    Report(status, Status::FontFamilyNotFound);
    return std::nullopt;
  }
  Report(status, Status::Ok);
  return FontFamily(std::move(record));
}

void FontFamily::Prefetch(std::u16string_view name) { detail::PrefetchFamily(ToUtf8(name)); }

std::optional<FontFamily> FontFamily::GenericSansSerif(Status* status) {
  auto record = detail::GenericSansSerifFamily();
  if (!record) {
    Report(status, Status::FontFamilyNotFound);
    return std::nullopt;
  }
  Report(status, Status::Ok);
  return FontFamily(std::move(record));
}

const std::string& FontFamily::Name() const { return mRecord->Name(); }

uint16_t FontFamily::EmHeight(FontStyle style) const { return MetricsOf(*mRecord, style).emHeight; }
uint16_t FontFamily::CellAscent(FontStyle style) const { return MetricsOf(*mRecord, style).cellAscent; }
uint16_t FontFamily::CellDescent(FontStyle style) const { return MetricsOf(*mRecord, style).cellDescent; }
uint16_t FontFamily::LineSpacing(FontStyle style) const { return MetricsOf(*mRecord, style).lineSpacing; }

std::optional<Font> Font::Create(const FontFamily& family, float emSize, FontStyle style, FontUnit unit,
                                 Status* status) {
  if (!std::isfinite(emSize) || !(emSize > 0)) {
    Report(status, Status::InvalidParameter);
    return std::nullopt;
  }
  detail::FaceRecord* face = family.mRecord->Face(style);
  if (face == nullptr) {
    Report(status, Status::GenericError);
    return std::nullopt;
  }
  Report(status, Status::Ok);
  return Font(family, emSize, style, unit, face);
}

float Font::EmPixels(float dpi) const { return mUnit == FontUnit::Pixel ? mSize : mSize * dpi / kPointsPerInch; }

float Font::GetHeight(float dpi) const {
  const detail::FaceMetrics& metrics = mFace->Metrics();
  return float(metrics.lineSpacing) * EmPixels(dpi) / float(metrics.emHeight);
}

} // namespace QZ::Platform::Graphics
