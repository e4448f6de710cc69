// Feeds untrusted bytes to the settings reader. A loaded tree is split: every other child
// of its root moves to a container of its own, which outlives the document and takes
// more children (the lists of loaded containers and their nodes' blocks are shared with
// the document); both trees are written and freed. The sanitizers watch; beyond them it
// traps when a loaded tree does not read back from what it wrote.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "QZFramework/Services/Settings/XNode.h"

namespace {

void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

class StringOutput final : public XNode::Output {
public:
  void Write(const char* bytes, size_t length) override { text.append(bytes, length); }
  std::string text;
};

} // namespace

// Most inputs are refused, each with a line on stderr: closed for the run, which keeps
// its own and the sanitizers' reports.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static std::vector<char*> arguments(*argv, *argv + *argc);
  static char closeStderr[] = "-close_fd_mask=2";
  arguments.push_back(closeStderr);
  arguments.push_back(nullptr);
  *argc = int(arguments.size() - 1);
  *argv = arguments.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<XNode> root =
      XNode::Load(std::string_view(reinterpret_cast<const char*>(data), size), nullptr, nullptr);
  if (!root) {
    return 0;
  }
  StringOutput written;
  if (root->Write(written, XNode::kWriteDocument) == 0) {
    Check(XNode::Load(written.text, nullptr, nullptr) != nullptr);
  }

  auto kept = std::make_unique<XNode>(XNode::kTypeArray);
  for (uint32_t i = 1; i < root->GetChildCount(true); i += 2) {
    Check(kept->AddChild(root->GetChild(i)));
  }
  for (uint32_t i = 0; i < kept->GetChildCount(true); ++i) {
    XNode* child = kept->GetChild(i);
    if (child->GetType() == XNode::kTypeDict || child->GetType() == XNode::kTypeArray) {
      new XNode(child, XNode::kTypeString); // a loaded list grows out of its block
    }
  }
  root.reset();
  StringOutput rest;
  (void)kept->Write(rest, 0);
  return 0;
}
