#pragma once
// Forward declarations of the two string types, for headers that only pass them on.

namespace QZ {

template <class C, class O>
class StringT;

// The program's text type: UTF-16.
using WString = StringT<char16_t, char>;
// Its 8-bit twin: UTF-8.
using NString = StringT<char, char16_t>;

} // namespace QZ
