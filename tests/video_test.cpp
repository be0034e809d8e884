// Recording a pass as a WebM video: read back with libwebm's parser and decoded with libvpx,
// every frame is close to the memory screen at its moment of the pass, 30 frames a second of the
// pass's time and a second's hold, at full and half size and by the pace; a stop or memory that
// runs out leaves nothing behind.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "main3.h"
#include "record.h"
#include "stand.h"
#include "stopping.h"
#include "stroke.h"
#include "videocheck.h"

namespace {

// The worst frame of the script's pass measured 37.8 dB at full size and 36.2 dB at half size,
// whose averaged edges lose more to the halved chroma.
constexpr double kLeastPsnr = 35;      // dB
constexpr double kLeastHalfPsnr = 33;  // dB
constexpr int kFirstCurves = 6;        // 0.6 s at the default pace: 18 frames, then 30 of the hold

class VideoTest : public Stand {
 protected:
  void SetUp() override {
    Stand::SetUp();
    destroy_bitmap(ball);
    ball = load_bitmap(BALL_FILE, nullptr);
  }

  static VideoRead Read(const char* name) {
    VideoRead video;
    EXPECT_TRUE(ReadVideo(name, &video)) << name;
    return video;
  }
};

void FirstCurves() {
  BeginWord(0);
  for (int i = 0; i < kFirstCurves; ++i) RunCommand(0, i);
}

// Frame n starts at n / 30 s, and every frame is of the screen it should show.
void ExpectFramesAlong(const VideoRead& video, void (*pass)(), int pace, std::size_t frames,
                       double least) {
  ASSERT_EQ(video.frames.size(), frames);
  for (std::size_t n = 0; n < frames; ++n)
    ASSERT_EQ(video.ms[n], std::llround(n * 1000.0 / 30)) << "frame " << n;
  int misplaced = -1;
  const std::vector<double> psnr = PsnrAlongPass(video, pass, pace, &misplaced);
  const auto worst = std::min_element(psnr.begin(), psnr.end());
  EXPECT_GE(*worst, least) << "frame " << worst - psnr.begin();
  EXPECT_EQ(misplaced, 0) << "frames closer to the screen a stamp before or after their moment";
}

// The container as a player needs it: a VP9 track of the screen's size, milliseconds, the
// pass's time and a second, a keyframe first, and a cue for every cluster.
TEST_F(VideoTest, EachFrameIsTheScreenAtItsMoment) {
  const std::string said =
      Captured(1, [] { ASSERT_TRUE(RecordPass(FirstCurves, "pass.webm", Plan(0, false))); });
  EXPECT_EQ(said.rfind("inkstrip: recorded 'pass.webm': 48 frames, 1024x768, ", 0), 0u) << said;
  const VideoRead video = Read("pass.webm");
  EXPECT_EQ(video.doctype, "webm");
  EXPECT_EQ(video.codec, "V_VP9");
  EXPECT_EQ(video.width, kW);
  EXPECT_EQ(video.height, kH);
  EXPECT_EQ(video.timecodescale, 1000000u);
  EXPECT_DOUBLE_EQ(video.durationms, 1600);
  ASSERT_FALSE(video.keys.empty());
  EXPECT_TRUE(video.keys[0]);
  EXPECT_FALSE(video.clusters.empty());
  EXPECT_EQ(video.cues, video.clusters);
  ExpectFramesAlong(video, FirstCurves, 0, 48, kLeastPsnr);
  EXPECT_EQ(Entries(dir_), 1);
}

// At 20 curves a second six curves take 0.3 s: 9 frames and 30 of the hold.
TEST_F(VideoTest, HalfSizeAtAPaceTimesItsFramesByTheCurves) {
  Captured(1, [] { ASSERT_TRUE(RecordPass(FirstCurves, "half.webm", Plan(20, true))); });
  const VideoRead video = Read("half.webm");
  EXPECT_EQ(video.width, kW / 2);
  EXPECT_EQ(video.height, kH / 2);
  EXPECT_DOUBLE_EQ(video.durationms, 1300);
  ExpectFramesAlong(video, FirstCurves, 20, 39, kLeastHalfPsnr);
}

// A stop signal before the pass or part way through it: no file and nothing said.
TEST_F(VideoTest, AStopSignalLeavesNoFileBehind) {
  stopsignal = SIGTERM;
  std::string said =
      Captured(2, [] { EXPECT_FALSE(RecordPass(WritePass, "pass.webm", Plan(0, false))); });
  EXPECT_EQ(said, "");
  stopsignal = 0;
  const auto stopped = [] {
    FirstCurves();
    stopsignal = SIGINT;
    FirstCurves();
  };
  said = Captured(2, [&] { EXPECT_FALSE(RecordPass(stopped, "pass.webm", Plan(0, false))); });
  stopsignal = 0;
  EXPECT_EQ(said, "");
  EXPECT_EQ(curvestart, nullptr);
  EXPECT_EQ(stampmade, nullptr);
  EXPECT_EQ(Entries(dir_), 0);
}

bool UnderAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#else
  return false;
#endif
}

// The address space this process has mapped, in bytes.
rlim_t Mapped() {
  std::ifstream status("/proc/self/statm");
  long pages = 0;
  status >> pages;
  return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

constexpr const char* kOneLine = "inkstrip: cannot write 'pass.webm': Cannot allocate memory\n";
constexpr const char* kChildRole = "INKSTRIP_VIDEO_TEST_LIMITED";

// The child's part, its file left nowhere: the address space held to a little more than a fresh
// process maps, far less than the encoder asks for. A process that has run other tests would hold
// freed heap the encoder could take instead, so the test runs this in itself again, freshly
// started.
int RecordUnderALimit() {
  const rlim_t room = Mapped() + (8 << 20);
  const rlimit limit{room, room};
  setrlimit(RLIMIT_AS, &limit);
  const std::string said = Captured(2, [] {
    if (RecordPass(WritePass, "pass.webm", Plan(0, false))) _exit(3);
  });
  return said == kOneLine ? 0 : 4;
}

// Memory that runs out, thrown by the pass or refused to the encoder by a small address space:
// one line, false, no file left.
TEST_F(VideoTest, RunningOutOfMemoryLeavesNoFileBehind) {
  if (std::getenv(kChildRole)) {
    const int said = RecordUnderALimit();
    const bool left = Entries(dir_) != 0;
    std::filesystem::remove_all(dir_);
    _exit(left ? 6 : said);
  }
  const auto starved = [] {
    FirstCurves();
    throw std::bad_alloc();
  };
  EXPECT_EQ(Captured(2, [&] { EXPECT_FALSE(RecordPass(starved, "pass.webm", Plan(0, false))); }),
            kOneLine);
  EXPECT_EQ(curvestart, nullptr);
  EXPECT_EQ(stampmade, nullptr);
  EXPECT_EQ(Entries(dir_), 0);
  if (UnderAddressSanitizer()) GTEST_SKIP() << "the sanitizer needs more address space than this";
  const pid_t pid = fork();
  if (pid == 0) {
    setenv(kChildRole, "1", 1);
    execl("/proc/self/exe", "unit_tests", "--gtest_filter=VideoTest.RunningOutOfMemory*", nullptr);
    _exit(5);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
