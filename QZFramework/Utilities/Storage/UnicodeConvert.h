#pragma once
// Conversion between UTF-16 and UTF-8 with the behaviour of the Unicode consortium's
// reference converter, which the framework's stored texts and tests assume:
//
//   const char16_t* from = text;  char* to = bytes;
//   QZ::ConversionResult r = QZ::ConvertUTF16toUTF8(&from, text + n, &to, bytes + capacity,
//                                                   QZ::ConversionFlags::Lenient);
//
// Both pointers advance past what was converted; on a stop they rest on the unit or
// sequence that stopped the conversion, so the converted prefix is always usable.
//
// Lenient conversion (the framework always asks for it):
// - UTF-16 to UTF-8: an unpaired surrogate is written as its own 3-byte sequence; a
//   high surrogate in the last unit of the source stops with SourceExhausted.
// - UTF-8 to UTF-16: a sequence that IsLegalUTF8 rejects stops with SourceIllegal, a
//   sequence cut off by the end of the source with SourceExhausted.
// Strict UTF-16 to UTF-8 conversion stops with SourceIllegal at an unpaired surrogate.
// UTF-8 to UTF-16 converts alike under both flags: IsLegalUTF8 already refuses encoded
// surrogates and values above U+10FFFF.
//
// Pure functions; safe from any thread.

#include <cstddef>

namespace QZ {

// (clang-format 14 misreads an attribute on an enum.)
// clang-format off
enum class [[nodiscard]] ConversionResult {
  OK,              // the whole source was converted
  SourceExhausted, // the source ends inside a character
  TargetExhausted, // no room for the next character
  SourceIllegal,   // a malformed character
};
// clang-format on

enum class ConversionFlags { Strict, Lenient };

ConversionResult ConvertUTF16toUTF8(const char16_t** sourceStart, const char16_t* sourceEnd, char** targetStart,
                                    char* targetEnd, ConversionFlags flags);
ConversionResult ConvertUTF8toUTF16(const char** sourceStart, const char* sourceEnd, char16_t** targetStart,
                                    char16_t* targetEnd, ConversionFlags flags);

// What the conversion of the whole source writes given room enough: the bytes or units
// it writes before it ends or stops. Lets a caller allocate the exact size first.
size_t MeasureUTF16toUTF8(const char16_t* source, const char16_t* sourceEnd, ConversionFlags flags);
size_t MeasureUTF8toUTF16(const char* source, const char* sourceEnd, ConversionFlags flags);

// Whether the length bytes from source form one legal UTF-8 sequence. The second byte is
// held to 0x80..0xBF, narrowed for the lead bytes 0xE0 (A0..BF), 0xED (80..9F),
// 0xF0 (90..BF) and 0xF4 (80..8F); leads 0x80..0xC1 and above 0xF4 are illegal.
bool IsLegalUTF8(const unsigned char* source, int length);

// Whether the sequence starting at source is legal and complete before sourceEnd.
bool IsLegalUTF8Sequence(const char* source, const char* sourceEnd);

} // namespace QZ
