#include <gtest/gtest.h>

#include "QZFramework/Utilities/Graphics/Polyline.h"

TEST(PolylineTest, EveryPolylineChangeIsReportedOnceAndCopiesGetTheirOwnHandle) {
  QZ::PolylineT<float> line;
  EXPECT_TRUE(line.TakeChanged()); // nothing has been built from a new polyline
  EXPECT_FALSE(line.TakeChanged());
  line.AddPoint({1, 2});
  line.SetLineWidth(3.0f);
  EXPECT_TRUE(line.TakeChanged());
  EXPECT_FALSE(line.TakeChanged());
  line.SetPoint(0, {4, 5});
  EXPECT_TRUE(line.TakeChanged());

  QZ::PolylineT<float> copy(line);
  EXPECT_NE(copy.GetHandle(), line.GetHandle());
  EXPECT_EQ(copy.GetPoints(), line.GetPoints());
  EXPECT_EQ(copy.GetLineWidth(), 3.0f);
  const int32_t handle = copy.GetHandle();
  copy = QZ::PolylineT<float>();
  EXPECT_EQ(copy.GetHandle(), handle); // assignment changes the contents, not the identity
  EXPECT_TRUE(copy.TakeChanged());
  EXPECT_EQ(copy.GetCount(), 0u);
}
