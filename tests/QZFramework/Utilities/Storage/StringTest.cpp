#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <unordered_set>

#include "Support/StringPrinter.h"

namespace {

using QZ::NString;
using QZ::WString;

const QZ::LIBuffer* BufferOf(const WString& s) { return s.GetSharedBuffer().Get(); }
const QZ::LIBuffer* BufferOf(const NString& s) { return s.GetSharedBuffer().Get(); }

TEST(StringTest, BufferSizesCountBytesWithTheTerminator) {
  const WString wide(u"abc");
  const NString narrow("abc");
  EXPECT_EQ(wide.GetSharedBuffer()->GetSize(), 8u);
  EXPECT_EQ(narrow.GetSharedBuffer()->GetSize(), 4u);
  EXPECT_EQ(wide.GetLength(), 3u);
  EXPECT_EQ(narrow.GetLength(), 3u);
  EXPECT_EQ(wide, u"abc");
  EXPECT_STREQ(narrow.GetBuffer(), "abc");
}

TEST(StringTest, EmptyStringsShareOneBuffer) {
  const QZ::LIBuffer* empty = BufferOf(WString::GetEmpty());
  const WString byDefault;
  const WString fromEmptyText(u"");
  const WString fromNull(static_cast<const char16_t*>(nullptr));
  WString emptied(u"text");
  emptied.Empty();
  WString assigned(u"text");
  assigned.Assign(u"abc", 0);
  const WString converted{NString()};
  for (const WString* s :
       std::initializer_list<const WString*>{&byDefault, &fromEmptyText, &fromNull, &emptied, &assigned, &converted}) {
    EXPECT_EQ(BufferOf(*s), empty);
    EXPECT_EQ(s->GetLength(), 0u);
    EXPECT_TRUE(s->IsEmpty());
  }
  EXPECT_EQ(BufferOf(NString()), BufferOf(NString::GetEmpty()));
  EXPECT_NE(static_cast<const void*>(BufferOf(NString())), static_cast<const void*>(empty));

  // The unit 0 gives an empty text in a buffer of its own.
  const WString zero(u'\0');
  EXPECT_TRUE(zero.IsEmpty());
  EXPECT_NE(BufferOf(zero), empty);
  EXPECT_EQ(zero.GetSharedBuffer()->GetSize(), 2u);
}

TEST(StringTest, CopiesShareUnlockedBuffersAndCopyLockedText) {
  const WString original(u"shared");
  WString copy = original;
  EXPECT_EQ(BufferOf(copy), BufferOf(original));
  WString assigned;
  assigned = original;
  EXPECT_EQ(BufferOf(assigned), BufferOf(original));

  char16_t* units = copy.Lock(20);
  units[0] = u'S';
  const WString ofLocked = copy;
  EXPECT_FALSE(ofLocked.IsLocked());
  EXPECT_NE(BufferOf(ofLocked), BufferOf(copy));
  EXPECT_EQ(ofLocked, u"Shared");
  EXPECT_EQ(ofLocked.GetSharedBuffer()->GetSize(), 14u);
  units[1] = u'H';
  EXPECT_EQ(ofLocked, u"Shared");
  EXPECT_EQ(copy.Unlock(), 0);
  EXPECT_EQ(copy, u"SHared");
  EXPECT_EQ(original, u"shared");

  WString moved = std::move(copy);
  EXPECT_EQ(moved, u"SHared");
  EXPECT_TRUE(copy.IsEmpty()); // NOLINT(bugprone-use-after-move): moved-from strings are empty
}

TEST(StringTest, LockGivesAPrivateBufferAndUnlockTrimsIt) {
  WString first(u"abc");
  const WString second = first;
  char16_t* units = first.Lock(10);
  ASSERT_NE(units, nullptr);
  EXPECT_NE(BufferOf(first), BufferOf(second));
  EXPECT_EQ(first.GetSharedBuffer()->GetSize(), 20u);
  EXPECT_EQ(std::memcmp(units, u"abc\0\0\0\0\0\0", 20), 0);
  units[3] = u'd';
  EXPECT_EQ(first.GetLength(), 4u);
  EXPECT_EQ(second, u"abc");

  EXPECT_EQ(first.Lock(), nullptr);
  EXPECT_EQ(first.Unlock(), 0);
  EXPECT_EQ(first, u"abcd");
  EXPECT_EQ(first.GetSharedBuffer()->GetSize(), 10u);
  EXPECT_EQ(first.Unlock(), 1);
  EXPECT_EQ(first, u"abcd");

  // Writing "" and unlocking shares the empty buffer again.
  first.Lock()[0] = u'\0';
  EXPECT_EQ(first.Unlock(), 0);
  EXPECT_EQ(BufferOf(first), BufferOf(WString::GetEmpty()));
}

TEST(StringTest, LockOfTheOnlyHolderKeepsTheBufferAndClearsNewRoom) {
  WString text(u"abcdef");
  const QZ::LIBuffer* buffer = BufferOf(text);
  char16_t* units = text.Lock(3);
  EXPECT_EQ(BufferOf(text), buffer);
  EXPECT_EQ(std::u16string_view(units), u"ab");
  EXPECT_EQ(text.Unlock(), 0);
  EXPECT_EQ(text, u"ab");

  units = text.Lock(300);
  for (int i = 2; i < 300; ++i) {
    EXPECT_EQ(units[i], u'\0') << i;
  }
  text.Unlock();
}

TEST(StringTest, UnlockTerminatesAFullyWrittenBuffer) {
  NString text;
  char* bytes = text.Lock(3);
  std::memcpy(bytes, "xyz", 3); // overwrites the NUL Lock put in the last unit
  EXPECT_EQ(text.Unlock(), 0);
  EXPECT_EQ(text.GetLength(), 3u);
  EXPECT_STREQ(text.GetBuffer(), "xyz");
}

TEST(StringTest, WritesIntoALockedBufferStayInsideIt) {
  WString text;
  text.Lock(10);
  text.Assign(u"abc", WString::kWholeText);
  EXPECT_TRUE(text.IsLocked());
  EXPECT_EQ(text.Unlock(), 0);
  EXPECT_EQ(text, u"abc");
  EXPECT_EQ(text.GetSharedBuffer()->GetSize(), 8u);

  // Too long for the locked room: what fits, and the terminator.
  text.Lock(4);
  text.Assign(u"abcdefgh");
  EXPECT_EQ(std::u16string_view(text.GetBuffer()), u"abc");
  text.AssignUTF8("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F");
  EXPECT_EQ(std::u16string_view(text.GetBuffer()), u"äöü");
  text.Empty();
  EXPECT_TRUE(text.IsLocked());
  EXPECT_TRUE(text.IsEmpty());
  const WString other(u"xyz");
  text = other;
  EXPECT_TRUE(text.IsLocked());
  EXPECT_NE(BufferOf(text), BufferOf(other));
  text += WString(u"123");
  EXPECT_EQ(text.GetSharedBuffer()->GetSize(), 14u);
  text = WString(u"moved in");
  text.ReplaceChars(u" ", u'_');
  EXPECT_TRUE(text.IsLocked());
  EXPECT_EQ(std::u16string_view(text.GetBuffer()), u"moved_");
  EXPECT_EQ(text.ToUpper(), u"MOVED_");
  EXPECT_EQ(text.Unlock(), 0);
  EXPECT_EQ(text, u"moved_");
}

TEST(StringTest, AssignCopiesFromItsOwnText) {
  WString text(u"abcdef");
  text.Assign(text.GetBuffer() + 2, 3);
  EXPECT_EQ(text, u"cde");
  text.Lock(10);
  text.Assign(text.GetBuffer() + 1);
  text.Unlock();
  EXPECT_EQ(text, u"de");
}

// A buffer whose duplication fails, as another buffer implementation may.
class FailingBuffer : public QZ::LByteBuffer {
public:
  using QZ::LByteBuffer::LByteBuffer;
  QZ::RCPtr<QZ::LIBuffer> Duplicate(uint32_t, uint32_t) const override { return nullptr; }
};

QZ::RCPtr<QZ::LIBuffer> BytesBuffer(const char* bytes, uint32_t size) {
  QZ::RCPtr<QZ::LIBuffer> buffer(new QZ::LByteBuffer(size, 0, false));
  std::memcpy(buffer->GetData(), bytes, size);
  return buffer;
}

TEST(StringTest, LockThrowsWhenASharedBufferCannotBeDuplicated) {
  QZ::RCPtr<QZ::LIBuffer> buffer(new FailingBuffer(3, 0, false));
  std::memcpy(buffer->GetData(), "ab", 3);
  NString text(buffer);
  ASSERT_EQ(BufferOf(text), buffer.Get());
  try {
    text.Lock();
    FAIL() << "expected a runtime error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Runtime Error : QZ::StringT<char,wchar_t>::Lock : Utilities\\Storage\\StringT : Line 764");
  }
  EXPECT_FALSE(text.IsLocked());
  EXPECT_STREQ(text.GetBuffer(), "ab");
}

