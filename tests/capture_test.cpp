// The user's requests, looked at the start of a curve: a press, however short, saves the screen
// as it was and stops all later drawing, at most once; Escape and the close button stop without
// saving; a paced run waits between curves yet draws the same and wakes for a request.
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "main3.h"
#include "pacing.h"
#include "pen.h"
#include "requests.h"
#include "safesave.h"
#include "screenshot.h"
#include "stand.h"
#include "stopping.h"
#include "stroke.h"

namespace {

using CaptureTest = Stand;

const std::uintmax_t kDumpBytes = BmpFileSize(kW, kH, kColorDepth);
constexpr int kSpot[8] = {500, 300, 500, 300, 500, 300, 500, 300};

double SecondsFor(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(CaptureTest, APressSavesTheScreenAsItWasAndDrawsNothingMore) {
  Moveto(550, 150);
  Cproc(-141, -889, 909, -41, 1313, -788);
  BITMAP* before = Copy(screen);
  mouse_b = 1;
  EXPECT_EQ(Captured(2, [] { Sproc(-242, 949, -546, 3222); }), "");
  EXPECT_TRUE(escape);
  EXPECT_FALSE(dumpfailed);
  EXPECT_EQ(t, 140);
  EXPECT_TRUE(Same(screen, before));
  EXPECT_EQ(x, 768 - 91);

  ASSERT_EQ(std::filesystem::file_size("dump.bmp"), kDumpBytes);
  EXPECT_EQ(Entries(dir_), 1);  // nothing left behind beside it
  BITMAP* dump = load_bitmap("dump.bmp", nullptr);
  ASSERT_NE(dump, nullptr);
  EXPECT_TRUE(Same(dump, before));
  EXPECT_GT(Count(dump, white_), 0);
  destroy_bitmap(dump);
  destroy_bitmap(before);
}

TEST_F(CaptureTest, NoButtonNoScreenshot) {
  Bezier(kSpot);
  EXPECT_FALSE(escape);
  EXPECT_EQ(t, 140);
  EXPECT_FALSE(IsFile("dump.bmp"));
}

TEST_F(CaptureTest, OnlyTheFirstPressIsTaken) {
  mouse_b = 1;
  Bezier(kSpot);
  ASSERT_TRUE(IsFile("dump.bmp"));
  std::filesystem::remove("dump.bmp");
  Bezier(kSpot);  // still held
  mouse_b = 0;
  Bezier(kSpot);
  mouse_b = 2;  // another button, pressed again
  Bezier(kSpot);
  EXPECT_FALSE(IsFile("dump.bmp"));
  EXPECT_EQ(t, 0);
  EXPECT_EQ(Count(screen, white_), 0);
}

TEST_F(CaptureTest, AnEarlierDumpIsReplacedWhole) {
  std::ofstream("dump.bmp") << "an older screenshot";
  mouse_b = 1;
  Bezier(kSpot);
  EXPECT_EQ(std::filesystem::file_size("dump.bmp"), kDumpBytes);
  EXPECT_FALSE(dumpfailed);
}

TEST_F(CaptureTest, AnUnwritableDumpStillStopsButIsReported) {
  ASSERT_EQ(mkdir("dump.bmp", 0755), 0);
  mouse_b = 1;
  const std::string said = Captured(2, [] { Bezier(kSpot); });
  EXPECT_TRUE(escape);
  EXPECT_TRUE(dumpfailed);
  EXPECT_EQ(said, "inkstrip: cannot write 'dump.bmp': Is a directory\n");
  EXPECT_TRUE(std::filesystem::is_directory("dump.bmp"));
  EXPECT_EQ(Entries(dir_), 1);
  EXPECT_EQ(t, 0);
}

// A tap comes and goes inside one curve: the library's callback has seen it, mouse_b no longer
// shows it. The next curve takes it as a press held until then, whichever button it was.
TEST_F(CaptureTest, ATapInsideACurveIsTakenAtTheNextOne) {
  for (int down : {MOUSE_FLAG_LEFT_DOWN, MOUSE_FLAG_MIDDLE_DOWN, MOUSE_FLAG_RIGHT_DOWN}) {
    SCOPED_TRACE(down);
    escape = false;
    pressed = 0;
    t = 0;
    Moveto(550, 150);
    clear_to_color(screen, 0);
    Cproc(-141, -889, 909, -41, 1313, -788);
    OnMouse(MOUSE_FLAG_MOVE | MOUSE_FLAG_LEFT_UP | MOUSE_FLAG_MIDDLE_UP | MOUSE_FLAG_RIGHT_UP);
    Sproc(-242, 949, -546, 3222);
    ASSERT_FALSE(escape);
    BITMAP* before = Copy(screen);
    OnMouse(down);
    OnMouse(down << 1);  // and up again
    ASSERT_EQ(mouse_b, 0);
    Sproc(-1135, 22, 3045, -3153);
    EXPECT_TRUE(escape);
    EXPECT_EQ(t, 280);
    EXPECT_TRUE(Same(screen, before));
    BITMAP* dump = load_bitmap("dump.bmp", nullptr);
    ASSERT_NE(dump, nullptr);
    EXPECT_TRUE(Same(dump, before));
    destroy_bitmap(dump);
    destroy_bitmap(before);
  }
}

// Asked to end from outside, the program saves nothing, even with a button down.
TEST_F(CaptureTest, AStopSignalStopsWithoutAScreenshotEvenDuringAPress) {
  stopsignal = SIGTERM;
  mouse_b = 1;
  Bezier(kSpot);
  stopsignal = 0;
  EXPECT_TRUE(escape);
  EXPECT_EQ(t, 0);
  EXPECT_FALSE(IsFile("dump.bmp"));
}

TEST_F(CaptureTest, EscapeAndTheCloseButtonStopWithoutAScreenshotOtherKeysDoNothing) {
  OnKey(KEY_Q);
  OnKey(KEY_ESC | 0x80);  // a release alone
  Bezier(kSpot);
  EXPECT_FALSE(escape);
  EXPECT_EQ(t, 140);
  OnKey(KEY_ESC);
  OnKey(KEY_ESC | 0x80);
  Bezier(kSpot);
  EXPECT_TRUE(escape);
  EXPECT_EQ(t, 140);
  EXPECT_FALSE(IsFile("dump.bmp"));
  OnMouse(MOUSE_FLAG_LEFT_DOWN);  // once stopped, a press is not looked at
  Bezier(kSpot);
  EXPECT_FALSE(IsFile("dump.bmp"));

  escape = false;
  quitasked = 0;
  pressed = 0;
  OnCloseButton();
  Bezier(kSpot);
  EXPECT_TRUE(escape);
  EXPECT_EQ(t, 140);
  EXPECT_FALSE(IsFile("dump.bmp"));
}

// The wait comes between curves only: a paced pass leaves exactly the screen of an unpaced one
// and takes at least its 43 intervals. The pace is set from the unpaced time so that those
// intervals add up to more than twice it: a lower bound that still tells, on any machine.
TEST_F(CaptureTest, APacedPassDrawsTheSameAndTakesItsTime) {
  const double unpaced_seconds = SecondsFor(WritePass);
  BITMAP* unpaced = Copy(screen);
  clear_to_color(screen, 0);
  const double pace = 43 / (2 * unpaced_seconds + 0.2);
  SetPace(pace);
  const double took = SecondsFor(WritePass);
  EXPECT_GE(took, 43 / pace);
  EXPECT_TRUE(Same(screen, unpaced));
  destroy_bitmap(unpaced);
}

// Curve n is due at the first curve's time plus n intervals: neither the time a curve takes to
// draw nor its lateness is added on (no drift); a late curve's lateness is made up by the next.
TEST(PaceSchedule, KeepsToTheFirstCurvesTimeWithoutDrift) {
  using std::chrono::milliseconds;
  EXPECT_EQ(PaceInterval(0.5), std::chrono::seconds(2));
  EXPECT_EQ(PaceInterval(20), milliseconds(50));
  EXPECT_EQ(PaceInterval(0), PaceClock::duration{0});
  const PaceClock::time_point start = PaceClock::now();
  const milliseconds interval{100};
  EXPECT_EQ(NextDue(PaceClock::time_point::min(), interval, start), start);
  EXPECT_EQ(NextDue(start, interval, start + milliseconds{30}), start + interval);
  // Curve 1 began 30 ms late, curve 2 a whole interval late: both stay on the first's schedule.
  EXPECT_EQ(NextDue(start, interval, start + milliseconds{130}), start + interval);
  EXPECT_EQ(NextDue(start + interval, interval, start + milliseconds{300}), start + 2 * interval);
}

// A run far behind (the machine was suspended, a curve drew slower than the pace) starts the
// schedule afresh rather than drawing the curves it missed all at once: past two intervals
// behind, or past a tenth of a second at a pace whose two intervals are shorter.
TEST(PaceSchedule, AFarBehindRunStartsAfreshRatherThanBursting) {
  using std::chrono::milliseconds;
  const PaceClock::time_point start = PaceClock::now();
  const PaceClock::duration tick{1};
  const struct {
    milliseconds interval, bound;
  } paces[] = {{milliseconds{100}, milliseconds{200}}, {milliseconds{20}, milliseconds{100}}};
  for (const auto& pace : paces) {
    const PaceClock::time_point next = start + pace.interval;
    EXPECT_EQ(NextDue(start, pace.interval, next + pace.bound), next) << pace.interval.count();
    EXPECT_EQ(NextDue(start, pace.interval, next + pace.bound + tick), next + pace.bound + tick)
        << pace.interval.count();
  }
}

// The curve's time is shared out exactly: the last stamp's share ends where the next curve is
// due, so that spreading never drifts off the schedule, even where it does not divide evenly.
TEST(PaceSchedule, AStampIsDueAtItsShareOfTheCurvesTime) {
  const PaceClock::time_point due = PaceClock::now();
  const std::chrono::milliseconds every{700};
  EXPECT_EQ(StampDue(due, every, 0, kSamples), due);
  EXPECT_EQ(StampDue(due, every, 70, kSamples), due + every / 2);
  EXPECT_EQ(StampDue(due, every, kSamples, kSamples), due + every);
  const std::chrono::seconds second{1};
  EXPECT_EQ(StampDue(due, second, 3, 3), due + second);
  EXPECT_EQ(StampDue(due, second, 1, 3), due + std::chrono::nanoseconds(333333333));
}

// Paced, the pen is seen moving: each stamp is drawn no sooner than its share of the curve's
// time, not all at once at the curve's start, and the curve takes its whole time.
TEST_F(CaptureTest, APacedCurvesStampsAreSpreadOverItsTime) {
  static std::vector<PaceClock::time_point> drawn;
  drawn.clear();
  stampdrawn = [] { drawn.push_back(PaceClock::now()); };
  const std::chrono::milliseconds every{700};
  SetPace(1000.0 / every.count());
  const PaceClock::time_point start = PaceClock::now();
  Bezier(kSpot);
  const PaceClock::time_point end = PaceClock::now();
  ASSERT_EQ(drawn.size(), static_cast<std::size_t>(kSamples));
  for (int k = 0; k < kSamples; ++k) EXPECT_GE(drawn[k], start + every * k / kSamples) << k;
  EXPECT_GE(end, start + every);
}

// At 20 curves a second a stamp falls due every 0.36 ms: over the curve's 50 ms its stamps are
// drawn in bursts between naps of 4 ms, about 13, not each after a sleep and a look of its own.
TEST(PaceSchedule, AFastCurvesStampsAreDrawnInBurstsBetweenNaps) {
  SetPace(20);
  AwaitCurveTime([] { return false; });  // the first curve is due at once
  static int looks;
  looks = 0;
  for (int k = 1; k <= kSamples; ++k)
    AwaitStampTime(k, kSamples, [] {
      ++looks;
      return false;
    });
  EXPECT_LE(looks, 25);
  SetPace(0);
}

// However slow the pace, the wait looks at the requests every few hundredths of a second: over
// one second of a 30-second wait, at least ten times.
TEST(PaceSchedule, ASlowWaitKeepsLookingForRequests) {
  SetPace(1.0 / 30);
  AwaitCurveTime([] { return false; });  // the first curve is due at once
  static int looks;
  static PaceClock::time_point until;
  looks = 0;
  until = PaceClock::now() + std::chrono::seconds(1);
  AwaitCurveTime([] { return ++looks > 1 && PaceClock::now() >= until; });
  EXPECT_GE(looks, 10);
  SetPace(0);
}

// At one curve every 30 s, whose stamps are spread over those 30 s, a press during the curve
// cuts the spreading short: the rest of the curve is drawn at once, as unpaced, and the press is
// taken at the next curve's start, long before that curve is due.
TEST_F(CaptureTest, APressDuringASlowCurveIsTakenAtTheNextAtOnce) {
  Bezier(kSpot);
  BITMAP* whole = Copy(screen);
  clear_to_color(screen, 0);
  t = 0;
  SetPace(1.0 / 30);
  std::thread user([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    OnMouse(MOUSE_FLAG_LEFT_DOWN);
  });
  const double took = SecondsFor([] {
    Bezier(kSpot);
    Bezier(kSpot);
  });
  user.join();
  EXPECT_LT(took, 5);
  EXPECT_TRUE(escape);
  EXPECT_TRUE(Same(screen, whole));
  EXPECT_EQ(std::filesystem::file_size("dump.bmp"), kDumpBytes);
  destroy_bitmap(whole);
}

}  // namespace
