// Keeps the writing to at most a given number of curves a second, on a fixed schedule, for
// users who want to watch it being written. Unpaced, the writing runs as fast as it can.
#pragma once

// curves_per_second > 0 sets the pace and starts a new schedule; 0 turns pacing off.
void SetPace(double curves_per_second);

// At the start of every curve: sleeps until the curve's time on the schedule, waking early as
// soon as wake() says something needs seeing to. Returns at once when unpaced.
void AwaitCurveTime(bool (*wake)());
