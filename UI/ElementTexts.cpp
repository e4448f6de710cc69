#include "UI/ElementTexts.h"

#include <cmath>
#include <iterator>
#include <limits>

namespace {

constexpr int8_t kGlobalChannel = 0;
constexpr int8_t kLastMidiChannel = 16;
constexpr int8_t kOmniChannel = 21;
// Zones 1 .. 4 arrive as 17 .. 20.
constexpr int kZoneBase = 16;

} // namespace

QZ::WString ShortChannelText(int8_t channel) {
  if (channel == kGlobalChannel) {
    return QZ::WString(u"G");
  }
  if (channel == kOmniChannel) {
    return QZ::WString(u"O");
  }
  if (channel <= kLastMidiChannel) {
    return QZ::WString::Format(u"%d", channel);
  }
  return QZ::WString::Format(u"Z%d", channel - kZoneBase);
}

QZ::WString ChannelToolTipLine(uint8_t channel) {
  return channel == 0 ? QZ::WString(u"Channel: Global") : QZ::WString::Format(u"Channel: %d", channel);
}

QZ::WString LabelFormatOf(QZ::LControl& control) {
  QZ::WString format;
  QZ::LookupString(control.GetStringTable().Get(), QZ::WString(u"LABEL"), format); // none: empty
  return format;
}

uint32_t TruncatedPosition(double value) {
  constexpr double kLast = std::numeric_limits<uint32_t>::max();
  if (!(value > 0.0)) {
    return 0;
  }
  return value >= kLast ? std::numeric_limits<uint32_t>::max() : uint32_t(std::trunc(value));
}

bool TableEntryAt(const QZ::LStringTable* table, uint32_t position, QZ::WString& text) {
  if (!table || position >= table->GetCount()) {
    return false;
  }
  // The table keeps its entries in key order: "ITEM.00" .. or "TEXT.000" .. by position.
  text = std::next(table->GetEntries().begin(), position)->second;
  return true;
}
