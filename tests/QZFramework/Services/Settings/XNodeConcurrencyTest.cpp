#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "QZFramework/Services/Settings/XNode.h"

namespace {

// Nodes of one document share blocks of memory: trees of different threads made of them
// may be destroyed at the same time.
TEST(XNodeConcurrencyTest, TreesSharingADocumentsBlocksAreDestroyedOnTwoThreads) {
  std::string text = "<dict>";
  for (int i = 0; i < 400; ++i) {
    text += "<key>k" + std::to_string(i) + "</key><string>v</string>";
  }
  auto root = XNode::Load(text + "</dict>", nullptr, nullptr);
  ASSERT_NE(root, nullptr);
  auto even = std::make_unique<XNode>(XNode::kTypeArray);
  auto odd = std::make_unique<XNode>(XNode::kTypeArray);
  for (uint32_t i = 0; i < root->GetChildCount(true); ++i) {
    (i % 2 == 0 ? even : odd)->AddChild(root->GetChild(i));
  }
  root.reset();

  std::thread other([tree = std::move(odd)]() mutable { tree.reset(); });
  even.reset();
  other.join();
}

} // namespace
