// The scaled modes' strip, a window moved over a wider sheet, against the copying strip of the
// default run: the same screen after every curve, through the window's return to the sheet's
// start, with ink and black columns at the right edge where the two ways of moving differ most.
#include "sheet.h"

#include <cstdint>
#include <vector>

#include "stand.h"
#include "stroke.h"

namespace {

using SheetTest = Stand;

constexpr int kMoves = 1100;  // the window goes back to the sheet's start on the way
constexpr int kEdge = 80;     // columns at the right edge, where the stamps land

// One move a curve, each curve's two stamps a pixel or two either side of column 1023, down a
// white strip: the digest of the right edge after every move, and of the whole screen at the end.
std::vector<std::uint64_t> WriteAtTheRightEdge() {
  clear_to_color(screen, makecol(255, 255, 255));
  std::vector<std::uint64_t> digests;
  for (int c = 0; c < kMoves; ++c) {
    t = 0;
    const int x = 1021 + c % 4;
    const int y = c * 7 % kH;
    const int points[8] = {x, y, x, y, x + 1, y + 1, x + 1, y + 1};
    Bezier(points, 2);
    BITMAP* edge = create_sub_bitmap(screen, kW - kEdge, 0, kEdge, kH);
    digests.push_back(Digest(edge));
    destroy_bitmap(edge);
  }
  digests.push_back(Digest(screen));
  return digests;
}

TEST_F(SheetTest, MovingTheWindowLeavesTheCopyingStripsScreens) {
  destroy_bitmap(ball);
  ball = Row({makecol(255, 0, 0), makecol(0, 0, 255)});
  const std::vector<std::uint64_t> copied = WriteAtTheRightEdge();
  ASSERT_TRUE(StartSheet());
  scroll = MoveSheet;
  const std::vector<std::uint64_t> moved = WriteAtTheRightEdge();
  EndSheet();
  screen = create_bitmap(kW, kH);  // for the stand to free
  for (int c = 0; c < kMoves; ++c)
    ASSERT_EQ(moved[c], copied[c]) << "the right edge after move " << c + 1 << " differs";
  EXPECT_EQ(moved.back(), copied.back()) << "the whole screen differs after the last move";
}

}  // namespace
