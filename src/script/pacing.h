// Keeps the writing to at most a given number of curves a second, on a fixed schedule, for
// users who want to watch it being written. Unpaced, the writing runs as fast as it can.
#pragma once

#include <chrono>

using PaceClock = std::chrono::steady_clock;

// curves_per_second > 0 sets the pace and starts a new schedule; 0 turns pacing off.
void SetPace(double curves_per_second);

// The time between curves at a pace; zero for 0.
PaceClock::duration PaceInterval(double curves_per_second);

// How long a paced wait may go without looking whether something needs seeing to: presses,
// Escape and signals are acted on well within a tenth of a second however slow the pace.
constexpr std::chrono::milliseconds kLookEvery{40};

// At the start of every curve: sleeps until the curve's time on the schedule, waking early as
// soon as wake() says something needs seeing to. Returns at once when unpaced.
void AwaitCurveTime(bool (*wake)());

// A pace is set: the stamps of every curve are then spread over the curve's time.
bool Paced();

// A wait between stamps is made of naps this long, with a look before each: a frame waiting to be
// shown is shown within this, and a request cuts the spreading short. A stamp falling due during
// a nap is drawn when it ends, with any others due by then: at 20 curves a second a stamp is due
// every 0.36 ms, and a display frame cannot tell a few stamps at once from one at a time, while a
// sleep before every stamp costs more than the drawing. No nap runs past the curve's end, so
// that the next curve begins on time.
constexpr std::chrono::milliseconds kLookBetweenStamps{4};

// In a paced run, after a curve's stamp: unless stamp next of samples is due already on the
// curve's share of the schedule (next == samples: the curve's time is over), naps until it is,
// calling wake() before every nap. Returns false, at once, when wake() says something
// needs seeing to: the rest of the curve is then drawn without waiting.
bool AwaitStampTime(int next, int samples, bool (*wake)());

// Stamp `stamp` of a curve of `samples` that was due at curvedue, with `every` between curves:
// the curve's time shared out evenly, stamp 0 at curvedue and stamp samples at the next curve.
PaceClock::time_point StampDue(PaceClock::time_point curvedue, PaceClock::duration every, int stamp,
                               int samples);

// A run further behind its schedule than kCatchUpCurves intervals, or than kCatchUpLeast where
// that is longer (at fast paces), starts the schedule afresh from now instead of catching up.
// Within that, a curve a little late (a nap or the drawing overran) is made up over the next curves
// and the rate holds; past it (the machine was suspended, a curve takes longer than the pace
// allows) the catching up would be a rush of many curves drawn at once.
constexpr int kCatchUpCurves = 2;
constexpr std::chrono::milliseconds kCatchUpLeast{100};

// The schedule itself: when the curve after one due at last is due, seen at now. The first
// curve (last = time_point::min()) is due at once; later ones an interval after the one before,
// however long its drawing took, and so at the first curve's time plus n intervals; at once, from
// a new start, when further behind than that.
PaceClock::time_point NextDue(PaceClock::time_point last, PaceClock::duration every,
                              PaceClock::time_point now);
