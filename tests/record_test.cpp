// Recording a pass as a GIF: each frame is exactly the memory screen at the start of its curve
// (checked against the script's digests of the screen after every curve), the frames are timed
// by the pace, half size keeps the ink where it was, a pen of many colours is quantized and
// said so, and a stop leaves nothing behind.
#include "record.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <new>
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

// Frame 1 is the blank screen; frame k + 1 the screen after curve k, whose digest is the
// script's; the last frame is held a second.
TEST_F(RecordTest, EachFrameIsTheScreenAtTheStartOfItsCurve) {
  const std::string said =
      Captured(1, [] { ASSERT_TRUE(RecordPass(WritePass, "pass.gif", Plan(20, false))); });
  EXPECT_EQ(said.rfind("inkstrip: recorded 'pass.gif': 45 frames, 1024x768, ", 0), 0u) << said;
  std::vector<int> delays;
  std::vector<BITMAP*> frames = Frames("pass.gif", &delays);
  ASSERT_EQ(frames.size(), 45u);
  EXPECT_EQ(Count(frames[0], 0), kW * kH);
  for (int k = 1; k <= kPassCurves; ++k) {
    if (Digest(frames[k]) == kCurveDigests[k - 1].digest) continue;
    ADD_FAILURE() << "frame " << k + 1 << " is not the screen after "
                  << CurveName(kCurveDigests[k - 1]);
    break;  // the frames after it differ too
  }
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
// The ball's edges averaged at half size make more colours than a GIF holds, and it says so.
TEST_F(RecordTest, HalfSizeKeepsTheInkWhereItWas) {
  const std::string said =
      Captured(2, [] { Captured(1, [] { RecordPass(WritePass, "half.gif", Plan(0, true)); }); });
  EXPECT_NE(said.find("averaged at half size, has more than 255 colours"), std::string::npos)
      << said;
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

// Seven curves in one frame at a curve every 100 s: 700 s, more than the 655.35 s a GIF delay
// holds, so the frame is carried twice, and the delays still add up to the time it stood.
TEST_F(RecordTest, AFrameLongerThanAGifDelayIsCarriedAsSeveral) {
  RecordPlan plan = Plan(0.01, false);
  plan.stampsperframe = 7 * kSamples;
  const auto seven = [] {
    const int spot[8] = {500, 300, 500, 300, 500, 300, 500, 300};
    for (int i = 0; i < 7; ++i) Bezier(spot);
  };
  ASSERT_TRUE(Captured(1, [&] { RecordPass(seven, "long.gif", plan); }) != "");
  std::vector<int> delays;
  std::vector<BITMAP*> frames = Frames("long.gif", &delays);
  EXPECT_EQ(delays, (std::vector<int>{35000, 35000, 100}));
  Free(frames);
}

// Memory that runs out part way through the pass: a line, false, and no private file left.
TEST_F(RecordTest, RunningOutOfMemoryLeavesNoFileBehind) {
  const auto starved = [] {
    const int spot[8] = {500, 300, 500, 300, 500, 300, 500, 300};
    Bezier(spot);
    throw std::bad_alloc();
  };
  const std::string said =
      Captured(2, [&] { EXPECT_FALSE(RecordPass(starved, "pass.gif", Plan(0, false))); });
  EXPECT_EQ(said, "inkstrip: cannot write 'pass.gif': Cannot allocate memory\n");
  EXPECT_EQ(curvestart, nullptr);
  EXPECT_EQ(Entries(dir_), 0);
}

// The report goes out before the file takes its name: when stdout is full there is no file.
TEST_F(RecordTest, AReportThatCannotBeWrittenLeavesNoFileBehind) {
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
    Captured(2, [] { _exit(RecordPass(WritePass, "pass.gif", Plan(0, false)) ? 1 : 0); });
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(Entries(dir_), 0);
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
