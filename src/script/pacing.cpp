// The schedule of a paced run: curve n is due at the first curve's time plus n intervals, so
// the time spent drawing and the naps' overruns do not add up into drift. A machine that falls
// far behind the schedule carries on from where it is rather than rushing to catch up.
#include "pacing.h"

#include <algorithm>
#include <thread>

namespace {

using Clock = PaceClock;

Clock::duration interval{0};
Clock::time_point due = Clock::time_point::min();  // of the last curve; min() before the first

// How far behind a run may be and still catch up.
Clock::duration CatchUpBound(Clock::duration every) {
  return std::max<Clock::duration>(kCatchUpCurves * every, kCatchUpLeast);
}

}  // namespace

void SetPace(double curves_per_second) {
  due = Clock::time_point::min();
  interval = PaceInterval(curves_per_second);
}

Clock::duration PaceInterval(double curves_per_second) {
  if (curves_per_second <= 0) return Clock::duration{0};
  return std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(1.0 / curves_per_second));
}

void AwaitCurveTime(bool (*wake)()) {
  if (interval == Clock::duration{0}) return;
  Clock::time_point now = Clock::now();
  due = NextDue(due, interval, now);
  while (now < due && !wake()) {
    std::this_thread::sleep_for(std::min<Clock::duration>(due - now, kLookEvery));
    now = Clock::now();
  }
}

bool Paced() { return interval != Clock::duration{0}; }

bool AwaitStampTime(int next, int samples, bool (*wake)()) {
  const Clock::time_point when = StampDue(due, interval, next, samples);
  const Clock::time_point end = due + interval;
  for (Clock::time_point now = Clock::now(); now < when; now = Clock::now()) {
    if (wake()) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(kLookBetweenStamps, end - now));
  }
  return true;
}

Clock::time_point StampDue(Clock::time_point curvedue, Clock::duration every, int stamp,
                           int samples) {
  return curvedue + every * stamp / samples;
}

Clock::time_point NextDue(Clock::time_point last, Clock::duration every, Clock::time_point now) {
  if (last == Clock::time_point::min()) return now;
  const Clock::time_point next = last + every;
  return now - next > CatchUpBound(every) ? now : next;
}
