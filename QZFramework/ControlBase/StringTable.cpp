#include "QZFramework/ControlBase/StringTable.h"

namespace QZ {

RCPtr<LStringTable> LStringTable::Create(Entries entries) {
  RCPtr<LStringTable> table(new LStringTable(std::make_shared<Entries>(std::move(entries))));
  table->mOwned = true;
  return table;
}

RCPtr<LStringTable> LStringTable::Share(std::shared_ptr<const Entries> entries) {
  return RCPtr<LStringTable>(new LStringTable(entries ? std::move(entries) : std::make_shared<const Entries>()));
}

LStringTable::Entries& LStringTable::Own() {
  if (!mOwned) {
    mEntries = std::make_shared<Entries>(*mEntries);
    mOwned = true;
  }
  // Made (not const) by this table and read by no other: the const is only the sharing's.
  return const_cast<Entries&>(*mEntries);
}

const WString* LStringTable::Find(const WString& id) const {
  const auto found = mEntries->find(id);
  return found == mEntries->end() ? nullptr : &found->second;
}

void LStringTable::Set(const WString& id, const WString& text) { Own().insert_or_assign(id, text); }

void LStringTable::Append(const WString& id, const WString& piece) { Own()[id] += piece; }

bool LStringTable::AddEmpty(const WString& id) { return Own().try_emplace(id).second; }

WString LStringTable::ToString() const {
  return WString::Format(u"LStringTable: %u entries", static_cast<uint32_t>(mEntries->size()));
}

RCPtr<LRefCountedObject> LStringTable::CreateCopy() const { return Create(*mEntries); }

bool LookupString(const LStringTable* table, const WString& id, WString& text) {
  const WString* found = table ? table->Find(id) : nullptr;
  if (!found) {
    return false;
  }
  text = *found;
  return true;
}

} // namespace QZ
