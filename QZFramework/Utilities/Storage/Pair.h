#pragma once
// QZ::Pair<First,Second>: a plain key-value pair, copied as a whole.
//
//   QZ::Pair<int, QZ::WString> entry(3, name);   // entry.first == 3
//
// The shared, reference-counted form is QZ::LPair (SharedPair.h).

namespace QZ {

template <class First, class Second>
struct Pair {
  First first{};
  Second second{};

  Pair() = default;
  Pair(const First& key, const Second& value) : first(key), second(value) {}
};

} // namespace QZ
