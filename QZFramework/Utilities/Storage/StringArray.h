#pragma once
// QZ::StringArrayT<C,O>: an array of strings with searches by identity and by text.
//
//   QZ::WStringArray names;
//   names.AddItem(QZ::WString(u"NID_IDLE"));
//   const char16_t* id = names.GetAt(0).GetBuffer();     // the stored copy's characters
//   names.FindByNamePointer(id);                          // 0
//   names.FindByName(QZ::WString(u"nid_idle"), false, 0); // 0
//
// Items are strings sharing their buffers as strings do; growing the array moves the
// string handles, never their characters, so a stored string's character address
// identifies it for as long as the item stays unchanged. Not synchronised.

#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

template <class C, class O>
class StringArrayT : public Array<StringT<C, O>> {
public:
  // The index of the item whose characters are at that very address, searching from the
  // last item; -1 when none is. Texts are never compared.
  int32_t FindByNamePointer(const C* characters) const {
    for (uint32_t i = this->GetCount(); i-- > 0;) {
      if (this->GetAt(i).GetBuffer() == characters) {
        return int32_t(i);
      }
    }
    return -1;
  }

  // The first index from start on whose item holds name's characters or equals its text
  // (ignoring case by simple one-to-one mapping when caseSensitive is false); -1 when
  // none does or start is not below the count.
  int32_t FindByName(const StringT<C, O>& name, bool caseSensitive, uint32_t start) const {
    for (uint32_t i = start; i < this->GetCount(); ++i) {
      const StringT<C, O>& item = this->GetAt(i);
      const bool match =
          caseSensitive ? item.IsEqual(name) : item.GetBuffer() == name.GetBuffer() || item.CompareNoCase(name) == 0;
      if (match) {
        return int32_t(i);
      }
    }
    return -1;
  }
};

// The program's string array.
using WStringArray = StringArrayT<char16_t, char>;

} // namespace QZ
