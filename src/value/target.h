// A value that steps toward a target at a fixed speed and says whether it is still short of it,
// and NewValues, which gives one a random target and speed.
#pragma once

#include <cstdint>

class Target {
 public:
  float value;             // current value
  float target;            // value aimed at
  float speed;             // added per step; Set turns its sign toward target
  std::uint8_t direction;  // 1 when the target lay above the value at the last Set, else 255
  bool reached;            // cleared by every Set, compared by Step

  void Set(float newvalue, float newtarget, float newspeed);
  void Set(float newvalue);  // restarts from newvalue toward the same target
  bool Step();               // true while the value has neither reached nor passed the target
  float Get() const;
};

// A new target in [a, b] and a new speed in [c, d], keeping the value.
void NewValues(Target* target, float a, float b, float c, float d);

// The same with the two integers in 0..32767 taken from draw instead of rand; draw is called for
// the target first, then for the speed.
void NewValuesFrom(Target* target, float a, float b, float c, float d, int (*draw)());

// An integer in 0..32767 from the standard generator, whatever its range.
int Rand15();
