#pragma once
// QZ::VariantEx: a Variant whose heap data lives in shared byte buffers, with a text form.
//
//   QZ::VariantEx level;
//   level.SetUInt16(10);
//   level.ToString();                       // "10 (0x000A)"
//   QZ::VariantEx name;
//   name.SetString(QZ::NString("Pad 1"));   // shares the string's buffer, copies nothing
//   QZ::NString again(name.GetBuffer());    // shares it once more
//
// Every block of a Buffer, String or List value is the data of a QZ::LIBuffer, so the
// bytes can be handed out (GetBuffer) and outlive the value. Copies of a VariantEx get
// buffers of their own. Writing through GetWritableData never changes bytes that someone
// else holds: a shared buffer is copied first.
//
// Texts by kind: "<empty>", "true"/"false", integers as "n (0x...)" with the hexadecimal
// field at least as wide as the kind, reals with six decimals, the pointer kinds as the
// hexadecimal pointer, strings as their text, lists as "array(n):" with one indented line
// per item, or "<empty array>".
//
// String values convert from their text: ToBool is true for "true" in any case; the
// integer conversions read a leading decimal number (white space and sign allowed,
// saturating at the bounds of int32 or int64 before the cut to the kind's width); the real
// conversions a leading real number. Other kinds convert as a Variant does.
//
// Not synchronised: one thread at a time, or under the lock of the value's holder. The
// buffers' counts are atomic, so bytes handed out may be read on other threads.

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/IArray.h"
#include "QZFramework/Utilities/Storage/SharedBuffer.h"
#include "QZFramework/Utilities/Storage/StringT.h"
#include "QZFramework/Utilities/Storage/Variant.h"

namespace QZ {

class VariantEx : public Variant, public IStringable {
public:
  VariantEx() = default;
  // Copies other; heap data goes into a buffer of this value's own.
  VariantEx(const Variant& other);
  VariantEx(const VariantEx& other);
  VariantEx& operator=(const Variant& other);
  VariantEx& operator=(const VariantEx& other);
  ~VariantEx() override;

  bool ToBool() const override;
  int8_t ToInt8() const override;
  int16_t ToInt16() const override;
  int32_t ToInt32() const override;
  int64_t ToInt64() const override;
  uint8_t ToUInt8() const override;
  uint16_t ToUInt16() const override;
  uint32_t ToUInt32() const override;
  uint64_t ToUInt64() const override;
  float ToFloat() const override;
  double ToDouble() const override;

  // As Variant's; the bytes of a Buffer or String shared with others are first replaced
  // by a private copy (null and size 0 when that copy cannot be made).
  void* GetWritableData(uint32_t& size) override;

  // The buffer holding a Buffer or String value (null for a Buffer of size 0). Its bytes
  // may be read and written, and the buffer kept beyond the value's life. Any other kind
  // throws Runtime Error.
  const RCPtr<LIBuffer>& GetBuffer() const;

  using Variant::SetString;
  // A String value over the text's own buffer: one more reference, no copy. A locked
  // text is copied instead.
  Type SetString(const NString& text);
  // A String value holding the text as UTF-8 (the registry reader's text values; byte
  // values go through SetBuffer).
  Type SetString(const WString& text);

  // The text of the kind (see above). A List is written at `indent` (0 when negative).
  WString ToStringByType(int32_t indent) const;
  // A List's text with its item lines indented by two blanks per level below `indent`;
  // any other kind gives ToStringByType(-1).
  virtual WString ToStringIndented(uint32_t indent) const;
  // ToStringByType(-1).
  WString ToString() const override;

  // Replaces the items of out by the decoded elements of this List: 0; 0 with out empty
  // for Empty; QZ_E_INVALIDARG for any other kind; QZ_E_FAIL when out cannot hold them all.
  // A record that does not decode gives an Empty item. out must not hold this value.
  QZResult GetListItems(IArray<VariantEx>& out) const;

protected:
  // A zero-filled string buffer of `size` bytes; null when out of memory.
  void* AllocateBuffer(uint32_t size) override;
  // Drops the buffer whose data `block` is.
  void FreeBuffer(void* block) override;

private:
  // The text of a String value converted to UTF-16: the part before the first malformed
  // sequence.
  WString WideText() const;

  // The buffer of the current value's block. A block made while the old value still
  // stands waits in mIncoming until the base class frees the old block and adopts it.
  RCPtr<LIBuffer> mBuffer;
  RCPtr<LIBuffer> mIncoming;
};

} // namespace QZ
