#include "QZFramework/ControlBase/KeyParam.h"

#include <gtest/gtest.h>

namespace QZ {
namespace {

// Stands for a control: the path reads its entries back as the class asked for.
class PathNode : public virtual LRefCountedObject {};
class OtherObject : public virtual LRefCountedObject {};

TEST(KeyParamTest, ThePathKeepsItsControlsInOrderAndReadsThemBackByClass) {
  const RCPtr<LKeyParam> key = LKeyParam::Create(KeyCode(0x09, true, 0, kModifierShift), true);
  EXPECT_EQ(key->GetKey().code, 0x22090000u);
  EXPECT_TRUE(key->IsWrapped());
  EXPECT_FALSE(LKeyParam::Create(KeyCode(u'a', 0), false)->IsWrapped());
  EXPECT_EQ(key->GetPathCount(), 0u);
  EXPECT_FALSE(key->GetLastInPath<PathNode>());

  const RCPtr<PathNode> child(new PathNode);
  const RCPtr<PathNode> panel(new PathNode);
  key->AppendToPath(child);
  key->AppendToPath(panel);
  key->AppendToPath(RCPtr<OtherObject>(new OtherObject));
  ASSERT_EQ(key->GetPathCount(), 3u);
  EXPECT_EQ(key->GetPathAt<PathNode>(0), child);
  EXPECT_EQ(key->GetPathAt<PathNode>(1), panel);
  EXPECT_FALSE(key->GetPathAt<PathNode>(2)); // not a PathNode
  EXPECT_FALSE(key->GetLastInPath<PathNode>());
  EXPECT_FALSE(key->GetPathAt<PathNode>(3));
  EXPECT_EQ(child->GetRefCount(), 2); // the path holds its controls
}

} // namespace
} // namespace QZ
