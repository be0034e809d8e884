// A value that steps toward a target at a fixed speed, and NewValues, which draws a random
// target and speed for one.
#include "target.h"

#include <cstdlib>

namespace {

constexpr std::uint8_t kUp = 1;
constexpr std::uint8_t kDown = 255;  // -1 as a byte
constexpr double kDrawRange = 32768.0;
constexpr int kDrawMax = 32767;

// Evaluated in double and rounded to single precision once, when returned.
float Blend(float from, float to, float r) {
  return static_cast<float>((static_cast<double>(to) - from) * r + from);
}

float Fraction(int drawn) { return static_cast<float>(drawn / kDrawRange); }

}  // namespace

// Negation only ever flips the sign bit, so zero of either sign and NaN keep theirs.
void Target::Set(float newvalue, float newtarget, float newspeed) {
  value = newvalue;
  target = newtarget;
  speed = newspeed;
  reached = false;
  if (target > value) {
    direction = kUp;
    if (speed < 0) speed = -speed;
  } else {
    direction = kDown;
    if (speed > 0) speed = -speed;
  }
}

void Target::Set(float newvalue) {
  Set(newvalue, target, speed);
  reached = false;
}

// Never clamps: past the target the value keeps moving and Step keeps returning false.
bool Target::Step() {
  value = value + speed;
  const bool passed = direction == kUp ? value >= target : value <= target;
  return reached == passed;
}

float Target::Get() const { return value; }

// glibc's rand reaches 2^31 - 1; its top fifteen bits are kept, being the better mixed ones.
int Rand15() { return std::rand() / (RAND_MAX / (kDrawMax + 1) + 1); }

void NewValuesFrom(Target* target, float a, float b, float c, float d, int (*draw)()) {
  const float newtarget = Blend(a, b, Fraction(draw()));
  const float newspeed = Blend(c, d, Fraction(draw()));
  target->Set(target->Get(), newtarget, newspeed);
}

void NewValues(Target* target, float a, float b, float c, float d) {
  NewValuesFrom(target, a, b, c, d, Rand15);
}