TEST(StringTest, NarrowStringOverABufferNeverWritesIntoIt) {
  // Exactly its text and a NUL: shared as it is.
  const QZ::RCPtr<QZ::LIBuffer> exact = BytesBuffer("abc", 4);
  const NString shared(exact);
  EXPECT_EQ(BufferOf(shared), exact.Get());
  EXPECT_EQ(shared.GetLength(), 3u);

  // No NUL within the size: a private copy with one.
  const QZ::RCPtr<QZ::LIBuffer> unterminated = BytesBuffer("abc", 3);
  const NString copied(unterminated);
  EXPECT_NE(BufferOf(copied), unterminated.Get());
  EXPECT_STREQ(copied.GetBuffer(), "abc");
  EXPECT_EQ(unterminated->GetSize(), 3u);

  // Bytes after the first NUL: the text before it; the buffer keeps its size and bytes.
  const QZ::RCPtr<QZ::LIBuffer> embedded = BytesBuffer("ab\0cd", 5);
  const NString cut(embedded);
  EXPECT_STREQ(cut.GetBuffer(), "ab");
  EXPECT_EQ(cut.GetLength(), 2u);
  EXPECT_EQ(embedded->GetSize(), 5u);
  EXPECT_EQ(std::memcmp(embedded->GetData(), "ab\0cd", 5), 0);

  // A locked buffer is copied; null and empty buffers give the empty string.
  QZ::RCPtr<QZ::LIBuffer> locked = BytesBuffer("xy", 3);
  locked->SetUnshareable(true);
  const NString fromLocked(locked);
  EXPECT_NE(BufferOf(fromLocked), locked.Get());
  EXPECT_STREQ(fromLocked.GetBuffer(), "xy");
  EXPECT_EQ(BufferOf(NString(QZ::RCPtr<QZ::LIBuffer>())), BufferOf(NString::GetEmpty()));
  EXPECT_EQ(BufferOf(NString(BytesBuffer("", 1))), BufferOf(NString::GetEmpty()));
}

