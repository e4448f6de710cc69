#pragma once
// QZ::LStringTable: the texts of one string table, by string ID, ordered by UTF-16 unit.
// The control factory hands every control, menu and dialog a private copy of its table;
// the same class carries a control descriptor's create params.
//
//   QZ::RCPtr<QZ::LStringTable> table = QZ::LStringTable::Create();
//   table->Set(u"LABEL", u"Send");
//   QZ::WString tip = u"none";
//   QZ::LookupString(table.Get(), u"TOOLTIP", tip);   // false: tip is still "none"
//
// Not synchronised: a table belongs to the thread that holds it (the UI thread).

#include <cstddef>
#include <map>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LStringTable : public LRefCountedObject {
public:
  using Entries = std::map<WString, WString>;

  static RCPtr<LStringTable> Create(Entries entries = {});

  // The text of id, or null when the table has no such entry. The pointer lives until
  // the entry is changed or the table is destroyed.
  const WString* Find(const WString& id) const;
  bool Contains(const WString& id) const { return mEntries.count(id) != 0; }
  // Replaces or adds the entry.
  void Set(const WString& id, const WString& text);
  // Adds text to the end of the entry, making it when missing (XML text arrives in pieces).
  void Append(const WString& id, const WString& piece);
  // Adds an empty entry unless id is present; true when it was added.
  bool AddEmpty(const WString& id);
  void Clear() { mEntries.clear(); }

  const Entries& GetEntries() const { return mEntries; }
  size_t GetCount() const { return mEntries.size(); }

  // "LStringTable: <n> entries".
  WString ToString() const override;
  // A new table with a copy of the entries.
  RCPtr<LRefCountedObject> CreateCopy() const override;

private:
  explicit LStringTable(Entries entries) : mEntries(std::move(entries)) {}

  Entries mEntries;
};

// true and the text of id when table holds it; false, text untouched, when it does not
// or table is null.
bool LookupString(const LStringTable* table, const WString& id, WString& text);

} // namespace QZ
