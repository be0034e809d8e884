// The stroke: samples each curve, stamps the ball at every sample straight onto the screen and
// scrolls the screen one pixel left every second stamp, spreading the stamps over the curve's
// time when paced. Before each curve it takes the user's requests: a press saves the screen and
// stops, Escape only stops.
#include "stroke.h"

#include <algorithm>

#include "geometry.h"
#include "main3.h"
#include "pacing.h"
#include "requests.h"
#include "stopping.h"

int t = 0;
BITMAP* ball = nullptr;
void (*curvestart)(const int points[8], int samples) = nullptr;
void (*pressstart)() = nullptr;
void (*stampdrawn)() = nullptr;
void (*stampmade)() = nullptr;
void (*scroll)() = nullptr;

namespace {

bool SomethingAsked() {
  PollRequests();
  return stopsignal || quitasked || PressSeen();
}

// Requests are looked at only here, once per curve; the flag goes up before the screenshot so
// that nothing can draw after the moment the user chose. A press that came and went since the
// last curve counts as one held until now. A stop signal, Escape and the close button stop the
// same way, without the press's hook.
bool Stopped() {
  if (escape) return true;
  AwaitCurveTime(SomethingAsked);
  if (!SomethingAsked()) return false;
  escape = true;
  if (!stopsignal && PressSeen() && pressstart) pressstart();
  return true;
}

// Blackening the right column before the move leaves columns 1022 and 1023 both black.
void ScrollStrip() {
  vline(screen, kRightColumn, 0, kScreenH - 1, kBlack);
  if (scroll) {
    scroll();
  } else {
    blit(screen, screen, 1, 0, 0, 0, kScreenW - 1, kScreenH);
  }
}

// The pen is seen moving: each stamp waits for its share of the curve's time. A request cuts
// the wait short and the rest of the curve is drawn at once, so that it is taken at the next
// curve's start as before, however slow the pace.
bool Spread(int next, int samples) {
  if (stampdrawn) stampdrawn();
  return AwaitStampTime(next, samples, SomethingAsked);
}

}  // namespace

// Each stamp is pulled left by one pixel for every scroll the word has made so far, so the word
// keeps its shape on the moving strip. A large pen makes a curve slow, so a stop signal is also
// answered between stamps; the rest of the pass then draws nothing.
void Bezier(const int points[8], int samples) {
  if (Stopped()) return;
  samples = std::clamp(samples, 1, kSampleRoom);
  if (curvestart) curvestart(points, samples);
  int sx[kSampleRoom];
  int sy[kSampleRoom];
  calc_spline(points, samples, sx, sy);
  bool spread = Paced();
  for (int i = 0; i < samples && !stopsignal; ++i) {
    if (i % kStampsPerScroll == kStampsPerScroll - 1) ScrollStrip();
    draw_sprite(screen, ball, sx[i] - t / kStampsPerScroll, sy[i]);
    ++t;
    if (stampmade) stampmade();
    if (spread) spread = Spread(i + 1, samples);
  }
}
