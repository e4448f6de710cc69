#include "QZFramework/Services/Settings/XNode.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "QZFramework/Services/Settings/XNodeBlock.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace {

// What GetElementName gives a node that has no element name; made on first use, so that
// a node read during another file's static initialisation finds it made.
const std::string& NoText() {
  static const std::string empty;
  return empty;
}

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'Z') {
    return c - 'A' + 10;
  }
  return 99;
}

// A C integer literal as strtol with base 0 reads it into a 32-bit long: blanks, a
// sign, then 0x hexadecimal, 0 octal or decimal digits; out of range saturates.
int32_t ParseInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == '0') {
    base = 8;
    if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && DigitValue(text[i + 2]) < 16) {
      base = 16;
      i += 2;
    }
  }
  constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit >= base) {
      break;
    }
    value = std::min(value * base + digit, kLimit);
  }
  if (negative) {
    return int32_t(-value);
  }
  return int32_t(std::min(value, kLimit - 1));
}

// The plain decimal numbers settings hold ("-12.375", no exponent, up to 15 digits), read
// without the general parser when that gives the same float: digits and power of ten are
// exact doubles, so their quotient is the nearest double, and that rounds to the nearest
// float unless it lies just halfway between two (then the true value decides, beyond the
// double). False: read it in full.
bool ParsePlainReal(const char* first, const char* last, float& value) {
  const char* next = first;
  const bool negative = next != last && *next == '-';
  next += negative ? 1 : 0;
  uint64_t digits = 0;
  const auto readDigits = [&next, last, &digits]() {
    const char* start = next;
    for (; next != last && uint8_t(*next - '0') < 10; ++next) {
      digits = digits * 10 + uint64_t(*next - '0');
    }
    return int(next - start);
  };
  int count = readDigits();
  int fraction = 0;
  if (next != last && *next == '.') {
    ++next;
    fraction = readDigits();
    count += fraction;
  }
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (count == 0 || count > 15 || (next != last && (*next == 'e' || *next == 'E'))) {
    return false;
  }
  // Between 1e-15 and 1e15 floats are normal: narrowing drops the low 29 bits.
  const double exact = double(digits) / kPowers[fraction];
  uint64_t bits = 0;
  std::memcpy(&bits, &exact, sizeof bits);
  if ((bits & 0x1FFFFFFF) == 0x10000000) {
    return false;
  }
  value = negative ? -float(exact) : float(exact);
  return true;
}

// A decimal real with '.' whatever the locale: blanks, a sign, digits, fraction and
// exponent, or inf / nan; beyond the float range an infinity, below it zero.
float ParseReal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) {
    ++i;
  }
  if (i < text.size() && text[i] == '+' && i + 1 < text.size() && text[i + 1] != '-') {
    ++i;
  }
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  float value = 0.0f;
  if (ParsePlainReal(first, last, value)) {
    return value;
  }
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    const float sign = *first == '-' ? -1.0f : 1.0f;
    const double magnitude = std::fabs(QZ::Chars::ToDouble(std::string(first, end).c_str()));
    return magnitude > 1.0 ? sign * std::numeric_limits<float>::infinity() : sign * 0.0f;
  }
  return error == std::errc() ? value : 0.0f;
}

} // namespace

XNode::Block* XNode::Block::Create(uint32_t capacity) {
  static_assert(sizeof(Block) <= kHeader && alignof(Block) <= alignof(XNode));
  void* memory = ::operator new(kHeader + size_t(capacity) * sizeof(XNode));
  return new (memory) Block(capacity);
}

void XNode::Block::Release(uint32_t count) {
  if (mHolders.fetch_sub(count, std::memory_order_acq_rel) == count) {
#if defined(__SANITIZE_ADDRESS__)
    // The slots of destroyed nodes and lists are poisoned.
    ASAN_UNPOISON_MEMORY_REGION(Slots(), size_t(mCapacity) * sizeof(XNode));
#endif
    this->~Block();
    ::operator delete(this);
  }
}

thread_local XNode::Block* XNode::ChildAllocator::tBlock = nullptr;

XNode** XNode::ChildAllocator::allocate(size_t count) {
  XNode** list = tBlock ? tBlock->MakeList(count) : nullptr;
  if (!list) {
    list = static_cast<XNode**>(::operator new((count + 1) * sizeof(XNode*)));
    list[0] = nullptr;
  }
  return list + 1;
}

void XNode::ChildAllocator::deallocate(XNode** list, [[maybe_unused]] size_t count) {
  Block* block = reinterpret_cast<Block*>(list[-1]);
  if (!block) {
    ::operator delete(list - 1);
    return;
  }
#if defined(__SANITIZE_ADDRESS__)
  ASAN_POISON_MEMORY_REGION(list - 1, (count + 1) * sizeof(XNode*));
#endif
  block->Release(1);
}