TEST(StringTest, MidClampsToTheString) {
  const WString text(u"abcdef");
  EXPECT_EQ(text.Mid(-2, 5), u"ef");
  EXPECT_EQ(text.Mid(4, 10), u"ef");
  EXPECT_EQ(text.Mid(6, 1), u"");
  EXPECT_EQ(text.Mid(1, 0), u"");
  EXPECT_EQ(text.Mid(2), u"cdef");
  EXPECT_EQ(text.Mid(-2), u"ef");
  EXPECT_EQ(text.Mid(7), u"");
  EXPECT_EQ(text.Mid(2, uint32_t(-1)), u"cdef");
  // A window starting before the text keeps only its part inside.
  EXPECT_EQ(text.Mid(-8, 4), u"ab");
  EXPECT_EQ(text.Mid(-10, 2), u"");
  EXPECT_EQ(text.Mid(-10), u"abcdef");
  EXPECT_EQ(text.Left(2), u"ab");
  EXPECT_EQ(text.Left(10), u"abcdef");
  EXPECT_EQ(text.Right(2), u"ef");
  EXPECT_EQ(text.Right(0), u"");
  EXPECT_EQ(text.Right(9), u"abcdef");
  // The whole text shares the buffer.
  EXPECT_EQ(BufferOf(text.Mid(0)), BufferOf(text));
}

