// Reading a recorded video back: libwebm's parser for the container, libvpx's VP9 decoder for
// the frames, and a clock of whole numbers for the moments of the frames.
#include "videocheck.h"

#include <vpx/vp8dx.h>
#include <vpx/vpx_decoder.h>
#include <webm/callback.h>
#include <webm/file_reader.h>
#include <webm/webm_parser.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "colours.h"
#include "geometry.h"
#include "stroke.h"

namespace {

constexpr int kFps = 30;
constexpr long long kStampsPerSecond = 1400;
constexpr double kSame = 99;  // dB, for frames with no difference at all

class Collect : public webm::Callback {
 public:
  explicit Collect(VideoRead* v) : v_(v) {}

  webm::Status OnEbml(const webm::ElementMetadata&, const webm::Ebml& ebml) override {
    v_->doctype = ebml.doc_type.value();
    return webm::Status(webm::Status::kOkCompleted);
  }
  webm::Status OnSegmentBegin(const webm::ElementMetadata& m, webm::Action* action) override {
    segment_ = m.position + m.header_size;
    *action = webm::Action::kRead;
    return webm::Status(webm::Status::kOkCompleted);
  }
  webm::Status OnInfo(const webm::ElementMetadata&, const webm::Info& info) override {
    v_->timecodescale = info.timecode_scale.value();
    v_->durationms = info.duration.value();
    return webm::Status(webm::Status::kOkCompleted);
  }
  webm::Status OnTrackEntry(const webm::ElementMetadata&, const webm::TrackEntry& t) override {
    v_->codec = t.codec_id.value();
    v_->width = static_cast<int>(t.video.value().pixel_width.value());
    v_->height = static_cast<int>(t.video.value().pixel_height.value());
    return webm::Status(webm::Status::kOkCompleted);
  }
  webm::Status OnClusterBegin(const webm::ElementMetadata& m, const webm::Cluster& c,
                              webm::Action* action) override {
    cluster_ = static_cast<long long>(c.timecode.value());
    v_->clusters.push_back(m.position - segment_);
    *action = webm::Action::kRead;
    return webm::Status(webm::Status::kOkCompleted);
  }
  webm::Status OnSimpleBlockBegin(const webm::ElementMetadata&, const webm::SimpleBlock& b,
                                  webm::Action* action) override {
    v_->ms.push_back(cluster_ + b.timecode);
    v_->keys.push_back(b.is_key_frame);
    *action = webm::Action::kRead;
    return webm::Status(webm::Status::kOkCompleted);
  }
  webm::Status OnFrame(const webm::FrameMetadata&, webm::Reader* reader,
                       std::uint64_t* left) override {
    std::vector<std::uint8_t>& frame = v_->frames.emplace_back(*left);
    std::uint8_t* to = frame.data();
    while (*left > 0) {
      std::uint64_t got = 0;
      const webm::Status s = reader->Read(static_cast<std::size_t>(*left), to, &got);
      to += got;
      *left -= got;
      if (!s.ok()) return s;
    }
    return webm::Status(webm::Status::kOkCompleted);
  }
  webm::Status OnCuePoint(const webm::ElementMetadata&, const webm::CuePoint& cue) override {
    for (const auto& where : cue.cue_track_positions)
      v_->cues.push_back(where.value().cluster_position.value());
    return webm::Status(webm::Status::kOkCompleted);
  }

