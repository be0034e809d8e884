// Recording one pass as a VP9 video through libvpx, put in WebM by our own writer. The clock is
// the GIF's: stamps at 1400 a second, or curves at --pace with each curve's stamps spread evenly
// over its time. After every stamp, each frame whose moment has come before the next stamp is
// taken, so frame n shows every stamp made before n / 30 s; the last screen is held a second.
#include "video.h"

#include <allegro.h>
#include <vpx/vp8cx.h>
#include <vpx/vpx_encoder.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <vector>

#include "colours.h"
#include "geometry.h"
#include "main3.h"
#include "safesave.h"
#include "say.h"
#include "stopping.h"
#include "stroke.h"
#include "webm.h"

namespace {

// Screen content: mostly black with thin strokes, which a screen-tuned encoder at a fixed, fine
// quantizer keeps sharp; a keyframe every two seconds lets a player seek. libvpx cannot be cut
// short inside a frame, so each must take well under the 0.1 s a stop signal is given: the
// real-time deadline takes about 5 ms a frame at full size, where good quality took 30 ms and a
// keyframe over 100 ms, for a file 2.4 times smaller. A finer quantizer gained under 1 dB for
// twice the bytes: the 4:2:0 chroma bounds the PSNR near 39 dB whatever is chosen.
constexpr int kKeyframeEvery = 2 * kVideoFps;  // frames
constexpr unsigned kQuality = 20;              // the constant quantizer level, 0 (best) to 63
constexpr int kCpuUsed = 8;                    // libvpx's speed step: higher is faster
constexpr unsigned long kDeadline = VPX_DL_REALTIME;
constexpr double kTimeSlack = 1e-9;  // seconds: a frame on a stamp's moment counts
constexpr const char* kApp = "inkstrip " INKSTRIP_VERSION;

// BT.601 in limited range, the studio swing players assume when a VP9 stream says nothing of its
// colours: luma 16 to 235, chroma 16 to 240 about 128, in 8-bit fixed point.
constexpr int kLumaFloor = 16, kChromaMid = 128;

std::uint8_t Luma(int r, int g, int b) {
  return static_cast<std::uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + kLumaFloor);
}
std::uint8_t BlueDiff(int r, int g, int b) {
  return static_cast<std::uint8_t>(((-38 * r - 74 * g + 112 * b + 128) >> 8) + kChromaMid);
}
std::uint8_t RedDiff(int r, int g, int b) {
  return static_cast<std::uint8_t>(((112 * r - 94 * g - 18 * b + 128) >> 8) + kChromaMid);
}

struct Recording {
  RecordPlan plan;
  std::string path;
  void (*pass)() = nullptr;
  int w = 0, h = 0;
  vpx_codec_ctx_t codec{};
  bool open = false;
  vpx_image_t* image = nullptr;
  std::vector<Pixel> rows[2];  // two rows of the frame, for one row of chroma
  bool changed = true;         // stamps since the image was made
  Movie movie;
  long long taken = 0;   // frames given to the encoder
  long long stamps = 0;  // in the whole pass
  long long curves = 0;  // begun
  int samples = 1, stampsincurve = 0;
  int error = 0;  // errno that ended it
};

Recording vid;

// The moment of the next stamp, in seconds from the start of the pass.
double Now() {
  if (vid.plan.pace <= 0) return static_cast<double>(vid.stamps) / kStampsPerSecond;
  if (vid.curves == 0) return 0;
  return (static_cast<double>(vid.curves - 1) +
          static_cast<double>(vid.stampsincurve) / vid.samples) /
         vid.plan.pace;
}

double FrameTime(long long n) { return static_cast<double>(n) / kVideoFps; }

// The memory screen of a recording is always 32 bits a pixel, so its rows are read as they lie.
void ScreenRow(int y, Pixel* out) {
  const std::uint32_t* line = reinterpret_cast<const std::uint32_t*>(screen->line[y]);
  for (int x = 0; x < kScreenW; ++x) {
    const int c = static_cast<int>(line[x]);
    out[x] = static_cast<Pixel>(getr32(c) << 16 | getg32(c) << 8 | getb32(c));
  }
}