// Inline: a tree's release calls it for every node.
inline XNode::Block* XNode::Destroy(XNode* node) {
  Block* block = node->mBlock;
  node->~XNode();
  if (!block) {
    ::operator delete(node);
    return nullptr;
  }
#if defined(__SANITIZE_ADDRESS__)
  // The slot is never used again: a node kept past its destruction is still caught.
  ASAN_POISON_MEMORY_REGION(node, sizeof(XNode));
#endif
  return block;
}

void XNode::operator delete(XNode* node, std::destroying_delete_t) {
  if (Block* block = Destroy(node)) {
    block->Release(1);
  }
}

XNode::XNode(XNode* parent, Type type) : mFlags(type) {
  if (parent) {
    parent->AddChild(this);
  }
}

void XNode::Unlink() {
  const auto detach = [this](XNode* container) {
    auto& slots = container->mChildren;
    slots.erase(std::find(slots.begin(), slots.end(), this));
  };
  if (mParent) {
    detach(mParent);
  }
  if (mRare) {
    for (XNode* container : mRare->moreParents) {
      detach(container);
    }
  }
  if (!mChildren.empty()) {
    ReleaseChildren();
  }
}

XNode::Rare& XNode::MakeRare() {
  if (!mRare) {
    mRare = std::make_unique<Rare>();
  }
  return *mRare;
}

const std::string& XNode::GetElementName() const { return mRare ? mRare->elementName : NoText(); }

void XNode::ReleaseChildren() {
  ChildList children;
  children.swap(mChildren);
  // Siblings mostly share a block: one count change for each run of them, as each is
  // an atomic operation. A slot counted later stays allocated until then.
  Block* pending = nullptr;
  uint32_t pendingCount = 0;
  for (XNode* child : children) {
    if (child && child->mParent == this && !child->HasMoreParents()) {
      child->mParent = nullptr; // held here alone: the common case, without the search
      Block* block = Destroy(child);
      if (block && block == pending) {
        ++pendingCount;
      } else if (block) {
        if (pending) {
          pending->Release(pendingCount);
        }
        pending = block;
        pendingCount = 1;
      }
    } else if (child) {
      child->ReleaseFrom(this);
    }
  }
  if (pending) {
    pending->Release(pendingCount);
  }
}

void XNode::TakeFrom(XNode* container) {
  if (mParent) {
    MakeRare().moreParents.push_back(container);
  } else {
    mParent = container;
  }
}

void XNode::ReleaseFrom(XNode* container) {
  if (mParent == container) {
    mParent = nullptr;
    if (HasMoreParents()) {
      mParent = mRare->moreParents.back();
      mRare->moreParents.pop_back();
    }
  } else {
    // Held by container, so recorded among the others.
    std::vector<XNode*>& others = mRare->moreParents;
    others.erase(std::find(others.begin(), others.end(), container));
  }
  if (!mParent) {
    delete this;
  }
}

bool XNode::SetType(Type type) {
  if (GetType() == type) {
    return false;
  }
  ResetType(type);
  SetDirty(true);
  return true;
}

void XNode::ResetType(Type type) {
  if (GetType() == type) {
    return;
  }
  mText.clear();
  if (mRare) {
    mRare->elementName.clear();
  }
  ReleaseChildren();
  mInteger = 0;
  mReal = 0.0f;
  mBool = false;
  mFlags = (mFlags & ~kTypeMask) | type;
}

void XNode::SetFlag(uint32_t flag, bool on) {
  flag &= kFlagVolatile | kFlagVisible | kFlagLocked;
  mFlags = on ? mFlags | flag : mFlags & ~flag;
  if (on && (flag & kFlagVolatile) != 0) {
    mFlags &= ~kFlagDirty;
  }
}

void XNode::SetDirty(bool on) {
  if (on) {
    if ((mFlags & (kFlagDirty | kFlagVolatile)) != 0) {
      return;
    }
    mFlags |= kFlagDirty;
    if (mParent) {
      mParent->SetDirty(true);
    }
    if (mRare) {
      for (XNode* container : mRare->moreParents) {
        container->SetDirty(true);
      }
    }
    return;
  }
  mFlags &= ~kFlagDirty;
  for (XNode* child : mChildren) {
    if (child) {
      child->SetDirty(false);
    }
  }
}

void XNode::SetKey(std::string_view key) {
  if (mKey == key) {
    return;
  }
  mKey.assign(key);
  mKeyHashKnown = false;
}

uint32_t XNode::HashKey(std::string_view key) {
  // The sum of each byte's value times the value before it (1 before the first), where a
  // value is the byte with 0x20 set, signed, plus one. Every key read is hashed: bytes go
  // in pairs, whose two products share one multiplication (a*p + b*a = a*(p+b)).
  const auto value = [](char byte) { return uint32_t(int32_t(static_cast<int8_t>(byte | 0x20)) + 1); };
  const char* next = key.data();
  const char* const end = next + key.size();
  uint32_t hash = 0;
  uint32_t previous = 1;
  for (; end - next >= 4; next += 4) {
    const uint32_t a = value(next[0]);
    const uint32_t b = value(next[1]);
    const uint32_t c = value(next[2]);
    const uint32_t d = value(next[3]);
    hash += a * (previous + b) + c * (b + d);
    previous = d;
  }
  for (; next != end; ++next) {
    const uint32_t a = value(*next);
    hash += a * previous;
    previous = a;
  }
  return hash;
}

