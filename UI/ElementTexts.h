#pragma once
// The texts that the element pages and views of the controller picture build: the short
// channel text of a view's channel label, the channel line of a view's tool tip, a label's
// own format (its string table's "LABEL") filled with values, and the entry at a position
// of a string table, which the note and CC selectors show.
//
//   ShortChannelText(18);                          // "Z2": zone 2, as the pads report it
//   ChannelToolTipLine(0);                         // "Channel: Global"
//   (void)ShowFormattedLabel(*ccLabel, 74);        // "CC: %d" -> "CC: 74"
//   QZ::WString name;
//   TableEntryAt(table, 74, name);                 // "TEXT.074" of "TEXT.000" .. "TEXT.127"
//
// UI thread (the labels are controls); the text functions themselves hold no state.

#include <cstdint>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/StringTable.h"

// The channel byte c as a view's label shows it: 0 "G" (the global channel), 1 .. 16 and
// any negative c in decimal, 21 "O" (omni), 17 .. 20 and 22 .. 127 "Z" and c - 16 (zones).
QZ::WString ShortChannelText(int8_t channel);

// The channel line of a tool tip: "Channel: Global" for 0, else "Channel: " and the byte
// in decimal.
QZ::WString ChannelToolTipLine(uint8_t channel);

// The entry "LABEL" of control's own string table; empty when it has none.
QZ::WString LabelFormatOf(QZ::LControl& control);

// label's text becomes its "LABEL" format filled with args (QZ::WString::Format, which
// throws QZ::Exception<std::invalid_argument> for a format that does not fit them).
// SetText's result: 0, or 1 when the label showed that text already.
template <class... Args>
QZ::QZResult ShowFormattedLabel(QZ::LControl& label, const Args&... args) {
  const QZ::WString format = LabelFormatOf(label);
  return label.SetText(QZ::WString::Format(format.GetBuffer(), args...));
}

// value truncated toward zero as a table position or note number: 0 for a negative value
// or NaN, 0xFFFFFFFF for one beyond.
uint32_t TruncatedPosition(double value);

// true and the text of the entry at position (in key order) when table has more entries
// than position; false, text untouched, otherwise or for a null table.
bool TableEntryAt(const QZ::LStringTable* table, uint32_t position, QZ::WString& text);
