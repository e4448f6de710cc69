#pragma once
// QZ::LStringTable: the texts of one string table, by string ID, ordered by UTF-16 unit.
// The control factory hands every control, menu and dialog a table of its own: the many
// controls of one table read the same entries until one of them changes its table, which
// then copies them. The same class carries a control descriptor's create params.
//
//   QZ::RCPtr<QZ::LStringTable> table = QZ::LStringTable::Create();
//   table->Set(u"LABEL", u"Send");
//   QZ::WString tip = u"none";
//   QZ::LookupString(table.Get(), u"TOOLTIP", tip);   // false: tip is still "none"
//   QZ::LookupString(table.Get(), QZ::TableKey<u"TOOLTIP">(), tip);   // the same, no string made
//
// Not synchronised: a table belongs to the thread that holds it (the UI thread).

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LStringTable : public LRefCountedObject {
public:
  using Entries = std::map<WString, WString>;

  static RCPtr<LStringTable> Create(Entries entries = {});
  // A table reading shared entries, which it copies before its first change.
  static RCPtr<LStringTable> Share(std::shared_ptr<const Entries> entries);

  // The text of id, or null when the table has no such entry. The pointer lives until
  // the table is changed or destroyed.
  const WString* Find(const WString& id) const;
  bool Contains(const WString& id) const { return mEntries->count(id) != 0; }
  // Replaces or adds the entry.
  void Set(const WString& id, const WString& text);
  // Adds text to the end of the entry, making it when missing (XML text arrives in pieces).
  void Append(const WString& id, const WString& piece);
  // Adds an empty entry unless id is present; true when it was added.
  bool AddEmpty(const WString& id);
  void Clear() { Own().clear(); }

  const Entries& GetEntries() const { return *mEntries; }
  size_t GetCount() const { return mEntries->size(); }

  // "LStringTable: <n> entries".
  WString ToString() const override;
  // A new table with a copy of the entries.
  RCPtr<LRefCountedObject> CreateCopy() const override;

private:
  explicit LStringTable(std::shared_ptr<const Entries> entries) : mEntries(std::move(entries)) {}

  // The entries to change: copied first while another table reads them too.
  Entries& Own();

  std::shared_ptr<const Entries> mEntries;
  bool mOwned = false;
};

// true and the text of id when table holds it; false, text untouched, when it does not
// or table is null.
bool LookupString(const LStringTable* table, const WString& id, WString& text);

// A key spelled in the code (TableKey's argument).
template <size_t N>
struct KeyLiteral {
  // Implicit: a literal names the key.
  constexpr KeyLiteral(const char16_t (&text)[N]) { std::copy_n(text, N, units); }
  char16_t units[N]{};
};

// The key as a string made on first use: a lookup by a literal builds and frees a string
// each time, thousands of times as a control tree is made.
template <KeyLiteral key>
const WString& TableKey() {
  static const WString made(key.units);
  return made;
}

} // namespace QZ
