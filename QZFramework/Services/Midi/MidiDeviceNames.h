#pragma once
// How the MIDI port layer names devices and finds a requested name among them.
//
//   WStringArray names = QZ::MidiDeviceNames::MakeUnique({"X", "Y", "X"});  // X (1), X (2), Y
//   QZ::MidiDeviceNames::Split(u"X (2)");        // {u"X", 1}
//   QZ::MidiDeviceNames::Find(names, u"x (2)");   // {1, 1}: equal, ignoring case
//
// A device name the system repeats is told apart by a number in parentheses, counted
// from 1 in list order; a requested name ending in such a number picks that one of the
// devices whose names end with the rest. Comparisons ignore case (simple one-to-one
// mapping). Pure functions, any thread.

#include <cstdint>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/StringArray.h"

namespace QZ::MidiDeviceNames {

// The UTF-8 names made unique: the first remaining name is taken with every later name
// equal to it (exact, case-sensitive); a name that stands alone is kept as it is, and
// k + 1 equal names become "<name> (1)" to "<name> (k+1)" where the first of them stood.
WStringArray MakeUnique(const std::vector<std::string>& names);

struct RequestedName {
  WString base;
  // Which of the devices matching the base, from 0; -1 for "(0)" or a number that is no
  // number, which matches no device.
  int32_t index = 0;
};

// "<base> (n)" with one or two digits gives {base, n - 1}; any other name is its own
// base with index 0.
RequestedName Split(const WString& name);

struct NameMatch {
  // 1 when an entry equals the name; else the number of entries containing it.
  int32_t count = 0;
  // The entry that equals the name, else the first containing it; -1 when none does.
  int32_t index = -1;
};

NameMatch Find(const WStringArray& names, const WString& name);

// Whether the first occurrence of base in device ends exactly at the end of device.
bool EndsWithBase(const WString& device, const WString& base);

// The index of the device that a requested name opens: of the UTF-8 device names that
// end with the name's base, the one at its duplicate index; -1 when there is none.
// examined receives the last name looked at (the picked one when there is one).
int32_t PickDevice(const std::vector<std::string>& devices, const WString& requested, WString& examined);

} // namespace QZ::MidiDeviceNames