// At half size each pixel is the linear-light average of its four, as the GIF's are.
void FrameRow(int y, Pixel* out) {
  if (!vid.plan.half) return ScreenRow(y, out);
  static std::vector<Pixel> two[2];
  for (int k = 0; k < 2; ++k) {
    two[k].resize(kScreenW);
    ScreenRow(2 * y + k, two[k].data());
  }
  for (int x = 0; x < vid.w; ++x) {
    const Pixel four[4] = {two[0][2 * x], two[0][2 * x + 1], two[1][2 * x], two[1][2 * x + 1]};
    out[x] = Mix(four);
  }
}

int R(Pixel p) { return p >> 16 & 0xFF; }
int G(Pixel p) { return p >> 8 & 0xFF; }
int B(Pixel p) { return p & 0xFF; }

// One row of chroma from two rows of the frame, each chroma sample from the average of its four.
void ConvertRows(int y) {
  vpx_image_t* im = vid.image;
  for (int k = 0; k < 2; ++k) {
    const Pixel* row = vid.rows[k].data();
    std::uint8_t* luma = im->planes[VPX_PLANE_Y] + (y + k) * im->stride[VPX_PLANE_Y];
    for (int x = 0; x < vid.w; ++x) luma[x] = Luma(R(row[x]), G(row[x]), B(row[x]));
  }
  std::uint8_t* u = im->planes[VPX_PLANE_U] + y / 2 * im->stride[VPX_PLANE_U];
  std::uint8_t* v = im->planes[VPX_PLANE_V] + y / 2 * im->stride[VPX_PLANE_V];
  for (int x = 0; x < vid.w; x += 2) {
    const Pixel four[4] = {vid.rows[0][x], vid.rows[0][x + 1], vid.rows[1][x], vid.rows[1][x + 1]};
    int r = 0, g = 0, b = 0;
    for (const Pixel p : four) r += R(p), g += G(p), b += B(p);
    r = (r + 2) / 4, g = (g + 2) / 4, b = (b + 2) / 4;
    u[x / 2] = BlueDiff(r, g, b);
    v[x / 2] = RedDiff(r, g, b);
  }
}

// A stop signal cuts the conversion short: the image is never encoded then.
void Convert() {
  if (!vid.changed) return;
  for (int y = 0; y < vid.h; y += 2) {
    if (stopsignal) return;
    for (int k = 0; k < 2; ++k) FrameRow(y + k, vid.rows[k].data());
    ConvertRows(y);
  }
  vid.changed = false;
}

int ErrnoFor(vpx_codec_err_t err) { return err == VPX_CODEC_MEM_ERROR ? ENOMEM : EIO; }

// Encodes image (nullptr: flushes the encoder) and keeps what comes out.
bool Encode(const vpx_image_t* image) {
  const vpx_codec_err_t err = vpx_codec_encode(&vid.codec, image, vid.taken, 1, 0, kDeadline);
  if (err != VPX_CODEC_OK) {
    vid.error = ErrnoFor(err);
    return false;
  }
  vpx_codec_iter_t iter = nullptr;
  while (const vpx_codec_cx_pkt_t* pkt = vpx_codec_get_cx_data(&vid.codec, &iter)) {
    if (pkt->kind != VPX_CODEC_CX_FRAME_PKT) continue;
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(pkt->data.frame.buf);
    vid.movie.frames.push_back({Bytes(bytes, bytes + pkt->data.frame.sz),
                                (pkt->data.frame.flags & VPX_FRAME_IS_KEY) != 0});
  }
  return true;
}

// The screen as it stands, as the next frame; false when a stop or a failure ends the taking.
bool TakeFrame() {
  Convert();
  if (stopsignal || !Encode(vid.image)) return false;
  ++vid.taken;
  return true;
}

// The frames due up to the given moment, each the screen as it stands.
void TakeUntil(double seconds) {
  while (!vid.error && !stopsignal && FrameTime(vid.taken) <= seconds + kTimeSlack)
    if (!TakeFrame()) break;
  if (vid.error) escape = true;  // nothing more can be written: let the pass run out
}

void OnCurve(const int*, int samples) {
  ++vid.curves;
  vid.samples = samples;
  vid.stampsincurve = 0;
  TakeUntil(Now());
}

void OnStamp() {
  ++vid.stamps;
  ++vid.stampsincurve;
  vid.changed = true;
  TakeUntil(Now());
}

// The finished screen, from the end of the pass for a second.
void Hold() {
  const double end = Now() + kHoldLastSeconds;
  while (!vid.error && !stopsignal && FrameTime(vid.taken) < end - kTimeSlack)
    if (!TakeFrame()) break;
  vid.movie.seconds = end;
}

