#include "QZFramework/Services/Midi/MidiDeviceNames.h"

#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ::MidiDeviceNames {

WStringArray MakeUnique(const std::vector<std::string>& names) {
  std::vector<std::string> remaining = names;
  WStringArray unique;
  while (!remaining.empty()) {
    const std::string name = remaining.front();
    remaining.erase(remaining.begin());
    int32_t duplicates = 0;
    for (auto it = remaining.begin(); it != remaining.end();) {
      if (*it == name) {
        it = remaining.erase(it);
        ++duplicates;
      } else {
        ++it;
      }
    }
    const WString wide(name.c_str());
    if (duplicates == 0) {
      unique.AddItem(wide);
      continue;
    }
    for (int32_t n = 1; n <= duplicates + 1; ++n) {
      unique.AddItem(WString::Format(u"%s (%d)", wide, n));
    }
  }
  return unique;
}

RequestedName Split(const WString& name) {
  const uint32_t length = name.GetLength();
  const char16_t* text = name.GetBuffer();
  for (const uint32_t tail : {4u, 5u}) {
    if (length >= tail && text[length - tail + 1] == u'(' && text[length - 1] == u')') {
      const WString digits = name.Mid(int32_t(length - tail + 2), tail - 3);
      return {name.Left(length - tail), Chars::ToInt32(digits.GetBuffer()) - 1};
    }
  }
  return {name, 0};
}

NameMatch Find(const WStringArray& names, const WString& name) {
  const WString wanted = name.ToLower();
  NameMatch match;
  for (uint32_t i = 0; i < names.GetCount(); ++i) {
    const WString entry = names.GetAt(i).ToLower();
    if (entry.Find(wanted) < 0) {
      continue;
    }
    if (entry == wanted) {
      return {1, int32_t(i)};
    }
    if (match.count++ == 0) {
      match.index = int32_t(i);
    }
  }
  return match;
}

bool EndsWithBase(const WString& device, const WString& base) {
  const int32_t at = device.ToLower().Find(base.ToLower());
  return at >= 0 && uint32_t(at) + base.GetLength() == device.GetLength();
}

int32_t PickDevice(const std::vector<std::string>& devices, const WString& requested, WString& examined) {
  const RequestedName wanted = Split(requested);
  int32_t matched = 0;
  for (size_t i = 0; i < devices.size(); ++i) {
    examined = WString(devices[i].c_str());
    if (EndsWithBase(examined, wanted.base) && matched++ == wanted.index) {
      return int32_t(i);
    }
  }
  return -1;
}

} // namespace QZ::MidiDeviceNames
