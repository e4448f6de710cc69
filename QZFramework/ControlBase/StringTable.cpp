#include "QZFramework/ControlBase/StringTable.h"

namespace QZ {

RCPtr<LStringTable> LStringTable::Create(Entries entries) {
  return RCPtr<LStringTable>(new LStringTable(std::move(entries)));
}

const WString* LStringTable::Find(const WString& id) const {
  const auto found = mEntries.find(id);
  return found == mEntries.end() ? nullptr : &found->second;
}

void LStringTable::Set(const WString& id, const WString& text) { mEntries[id] = text; }

void LStringTable::Append(const WString& id, const WString& piece) { mEntries[id] += piece; }

bool LStringTable::AddEmpty(const WString& id) { return mEntries.try_emplace(id).second; }

WString LStringTable::ToString() const {
  return WString::Format(u"LStringTable: %u entries", static_cast<uint32_t>(mEntries.size()));
}

RCPtr<LRefCountedObject> LStringTable::CreateCopy() const { return Create(mEntries); }

bool LookupString(const LStringTable* table, const WString& id, WString& text) {
  const WString* found = table ? table->Find(id) : nullptr;
  if (!found) {
    return false;
  }
  text = *found;
  return true;
}

} // namespace QZ