TEST(StringTest, InsertPastTheEndChangesNothing) {
  WString text(u"abcdef");
  const QZ::LIBuffer* buffer = BufferOf(text);
  EXPECT_EQ(text.Insert(7, WString(u"x")), int32_t(0x80070057));
  EXPECT_EQ(text.Insert(7, u"x", 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(text.InsertUTF8(7, "x", 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(text, u"abcdef");
  EXPECT_EQ(BufferOf(text), buffer);

  EXPECT_EQ(text.Insert(6, WString(u"g")), 0);
  EXPECT_EQ(text, u"abcdefg");
  EXPECT_EQ(text.Insert(0, WString(u">")), 0);
  EXPECT_EQ(text.Insert(4, u"-|-", 1), 0);
  EXPECT_EQ(text, u">abc-defg");
  EXPECT_EQ(text.Insert(1, u"[]", WString::kWholeText), 0);
  EXPECT_EQ(text.InsertUTF8(2, "\xC3\xA4xyz", 3), 0);
  EXPECT_EQ(text, u">[äx]abc-defg");
  EXPECT_EQ(text.Insert(3, text), 0);
  EXPECT_EQ(text, u">[ä>[äx]abc-defgx]abc-defg");
}

TEST(StringTest, AppendingJoinsTexts) {
  WString text;
  text += WString(u"ab");
  text += u'c';
  text += 'd';
  text += '\xC3'; // a lone UTF-8 lead byte is no character
  text.AppendChar(u'\0');
  EXPECT_EQ(text, u"abcd");
  text += text;
  EXPECT_EQ(text, u"abcdabcd");
  EXPECT_EQ(WString(u"x") + WString(u"y") + WString(), u"xy");
  const WString right(u"tail");
  EXPECT_EQ(BufferOf(WString() + right), BufferOf(right));
  EXPECT_EQ(NString("ab") + NString("cd"), NString("abcd"));
}

TEST(StringTest, SearchFindsUnits) {
  const WString text(u"a/b/c.txt");
  EXPECT_EQ(text.Find(WString(u"/c")), 3);
  EXPECT_EQ(text.Find(WString(u"a/b/c.txt!")), -1);
  EXPECT_EQ(text.Find(WString(u"q")), -1);
  EXPECT_EQ(text.Find(WString()), 0);
  WString locked(u"x/c/c");
  char16_t* units = locked.Lock(32);
  units[3] = u'\0'; // a locked string's text ends at its first NUL: "x/c"
  EXPECT_EQ(locked.Find(WString(u"/c")), 1);
  EXPECT_EQ(text.Find(locked), -1);
  EXPECT_EQ(WString(u"zx/c/c").Find(locked), 1);
  locked.Unlock();
  EXPECT_EQ(text.ReverseFind('/'), 3);
  EXPECT_EQ(text.ReverseFind(u'a'), 0);
  EXPECT_EQ(text.ReverseFind('\xE9'), -1);
  EXPECT_EQ(text.ReverseFind('\0'), -1);
  EXPECT_EQ(NString("x.y.z").ReverseFind('.'), 3);
}

TEST(StringTest, ReplaceCharsAndTrim) {
  WString path(u"a\\b:c\\d");
  const QZ::LIBuffer* before = BufferOf(path);
  path.ReplaceChars(u"\\:", u'/');
  EXPECT_EQ(path, u"a/b/c/d");
  EXPECT_NE(BufferOf(path), before);
  const WString copy = path;
  path.ReplaceChars(u"/", u'\0');
  path.ReplaceChars(u"#", u'x');
  EXPECT_EQ(BufferOf(path), BufferOf(copy));

  WString padded(u" \t value \r\n");
  EXPECT_EQ(padded.Trim(), u"value");
  WString blank(u" \r\n\t");
  EXPECT_EQ(BufferOf(blank.Trim()), BufferOf(WString::GetEmpty()));
  WString inner(u"a b");
  EXPECT_EQ(BufferOf(inner), BufferOf(inner.Trim()));
  NString locked(" x ");
  locked.Lock();
  locked.Trim();
  locked.Unlock();
  EXPECT_STREQ(locked.GetBuffer(), "x");
}

TEST(StringTest, ComparisonIsByUnsignedUnit) {
  const WString text(u"abc");
  EXPECT_TRUE(text == u"abc");
  EXPECT_FALSE(text == u"ab");
  EXPECT_FALSE(text == u"abcd");
  EXPECT_FALSE(text == static_cast<const char16_t*>(nullptr));
  EXPECT_TRUE(WString() == static_cast<const char16_t*>(nullptr));
  EXPECT_TRUE(WString() == u"");
  EXPECT_TRUE(u"abc" == text);

  EXPECT_LT(WString(u"a"), WString(u"\xFFFF"));
  EXPECT_LT(WString(u"\x00FF"), WString(u"\xD800"));
  EXPECT_LT(WString(u"\xD83D\xDE00"), WString(u"\xFF21")); // by unit, not by code point
  EXPECT_LT(WString(u"ab"), WString(u"abc"));
  EXPECT_GT(NString("\xC3\xA4"), NString("z"));
  EXPECT_FALSE(WString(u"abc") < WString(u"abc"));

  const WString same = text;
  EXPECT_TRUE(text.IsEqual(same));
  EXPECT_FALSE(text != same);
  EXPECT_TRUE(text != WString(u"abd"));
  EXPECT_EQ(text, WString(u"abc"));

  EXPECT_EQ(WString(u"ÄBC").CompareNoCase(WString(u"äbc")), 0);
  EXPECT_LT(WString(u"abc").CompareNoCase(WString(u"ABD")), 0);
  EXPECT_EQ(NString("ABC").CompareNoCase(NString("abc")), 0);

  const std::unordered_set<WString> names{WString(u"Pad 1"), WString(u"Pad 2")};
  EXPECT_EQ(names.count(WString(u"Pad 2")), 1u);
}

TEST(StringTest, ComparisonReadsEveryKindOfBufferAlike) {
  // A made string, one written through Lock, a locked one and one over a byte buffer.
  const WString made(u"abc");
  WString written;
  std::memcpy(written.Lock(4), u"abc", 8);
  written.Unlock();
  WString locked(u"abcz");
  locked.Lock(8)[3] = u'\0';
  EXPECT_EQ(made, written);
  EXPECT_EQ(made, locked);
  EXPECT_EQ(locked <=> written, std::strong_ordering::equal);
  EXPECT_LT(WString(u"ab"), locked);
  EXPECT_GT(WString(u"abd"), locked);
  EXPECT_EQ(NString(BytesBuffer("abc\0xyz", 8)) <=> NString("abc"), std::strong_ordering::equal);
  EXPECT_GT(NString(BytesBuffer("\xC3\xA4", 3)), NString("z"));
  locked.Unlock();
}

TEST(StringTest, AMadeStringsBufferGrowsAndShrinksKeepingItsBytes) {
  QZ::RCPtr<QZ::LIBuffer> buffer = WString(u"abcd").GetSharedBuffer();
  ASSERT_EQ(buffer->GetRefCount(), 1);
  ASSERT_EQ(buffer->GetSize(), 10u);
  EXPECT_EQ(buffer->SetSize(6), 6u); // within its block
  EXPECT_EQ(std::memcmp(buffer->GetData(), u"abc", 6), 0);
  EXPECT_EQ(buffer->SetSize(400), 400u); // beyond it: the bytes move
  EXPECT_GE(buffer->GetCapacity(), 400u);
  EXPECT_EQ(std::memcmp(buffer->GetData(), u"abc", 6), 0);
  EXPECT_EQ(buffer->Fill16(u'x', 6, 197), QZ::QZ_OK);
  EXPECT_EQ(buffer->Fill16(u'x', 6, 198), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(buffer->Fill8(0, 398, -1), QZ::QZ_OK);
  EXPECT_EQ(buffer->Fill8(0, 401, -1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(buffer->SetSize(8), 8u); // back into its block
  EXPECT_EQ(std::memcmp(buffer->GetData(), u"abcx", 8), 0);
  EXPECT_EQ(buffer->SetSize(300), 300u);
  EXPECT_EQ(buffer->SetSize(200), 200u); // within the slack: no move
  EXPECT_EQ(std::memcmp(buffer->GetData(), u"abcx", 8), 0);

  EXPECT_EQ(buffer->Fill16(u'y', 8, -1), QZ::QZ_OK);
  EXPECT_EQ(std::memcmp(buffer->Duplicate(8, 4)->GetData(), u"cxyy", 8), 0);
  EXPECT_EQ(std::memcmp(buffer->Duplicate(8, 196)->GetData(), u"yy\0\0", 8), 0);
  buffer->SetUnshareable(true);
  const QZ::RCPtr<QZ::LIBuffer> copy = buffer; // a private copy of the same bytes
  ASSERT_NE(copy.Get(), buffer.Get());
  EXPECT_EQ(copy->GetSize(), 200u);
  EXPECT_EQ(std::memcmp(copy->GetData(), buffer->GetData(), 200), 0);
  EXPECT_EQ(copy->SetCapacity(4), 4u);
  EXPECT_EQ(copy->SetCapacity(1000), 1000u);
  EXPECT_EQ(copy->GetSize(), 1000u);
}

TEST(StringTest, CaseMappingCopies) {
  EXPECT_EQ(WString(u"Straße ÄÖÜ ÿ Σ").ToUpper(), u"STRAßE ÄÖÜ Ÿ Σ");
  EXPECT_EQ(WString(u"ÄÖÜ ΣΑΣ İ").ToLower(), u"äöü σασ i");
  EXPECT_EQ(WString(u"\xD83D\xDE00").ToUpper(), u"\xD83D\xDE00");
  // The narrow string maps ASCII only, so UTF-8 sequences stay intact.
  EXPECT_STREQ(NString("stra\xC3\x9F"
                       "e \xC3\xA4")
                   .ToUpper()
                   .GetBuffer(),
               "STRA\xC3\x9F"
               "E \xC3\xA4");
  EXPECT_STREQ(NString("ABC").ToLower().GetBuffer(), "abc");
  const WString lower(u"lower");
  EXPECT_EQ(BufferOf(lower.ToLower()), BufferOf(lower));
}

TEST(StringTest, ImpliedDecimals) {
  EXPECT_EQ(WString::FromInt(123, 2), u"1.23");
  EXPECT_EQ(WString::FromInt(5, 2), u".05");
  EXPECT_EQ(WString::FromInt(5, 0), u"5");
  EXPECT_EQ(WString::FromInt(-5, 0), u"-5");
  EXPECT_EQ(WString::FromInt(-5, 2), u"-.05");
  EXPECT_EQ(WString::FromInt(-123, 2), u"-1.23");
  EXPECT_EQ(WString::FromInt(INT32_MIN), u"-2147483648");
  EXPECT_EQ(WString::FromUInt(7, 3), u".007");
  EXPECT_EQ(WString::FromUInt(UINT32_MAX, 12), u".004294967295");
  EXPECT_EQ(WString::FromUInt(0, 1), u".0");
  EXPECT_EQ(WString::FromDouble(2.5, 1), u"2.5");
  EXPECT_EQ(WString::FromDouble(2.5, -1), u"2.500000");
  EXPECT_EQ(WString::FromDouble(2.5, 0), u"2");
  EXPECT_EQ(WString::FromDouble(-0.125, 2), u"-0.12");
  EXPECT_STREQ(NString::FromInt(-42, 1).GetBuffer(), "-4.2");
}

} // namespace