vpx_codec_err_t Open() {
  vpx_codec_enc_cfg_t cfg;
  vpx_codec_err_t err = vpx_codec_enc_config_default(vpx_codec_vp9_cx(), &cfg, 0);
  if (err != VPX_CODEC_OK) return err;
  cfg.g_w = static_cast<unsigned>(vid.w);
  cfg.g_h = static_cast<unsigned>(vid.h);
  cfg.g_timebase = {1, kVideoFps};
  cfg.g_threads = 1;
  cfg.g_lag_in_frames = 0;  // each frame comes out as it goes in
  cfg.rc_end_usage = VPX_Q;
  cfg.rc_min_quantizer = 0;
  cfg.rc_max_quantizer = kQuality;
  cfg.kf_mode = VPX_KF_AUTO;
  cfg.kf_max_dist = kKeyframeEvery;
  err = vpx_codec_enc_init(&vid.codec, vpx_codec_vp9_cx(), &cfg, 0);
  if (err != VPX_CODEC_OK) return err;
  vid.open = true;
  if ((err = vpx_codec_control(&vid.codec, VP8E_SET_CPUUSED, kCpuUsed)) != VPX_CODEC_OK ||
      (err = vpx_codec_control(&vid.codec, VP8E_SET_CQ_LEVEL, kQuality)) != VPX_CODEC_OK ||
      (err = vpx_codec_control(&vid.codec, VP9E_SET_TUNE_CONTENT, VP9E_CONTENT_SCREEN)) !=
          VPX_CODEC_OK)
    return err;
  vid.image = vpx_img_alloc(nullptr, VPX_IMG_FMT_I420, static_cast<unsigned>(vid.w),
                            static_cast<unsigned>(vid.h), 1);
  return vid.image ? VPX_CODEC_OK : VPX_CODEC_MEM_ERROR;
}

void Close() {
  curvestart = nullptr;
  stampmade = nullptr;
  if (vid.open) vpx_codec_destroy(&vid.codec);
  vid.open = false;
  if (vid.image) vpx_img_free(vid.image);
  vid.image = nullptr;
}

// Every frame the encoder was given must have come out, once each.
int Encoded() {
  if (const vpx_codec_err_t err = Open(); err != VPX_CODEC_OK) return ErrnoFor(err);
  for (auto& row : vid.rows) row.resize(static_cast<std::size_t>(vid.w));
  curvestart = OnCurve;
  stampmade = OnStamp;
  vid.pass();
  curvestart = nullptr;
  stampmade = nullptr;
  if (vid.taken > 0 && !vid.error && !stopsignal) {
    Hold();
    if (!vid.error && !stopsignal) Encode(nullptr);
  }
  if (stopsignal) return ECANCELED;
  if (vid.error) return vid.error;
  return vid.taken > 0 && static_cast<long long>(vid.movie.frames.size()) == vid.taken ? 0 : EIO;
}

int Written(DescriptorSink* sink) {
  const int err = Encoded();
  Close();
  if (err) return err;
  vid.movie.width = vid.w;
  vid.movie.height = vid.h;
  vid.movie.fps = kVideoFps;
  vid.movie.app = kApp;
  const Bytes file = WebmFile(vid.movie);
  if (stopsignal) return ECANCELED;
  if (!PutBytes(sink, file.data(), file.size())) return sink->error;
  return ReportRecorded(vid.path, static_cast<int>(vid.taken), vid.w, vid.h, sink->total)
             ? 0
             : ECANCELED;
}

// Memory that runs out part way ends it like a failed write, so the private file goes too.
int Write(DescriptorSink* sink, void*) {
  try {
    return Written(sink);
  } catch (const std::bad_alloc&) {
    Close();
    return ENOMEM;
  }
}

}  // namespace

bool RecordVideo(void (*pass)(), const std::string& path, const RecordPlan& plan) {
  vid = Recording();
  vid.plan = plan;
  vid.path = path;
  vid.pass = pass;
  vid.w = plan.half ? kScreenW / 2 : kScreenW;
  vid.h = plan.half ? kScreenH / 2 : kScreenH;
  StopAtOnce(false);  // from here on there is a file to remove first
  return SaveWhole(path.c_str(), Write, nullptr);
}