 private:
  VideoRead* v_;
  std::uint64_t segment_ = 0;
  long long cluster_ = 0;
};

int Clamped(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

std::uint32_t RgbOf(int y, int u, int v) {
  const double l = 1.164 * (y - 16), cb = u - 128, cr = v - 128;
  return static_cast<std::uint32_t>(Clamped(l + 1.596 * cr) << 16 |
                                    Clamped(l - 0.392 * cb - 0.813 * cr) << 8 |
                                    Clamped(l + 2.017 * cb));
}

Pixel Shown(BITMAP* bmp, int x, int y, bool half) {
  if (!half) return ScreenPixel(bmp, x, y);
  const Pixel four[4] = {ScreenPixel(bmp, 2 * x, 2 * y), ScreenPixel(bmp, 2 * x + 1, 2 * y),
                         ScreenPixel(bmp, 2 * x, 2 * y + 1),
                         ScreenPixel(bmp, 2 * x + 1, 2 * y + 1)};
  return Mix(four);
}

// The sum of the squared differences of red, green and blue between frame and the screen as a
// frame of that size shows it (at half size, each pixel the average of four in linear light).
double SumOfSquares(const std::vector<std::uint32_t>& frame, int width, int height, BITMAP* bmp) {
  const bool half = width * 2 == bmp->w;
  double squares = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Pixel a = frame[static_cast<std::size_t>(y) * width + x];
      const Pixel b = Shown(bmp, x, y, half);
      for (int shift = 0; shift <= 16; shift += 8) {
        const double d = static_cast<double>(a >> shift & 0xFF) - (b >> shift & 0xFF);
        squares += d * d;
      }
    }
  return squares;
}

// PSNR in dB over the red, green and blue of every pixel, from their squared differences.
double PsnrOf(double squares, int width, int height) {
  if (squares == 0) return kSame;
  return 10 * std::log10(255.0 * 255.0 * 3.0 * width * height / squares);
}

// The fresh run: which frame is due next, and the clock's place in the pass.
struct Along {
  const VideoRead* video = nullptr;
  VideoDecoder* decoder = nullptr;
  std::vector<double> psnr;
  int pace = 0;
  long long stamps = 0, curves = 0, instamp = 0, samples = 1;
  std::vector<std::uint32_t> next;  // the next frame due, decoded ahead
  bool decoded = false;
  double earlysse = -1;             // the next frame against the screen one stamp before its moment
  std::vector<std::uint32_t> late;  // the last frame compared, waiting for one stamp more
  double latesse = -1;              // and its own error
  int misplaced = 0;
};
Along along;

// Frame n is due once n / 30 s is no later than the next stamp's moment; ahead counts stamps
// not yet made, within the curve.
bool Due(long long n, long long ahead = 0) {
  if (along.pace == 0) return n * kStampsPerSecond <= kFps * (along.stamps + ahead);
  if (along.curves == 0 || along.instamp + ahead > along.samples) return n == 0;
  return n * along.samples * along.pace <=
         kFps * ((along.curves - 1) * along.samples + along.instamp + ahead);
}

double Sse(const std::vector<std::uint32_t>& frame) {
  return frame.empty() ? 1e300
                       : SumOfSquares(frame, along.video->width, along.video->height, screen);
}

const std::vector<std::uint32_t>& Next() {
  if (!along.decoded) along.next = along.decoder->Next();
  along.decoded = true;
  return along.next;
}

void Compare() {
  const std::vector<std::uint32_t>& frame = Next();
  const double sse = Sse(frame);
  if (along.earlysse >= 0 && along.earlysse < sse) ++along.misplaced;
  along.earlysse = -1;
  along.psnr.push_back(frame.empty() ? 0 : PsnrOf(sse, along.video->width, along.video->height));
  along.late = frame;
  along.latesse = sse;
  along.decoded = false;
}

std::size_t Left() { return along.video->frames.size() - along.psnr.size(); }

// A frame taken a stamp early or late is closer to that stamp's screen than to its own.
void CompareDue(bool stamped) {
  if (stamped && along.latesse >= 0 && Sse(along.late) < along.latesse) ++along.misplaced;
  along.latesse = -1;
  while (Left() > 0 && Due(static_cast<long long>(along.psnr.size()))) Compare();
  if (Left() > 0 && Due(static_cast<long long>(along.psnr.size()), 1)) along.earlysse = Sse(Next());
}

}  // namespace

bool ReadVideo(const char* path, VideoRead* video) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  webm::FileReader reader(file);
  Collect collect(video);
  webm::WebmParser parser;
  return parser.Feed(&collect, &reader).completed_ok();
}

struct VideoDecoder::Codec {
  vpx_codec_ctx_t ctx;
  bool open = false;
};

VideoDecoder::VideoDecoder(const VideoRead& video) : video_(video), codec_(new Codec) {
  codec_->open = vpx_codec_dec_init(&codec_->ctx, vpx_codec_vp9_dx(), nullptr, 0) == VPX_CODEC_OK;
}

VideoDecoder::~VideoDecoder() {
  if (codec_->open) vpx_codec_destroy(&codec_->ctx);
  delete codec_;
}

std::vector<std::uint32_t> VideoDecoder::Next() {
  std::vector<std::uint32_t> rgb;
  if (!codec_->open || next_ >= video_.frames.size()) return rgb;
  const std::vector<std::uint8_t>& data = video_.frames[next_++];
  if (vpx_codec_decode(&codec_->ctx, data.data(), static_cast<unsigned>(data.size()), nullptr, 0) !=
      VPX_CODEC_OK)
    return rgb;
  vpx_codec_iter_t iter = nullptr;
  const vpx_image_t* im = vpx_codec_get_frame(&codec_->ctx, &iter);
  if (!im || im->fmt != VPX_IMG_FMT_I420 || static_cast<int>(im->d_w) != video_.width ||
      static_cast<int>(im->d_h) != video_.height)
    return rgb;
  rgb.resize(im->d_w * im->d_h);
  for (unsigned y = 0; y < im->d_h; ++y)
    for (unsigned x = 0; x < im->d_w; ++x)
      rgb[y * im->d_w + x] =
          RgbOf(im->planes[VPX_PLANE_Y][y * im->stride[VPX_PLANE_Y] + x],
                im->planes[VPX_PLANE_U][y / 2 * im->stride[VPX_PLANE_U] + x / 2],
                im->planes[VPX_PLANE_V][y / 2 * im->stride[VPX_PLANE_V] + x / 2]);
  return rgb;
}

std::vector<double> PsnrAlongPass(const VideoRead& video, void (*pass)(), int pace,
                                  int* misplaced) {
  VideoDecoder decoder(video);
  along = Along();
  along.video = &video;
  along.decoder = &decoder;
  along.pace = pace;
  clear_to_color(screen, 0);
  t = 0;
  curvestart = [](const int*, int samples) {
    ++along.curves;
    along.samples = samples;
    along.instamp = 0;
    CompareDue(false);
  };
  stampmade = [] {
    ++along.stamps;
    ++along.instamp;
    CompareDue(true);
  };
  pass();
  curvestart = nullptr;
  stampmade = nullptr;
  while (Left() > 0) Compare();
  if (misplaced) *misplaced = along.misplaced;
  return along.psnr;
}
