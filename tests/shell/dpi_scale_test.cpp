// One rounding rule for every length of the window at any screen density.

#include <gtest/gtest.h>

#include <string>

#include "core/shell/window_look.h"

namespace tavio {
namespace {

TEST(ScaleToDpi, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
  const struct {
    int length, dpi, want;
  } cases[] = {
      {25, 96, 25},     {25, 120, 31},    {25, 144, 38},   {25, 192, 50},   {1240, 120, 1550},
      {690, 120, 863},  {690, 144, 1035}, {1240, 144, 1860}, {5, 120, 6},   {8, 144, 12},
      {11, 144, 17},    {11, 120, 14},    {3, 144, 5},     {1, 72, 1},      {2, 72, 2},
      {0, 192, 0},      {-11, 144, -17},  {-25, 120, -31}, {-3, 144, -5},   {268, 240, 670},
      {92, 168, 161},   {7, 100, 7},      {50, 97, 51},    {1300, 288, 3900},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleToDpi(c.length, c.dpi), c.want) << c.length << " at " << c.dpi;
  }
}

TEST(ScaleToDpi, RectanglesAreScaledByTheirEdges) {
  const struct {
    int x, y, w, h, dpi;
    PixelRect want;
  } cases[] = {
      {20, 40, 180, 25, 96, {20, 40, 200, 65}},
      {20, 40, 180, 25, 144, {30, 60, 300, 98}},
      // 25 + 25 at 144: 38 + 38 would end at 76, one past the edge 75 of the next control.
      {25, 25, 25, 25, 144, {38, 38, 75, 75}},
      {1020, 265, 200, 40, 120, {1275, 331, 1525, 381}},
      {570, 400, 20, 25, 192, {1140, 800, 1180, 850}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleRectToDpi(c.x, c.y, c.w, c.h, c.dpi), c.want) << c.x << "," << c.y << " at " << c.dpi;
  }
}

}  // namespace
}  // namespace tavio