bool XNode::KeysEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return (x | 0x20) == (y | 0x20); });
}

void XNode::SetFromText(std::string_view text) {
  AssignFromText(text);
  SetDirty(true);
}

void XNode::AssignFromText(std::string_view text) {
  switch (GetType()) {
  case kTypeString:
  case kTypeData:
  case kTypeElement:
    mText.append(text);
    break;
  case kTypeBool:
    mBool = text.size() >= 4 && QZ::Chars::ToLower(text[0]) == 't' && QZ::Chars::ToLower(text[1]) == 'r' &&
            QZ::Chars::ToLower(text[2]) == 'u' && QZ::Chars::ToLower(text[3]) == 'e';
    break;
  case kTypeInteger:
    mInteger = ParseInteger(text);
    break;
  case kTypeReal:
    mReal = ParseReal(text);
    break;
  case kTypeNone:
  case kTypeDict:
  case kTypeArray:
    break;
  }
}

void XNode::SetString(std::string_view text) {
  bool changed = SetType(kTypeString);
  if (mText != text) {
    mText.assign(text);
    changed = true;
  }
  if (changed) {
    SetDirty(true);
  }
}

void XNode::SetBool(bool value) {
  const bool changed = SetType(kTypeBool) || mBool != value;
  mBool = value;
  if (changed) {
    SetDirty(true);
  }
}

void XNode::SetElement(std::string_view name) {
  bool changed = SetType(kTypeElement);
  if (GetElementName() != name) {
    MakeRare().elementName.assign(name);
    changed = true;
  }
  if (changed) {
    SetDirty(true);
  }
}

void XNode::SetInteger(int32_t value) {
  const bool changed = SetType(kTypeInteger) || mInteger != value;
  mInteger = value;
  if (changed) {
    SetDirty(true);
  }
}

bool XNode::AddChild(XNode* child) {
  if ((GetType() != kTypeDict && GetType() != kTypeArray) || !child) {
    return false;
  }
  mChildren.push_back(child);
  child->TakeFrom(this);
  if (!child->IsVolatile()) {
    SetDirty(true);
  }
  return true;
}

bool XNode::AddChildren(std::span<XNode* const> children) {
  if ((GetType() != kTypeDict && GetType() != kTypeArray) ||
      std::find(children.begin(), children.end(), nullptr) != children.end()) {
    return false;
  }
  mChildren.insert(mChildren.end(), children.begin(), children.end());
  bool dirties = false;
  for (XNode* child : children) {
    child->TakeFrom(this);
    dirties = dirties || !child->IsVolatile();
  }
  if (dirties) {
    SetDirty(true);
  }
  return true;
}

bool XNode::RemoveChild(XNode* child) {
  const auto found = std::find(mChildren.begin(), mChildren.end(), child);
  return found != mChildren.end() && RemoveChildAt(uint32_t(found - mChildren.begin()));
}

bool XNode::RemoveChildAt(uint32_t index) {
  if (index >= mChildren.size()) {
    return false;
  }
  XNode* child = mChildren[index];
  mChildren.erase(mChildren.begin() + index);
  const bool isVolatile = child && child->IsVolatile();
  if (child) {
    child->ReleaseFrom(this);
  }
  if (!isVolatile) {
    SetDirty(true);
  }
  return true;
}

bool XNode::SetArrayItem(uint32_t index, XNode* child) {
  if (GetType() != kTypeArray) {
    return false;
  }
  if (index >= mChildren.size()) {
    mChildren.resize(size_t(index) + 1, nullptr);
  }
  // Take the new item before letting go of the old one: they may be the same node.
  if (child) {
    child->TakeFrom(this);
  }
  XNode* previous = std::exchange(mChildren[index], child);
  if (previous) {
    previous->ReleaseFrom(this);
  }
  if (!child || !child->IsVolatile()) {
    SetDirty(true);
  }
  return true;
}

bool XNode::SetArraySize(uint32_t count) {
  if (GetType() != kTypeArray) {
    return false;
  }
  while (mChildren.size() > count) {
    RemoveChildAt(uint32_t(mChildren.size() - 1));
  }
  if (mChildren.size() < count) {
    mChildren.resize(count, nullptr);
    SetDirty(true);
  }
  return true;
}

uint32_t XNode::GetChildCount(bool includeVolatile) const {
  if (includeVolatile) {
    return uint32_t(mChildren.size());
  }
  return uint32_t(std::count_if(mChildren.begin(), mChildren.end(),
                                [](const XNode* child) { return child && !child->IsVolatile(); }));
}

XNode* XNode::FindChild(std::string_view key) const {
  const uint32_t hash = HashKey(key);
  for (XNode* child : mChildren) {
    if (child && child->GetKeyHash() == hash && KeysEqual(child->mKey, key)) {
      return child;
    }
  }
  return nullptr;
}
