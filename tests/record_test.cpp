// Recording a pass as a GIF: each frame is exactly the memory screen at the start of its curve
// (checked against the script's digests of the screen after every curve), the frames are timed
// by the pace, half size keeps the ink where it was, a pen of many colours is quantized and
// said so, and a stop leaves nothing behind.
#include "record.h"

#include <gif_lib.h>

#include <csignal>
#include <vector>

#include "main3.h"
#include "stand.h"
#include "stopping.h"
#include "stroke.h"

namespace {

class RecordTest : public Stand {
 protected:
  void SetUp() override {
    Stand::SetUp();
    destroy_bitmap(ball);
    ball = load_bitmap(BALL_FILE, nullptr);
  }

  // The frames of a GIF, each the whole picture as it stands once the frame is drawn.
  std::vector<BITMAP*> Frames(const char* name, std::vector<int>* delays) {
    std::vector<BITMAP*> frames;
    int err = 0;
    GifFileType* gif = DGifOpenFileName(name, &err);
    if (!gif || DGifSlurp(gif) != GIF_OK) return frames;
    BITMAP* canvas = create_bitmap(gif->SWidth, gif->SHeight);
    clear_to_color(canvas, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      const GifImageDesc& d = image.ImageDesc;
      const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
      for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.Width; ++x) {
          const GifColorType c = map->Colors[image.RasterBits[y * d.Width + x]];
          putpixel(canvas, d.Left + x, d.Top + y, makecol(c.Red, c.Green, c.Blue));
        }
      GraphicsControlBlock control;
      DGifSavedExtensionToGCB(gif, i, &control);
      delays->push_back(control.DelayTime);
      frames.push_back(Copy(canvas));
    }
    destroy_bitmap(canvas);
    DGifCloseFile(gif, &err);
    return frames;
  }

  static void Free(std::vector<BITMAP*>& frames) {
    for (BITMAP* f : frames) destroy_bitmap(f);
  }
};

RecordPlan Plan(double pace, bool half) {
  RecordPlan plan;
  plan.stampsperframe = kSamples;
  plan.pace = pace;
  plan.half = half;
  return plan;
}

// Frame 1 is the blank screen; frame k + 1 the screen after curve k, whose digests folded by
// word are the script's; the last frame is held a second.
TEST_F(RecordTest, EachFrameIsTheScreenAtTheStartOfItsCurve) {
  const std::string said =
      Captured(1, [] { ASSERT_TRUE(RecordPass(WritePass, "pass.gif", Plan(20, false))); });
  EXPECT_EQ(said.rfind("inkstrip: recorded 'pass.gif': 45 frames, 1024x768, ", 0), 0u) << said;
  std::vector<int> delays;
  std::vector<BITMAP*> frames = Frames("pass.gif", &delays);
  ASSERT_EQ(frames.size(), 45u);
  EXPECT_EQ(Count(frames[0], 0), kW * kH);
  std::uint64_t hello = 0, world = 0;
  for (int k = 1; k <= 18; ++k) hello = hello * 31 + Digest(frames[k]);
  for (int k = 19; k <= 44; ++k) world = world * 31 + Digest(frames[k]);
  EXPECT_EQ(hello, kHelloDigest);
  EXPECT_EQ(world, kWorldDigest);
  EXPECT_TRUE(Same(frames[44], screen));
  EXPECT_EQ(delays, [] {
    std::vector<int> d(44, 5);  // one curve at 20 curves a second
    d.push_back(100);
    return d;
  }());
  Free(frames);
  EXPECT_EQ(Entries(dir_), 1);
}

// A half-size pixel has ink exactly where its four have some.
TEST_F(RecordTest, HalfSizeKeepsTheInkWhereItWas) {
  ASSERT_TRUE(Captured(1, [] { RecordPass(WritePass, "half.gif", Plan(0, true)); }) != "");
  std::vector<int> delays;
  std::vector<BITMAP*> frames = Frames("half.gif", &delays);
  ASSERT_EQ(frames.size(), 45u);
  ASSERT_EQ(frames[44]->w, kW / 2);
  ASSERT_EQ(frames[44]->h, kH / 2);
  EXPECT_EQ(delays[0], 10);  // with no pace: ten curves a second
  int wrong = 0;
  for (int y = 0; y < kH / 2; ++y)
    for (int x = 0; x < kW / 2; ++x) {
      const bool inked = getpixel(screen, 2 * x, 2 * y) || getpixel(screen, 2 * x + 1, 2 * y) ||
                         getpixel(screen, 2 * x, 2 * y + 1) ||
                         getpixel(screen, 2 * x + 1, 2 * y + 1);
      wrong += inked != (getpixel(frames[44], x, y) != 0);
    }
  EXPECT_EQ(wrong, 0);
  Free(frames);
}

TEST_F(RecordTest, APenOfManyColoursIsQuantizedAndSaysSo) {
  destroy_bitmap(ball);
  ball = create_bitmap(256, 1);  // with black, one more than a palette holds
  for (int x = 0; x < 256; ++x) putpixel(ball, x, 0, makecol(x, 255 - x, 200));
  const std::string said =
      Captured(2, [] { Captured(1, [] { RecordPass(WritePass, "many.gif", Plan(0, false)); }); });
  EXPECT_NE(said.find("more than 255 colours"), std::string::npos) << said;
  std::vector<int> delays;
  std::vector<BITMAP*> frames = Frames("many.gif", &delays);
  EXPECT_EQ(frames.size(), 45u);
  Free(frames);
}

TEST_F(RecordTest, AStopSignalLeavesNoFileBehind) {
  stopsignal = SIGTERM;
  const std::string said =
      Captured(2, [] { EXPECT_FALSE(RecordPass(WritePass, "pass.gif", Plan(0, false))); });
  stopsignal = 0;
  EXPECT_EQ(said, "");
  EXPECT_EQ(Entries(dir_), 0);
}

}  // namespace
