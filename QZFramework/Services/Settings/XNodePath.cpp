// Key paths: "a.b", "List[2].Name". Each step is a key segment (up to the next "." or
// "[") or a bracketed decimal index; empty segments are skipped.

#include <algorithm>

#include "QZFramework/Services/Settings/XNode.h"

namespace {

struct PathStep {
  bool isIndex = false;
  std::string_view key;
  uint32_t index = 0;
};

class PathReader {
public:
  explicit PathReader(std::string_view path) : mPath(path) {}

  bool Next(PathStep& step) {
    while (mPos < mPath.size()) {
      if (mPath[mPos] == '[') {
        ++mPos;
        uint32_t index = 0;
        for (; mPos < mPath.size() && mPath[mPos] >= '0' && mPath[mPos] <= '9'; ++mPos) {
          index = uint32_t(std::min<uint64_t>(uint64_t(index) * 10 + uint32_t(mPath[mPos] - '0'), UINT32_MAX));
        }
        Skip(']');
        Skip('.');
        step = {true, {}, index};
        return true;
      }
      const size_t end = std::min(mPath.find_first_of(".[", mPos), mPath.size());
      const std::string_view key = mPath.substr(mPos, end - mPos);
      mPos = end;
      Skip('.');
      if (!key.empty()) {
        step = {false, key, 0};
        return true;
      }
    }
    return false;
  }

  bool AtLastStep() const {
    PathReader rest(*this);
    PathStep ignored;
    return !rest.Next(ignored);
  }

  uint32_t CountSteps() const {
    PathReader rest(*this);
    PathStep ignored;
    uint32_t count = 0;
    while (rest.Next(ignored)) {
      ++count;
    }
    return count;
  }

private:
  void Skip(char c) {
    if (mPos < mPath.size() && mPath[mPos] == c) {
      ++mPos;
    }
  }

  std::string_view mPath;
  size_t mPos = 0;
};

} // namespace

XNode* XNode::FindPath(std::string_view path, uint32_t flags) {
  const bool create = (flags & (kPathCreate | kPathCreateVolatile)) != 0;
  const bool createVolatile = (flags & kPathCreateVolatile) != 0;
  PathReader reader(path);
  // Depth is counted from this node: the store starts at the root, so nothing is
  // created that the writer and the reader would refuse.
  if (create && reader.CountSteps() >= uint32_t(kMaxDepth)) {
    return nullptr;
  }
  XNode* container = nullptr;
  XNode* node = this;
  PathStep step;
  while (reader.Next(step)) {
    XNode* next = nullptr;
    if (!step.isIndex) {
      next = node->FindChild(step.key);
      if (!next) {
        if (!create) {
          return nullptr;
        }
        node->SetType(kTypeDict);
        next = new XNode();
        next->SetKey(step.key);
        next->SetFlag(kFlagVolatile, createVolatile && reader.AtLastStep());
        node->AddChild(next);
      }
    } else {
      next = node->GetChild(step.index);
      if (!next) {
        if (!create) {
          return nullptr;
        }
        if (node->mChildren.empty()) {
          node->SetType(kTypeArray);
        } else if (node->mChildren.size() > step.index) {
          return nullptr; // an empty slot of an array
        }
        while (node->mChildren.size() <= step.index) {
          next = new XNode(kTypeDict);
          next->SetFlag(kFlagVolatile, createVolatile);
          node->AddChild(next);
        }
      }
    }
    container = node;
    node = next;
  }
  if ((flags & kPathRemove) != 0 && container) {
    container->RemoveChild(node);
    return nullptr;
  }
  return node;
}
