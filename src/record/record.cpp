// Recording one pass as an animated GIF through giflib, from a memory screen. The screen only
// ever holds black and the pen's colours, so when those are 256 or fewer the palette holds every
// one and each frame is exact; otherwise giflib's quantizer chooses them. Frames are timed by
// the curves or stamps they cover, and each stores only the rectangle that changed.
#include "record.h"

#include <allegro.h>
#include <gif_lib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

#include "colours.h"
#include "geometry.h"
#include "main3.h"
#include "safesave.h"
#include "say.h"
#include "stopping.h"
#include "stroke.h"
#include "video.h"

namespace {

// The finished screen stays a second before the GIF starts over.
constexpr int kHoldLastCs = static_cast<int>(kHoldLastSeconds * 100);
constexpr int kShortestCs = 2;           // players show shorter delays as a tenth of a second
constexpr long long kLongestCs = 65535;  // a frame's delay is a 16-bit count of hundredths

struct Rect {
  int left, top, width, height;
};

// The recording under way: the GIF, the frame waiting for its delay and the one last written.
struct Recorder {
  GifFileType* gif = nullptr;
  RecordPlan plan;
  int w = 0, h = 0;
  std::string path;
  Palette palette;
  void (*pass)() = nullptr;
  std::vector<GifByteType> waiting, shown;  // waiting is empty until the first frame is taken
  bool failed = false;
  long long stamps = 0, curves = 0;  // since the waiting frame was taken
  double clock = 0;                  // seconds from the start to the waiting frame
  long long writtencs = 0;           // hundredths of a second of the frames written
  int frames = 0;
  int giferror = 0;  // what giflib said when it failed
};

Recorder rec;

// A stop signal cuts the frame short: it is never written then.
void Take(std::vector<GifByteType>* frame) {
  frame->resize(static_cast<std::size_t>(rec.w) * rec.h);
  GifByteType* out = frame->data();
  const bool half = rec.plan.half;
  for (int y = 0; y < rec.h; ++y) {
    if (stopsignal) return;
    for (int x = 0; x < rec.w; ++x) {
      if (!half) {
        *out++ = rec.palette.Index(ScreenPixel(screen, x, y));
        continue;
      }
      const Pixel four[4] = {
          ScreenPixel(screen, 2 * x, 2 * y), ScreenPixel(screen, 2 * x + 1, 2 * y),
          ScreenPixel(screen, 2 * x, 2 * y + 1), ScreenPixel(screen, 2 * x + 1, 2 * y + 1)};
      *out++ = rec.palette.Index(Mix(four));
    }
  }
}

// The smallest rectangle holding every pixel that differs from the frame shown before.
Rect Changed(const std::vector<GifByteType>& frame) {
  if (rec.shown.empty()) return {0, 0, rec.w, rec.h};
  int left = rec.w, right = -1, top = rec.h, bottom = -1;
  for (int y = 0; y < rec.h; ++y) {
    const GifByteType* a = &frame[static_cast<std::size_t>(y) * rec.w];
    const GifByteType* b = &rec.shown[static_cast<std::size_t>(y) * rec.w];
    for (int x = 0; x < rec.w; ++x) {
      if (a[x] == b[x]) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {0, 0, 1, 1};  // nothing changed: one pixel, as it was
  return {left, top, right - left + 1, bottom - top + 1};
}

bool PutOne(const std::vector<GifByteType>& frame, int delaycs) {
  GraphicsControlBlock control{DISPOSE_DO_NOT, false, std::max(delaycs, kShortestCs),
                               NO_TRANSPARENT_COLOR};
  GifByteType extension[4];
  const std::size_t n = EGifGCBToExtension(&control, extension);
  const Rect r = Changed(frame);
  if (EGifPutExtension(rec.gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), extension) != GIF_OK ||
      EGifPutImageDesc(rec.gif, r.left, r.top, r.width, r.height, false, nullptr) != GIF_OK)
    return false;
  for (int y = r.top; y < r.top + r.height; ++y) {
    GifByteType* row =
        const_cast<GifByteType*>(&frame[static_cast<std::size_t>(y) * rec.w + r.left]);
    if (EGifPutLine(rec.gif, row, r.width) != GIF_OK) return false;
  }
  rec.shown = frame;
  ++rec.frames;
  return true;
}

// A delay longer than a frame can hold is shared out, as evenly as hundredths allow, over the
// frame and as many unchanged one-pixel frames after it as it takes.
bool Put(const std::vector<GifByteType>& frame, long long delaycs) {
  const long long parts = std::max(1LL, (delaycs + kLongestCs - 1) / kLongestCs);
  for (long long i = 0; i < parts; ++i) {
    const long long share = delaycs / parts + (i < delaycs % parts ? 1 : 0);
    if (!PutOne(frame, static_cast<int>(share))) return false;
  }
  return true;
}

// The waiting frame goes out once its time on screen is known: the curves or stamps since it.
void PutWaiting() {
  const double seconds =
      rec.plan.pace > 0 ? rec.curves / rec.plan.pace : rec.stamps / kStampsPerSecond;
  rec.clock += seconds;
  const long long until = std::llround(rec.clock * 100);
  if (!Put(rec.waiting, until - rec.writtencs)) rec.failed = true;
  rec.writtencs = until;
}

void OnCurve(const int*, int samples) {
  if (rec.failed) return;
  if (rec.waiting.empty() || rec.stamps >= rec.plan.stampsperframe) {
    if (!rec.waiting.empty()) PutWaiting();
    Take(&rec.waiting);
    rec.stamps = rec.curves = 0;
  }
  rec.stamps += samples;
  ++rec.curves;
  if (rec.failed) escape = true;  // nothing more can be written: let the pass run out
}

int OnGifBytes(GifFileType* gif, const GifByteType* bytes, int n) {
  return PutBytes(static_cast<DescriptorSink*>(gif->UserData), bytes, static_cast<std::size_t>(n))
             ? n
             : 0;
}

bool Begin(DescriptorSink* sink) {
  rec.gif = EGifOpen(sink, OnGifBytes, &rec.giferror);
  if (!rec.gif) return false;
  EGifSetGifVersion(rec.gif, true);
  ColorMapObject* map = rec.palette.Map();
  if (!map) rec.giferror = E_GIF_ERR_NOT_ENOUGH_MEM;
  const bool begun = map && EGifPutScreenDesc(rec.gif, rec.w, rec.h, 8, kBlackIndex, map) == GIF_OK;
  GifFreeMapObject(map);
  // Loop for ever: the NETSCAPE2.0 application extension with a count of 0.
  const GifByteType loop[3] = {1, 0, 0};
  return begun && EGifPutExtensionLeader(rec.gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(rec.gif, 11, "NETSCAPE2.0") == GIF_OK &&
         EGifPutExtensionBlock(rec.gif, 3, loop) == GIF_OK &&
         EGifPutExtensionTrailer(rec.gif) == GIF_OK;
}

bool Close() {
  if (!rec.gif) return false;
  if (rec.giferror == 0) rec.giferror = rec.gif->Error;
  int err = 0;
  const bool closed = EGifCloseFile(rec.gif, &err) == GIF_OK;
  if (rec.giferror == 0) rec.giferror = err;
  rec.gif = nullptr;
  return closed;
}

int Written(DescriptorSink* sink) {
  bool ok = Begin(sink);
  if (ok) {
    curvestart = OnCurve;
    rec.pass();
    curvestart = nullptr;
    if (!rec.waiting.empty() && !rec.failed && !stopsignal) {
      PutWaiting();
      Take(&rec.waiting);
      ok = !rec.failed && Put(rec.waiting, kHoldLastCs);
    }
    ok = ok && !rec.failed && !rec.waiting.empty();
  }
  ok = Close() && ok;
  if (stopsignal) return ECANCELED;
  if (sink->error) return sink->error;
  if (!ok) return rec.giferror == E_GIF_ERR_NOT_ENOUGH_MEM ? ENOMEM : EIO;
  // The line that says what was made goes out before the file takes its name, so that a report
  // that cannot be written leaves no file behind.
  return ReportRecorded(rec.path, rec.frames, rec.w, rec.h, sink->total) ? 0 : ECANCELED;
}

// The whole recording, into the private file that SaveWhole puts in place. Memory that runs
// out part way ends it like a failed write, so the private file goes too.
int Write(DescriptorSink* sink, void*) {
  try {
    return Written(sink);
  } catch (const std::bad_alloc&) {
    curvestart = nullptr;
    Close();
    return ENOMEM;
  }
}

bool Recorded(void (*pass)(), const std::string& path, const RecordPlan& plan) {
  rec = Recorder();
  rec.plan = plan;
  rec.path = path;
  rec.w = plan.half ? kScreenW / 2 : kScreenW;
  rec.h = plan.half ? kScreenH / 2 : kScreenH;
  if (!rec.palette.Build(PenColours(ball, plan.half)))
    Say("recording",
        std::string(plan.half ? "the pen, averaged at half size, has" : "the pen has") +
            " more than " + std::to_string(kPaletteRoom - 1) +
            " colours; giflib's quantizer chooses the " + std::to_string(kPaletteRoom) +
            " the GIF holds, so its colours are close but not exact");
  rec.pass = pass;
  StopAtOnce(false);  // from here on there is a file to remove first
  return SaveWhole(path.c_str(), Write, nullptr);
}

}  // namespace

bool ReportRecorded(const std::string& path, int frames, int width, int height, std::size_t bytes) {
  std::printf("inkstrip: recorded %s: %d frames, %dx%d, %zu KB\n", Quoted(path).c_str(), frames,
              width, height, (bytes + 512) / 1024);
  return StdoutWritten();
}

bool RecordPass(void (*pass)(), const std::string& path, const RecordPlan& plan) {
  try {
    return EndsWith(path, ".webm") ? RecordVideo(pass, path, plan) : Recorded(pass, path, plan);
  } catch (const std::bad_alloc&) {
    Say("cannot record " + Quoted(path), "not enough memory");
    return false;
  }
}
