// The WebM container, written by a small EBML writer of our own: Debian's libwebm ships only
// its parser's headers, not its muxer's, so the few elements a player needs are written here
// and the tests read them back with that parser. The file is put together in memory, so every
// size is known before it is written and nothing needs going back over.
#include "webm.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t kEbml = 0x1A45DFA3;
constexpr std::uint32_t kEbmlVersion = 0x4286;
constexpr std::uint32_t kEbmlReadVersion = 0x42F7;
constexpr std::uint32_t kEbmlMaxIdLength = 0x42F2;
constexpr std::uint32_t kEbmlMaxSizeLength = 0x42F3;
constexpr std::uint32_t kDocType = 0x4282;
constexpr std::uint32_t kDocTypeVersion = 0x4287;
constexpr std::uint32_t kDocTypeReadVersion = 0x4285;
constexpr std::uint32_t kSegment = 0x18538067;
constexpr std::uint32_t kSeekHead = 0x114D9B74;
constexpr std::uint32_t kSeek = 0x4DBB;
constexpr std::uint32_t kSeekId = 0x53AB;
constexpr std::uint32_t kSeekPosition = 0x53AC;
constexpr std::uint32_t kInfo = 0x1549A966;
constexpr std::uint32_t kTimecodeScale = 0x2AD7B1;
constexpr std::uint32_t kDuration = 0x4489;
constexpr std::uint32_t kMuxingApp = 0x4D80;
constexpr std::uint32_t kWritingApp = 0x5741;
constexpr std::uint32_t kTracks = 0x1654AE6B;
constexpr std::uint32_t kTrackEntry = 0xAE;
constexpr std::uint32_t kTrackNumber = 0xD7;
constexpr std::uint32_t kTrackUid = 0x73C5;
constexpr std::uint32_t kTrackType = 0x83;
constexpr std::uint32_t kFlagLacing = 0x9C;
constexpr std::uint32_t kDefaultDuration = 0x23E383;
constexpr std::uint32_t kCodecId = 0x86;
constexpr std::uint32_t kVideo = 0xE0;
constexpr std::uint32_t kPixelWidth = 0xB0;
constexpr std::uint32_t kPixelHeight = 0xBA;
constexpr std::uint32_t kCluster = 0x1F43B675;
constexpr std::uint32_t kTimecode = 0xE7;
constexpr std::uint32_t kSimpleBlock = 0xA3;
constexpr std::uint32_t kCues = 0x1C53BB6B;
constexpr std::uint32_t kCuePoint = 0xBB;
constexpr std::uint32_t kCueTime = 0xB3;
constexpr std::uint32_t kCueTrackPositions = 0xB7;
constexpr std::uint32_t kCueTrack = 0xF7;
constexpr std::uint32_t kCueClusterPosition = 0xF1;

constexpr std::uint64_t kNanosecondsPerTick = 1000000;  // timecodes count milliseconds
constexpr double kMillisecondsPerSecond = 1000;
constexpr std::uint64_t kTrack = 1;
constexpr std::uint64_t kVideoTrackType = 1;
constexpr std::uint8_t kKeyframeFlag = 0x80;
constexpr long long kLongestOffsetMs = 32767;  // a block's time is a signed 16-bit offset
constexpr int kSeekPositionBytes = 8;  // fixed, so that the seek head's size needs no positions

void Append(Bytes* out, const Bytes& more) { out->insert(out->end(), more.begin(), more.end()); }

void PutBigEndian(Bytes* out, std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

int BytesFor(std::uint64_t value) {
  int n = 1;
  while (n < 8 && value >> (8 * n)) ++n;
  return n;
}

// An ID keeps its own length marker in its first byte.
void PutId(Bytes* out, std::uint32_t id) { PutBigEndian(out, id, BytesFor(id)); }

// A size in the fewest bytes: a marker bit, then the value; all ones would mean "unknown".
void PutSize(Bytes* out, std::uint64_t size) {
  int n = 1;
  while (n < 8 && size >= (1ULL << (7 * n)) - 1) ++n;
  PutBigEndian(out, size | (1ULL << (7 * n)), n);
}

void PutUint(Bytes* out, std::uint32_t id, std::uint64_t value, int bytes = 0) {
  if (bytes == 0) bytes = BytesFor(value);
  PutId(out, id);
  PutSize(out, static_cast<std::uint64_t>(bytes));
  PutBigEndian(out, value, bytes);
}

void PutFloat(Bytes* out, std::uint32_t id, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  PutId(out, id);
  PutSize(out, sizeof bits);
  PutBigEndian(out, bits, sizeof bits);
}

void PutString(Bytes* out, std::uint32_t id, const std::string& s) {
  PutId(out, id);
  PutSize(out, s.size());
  out->insert(out->end(), s.begin(), s.end());
}

void PutMaster(Bytes* out, std::uint32_t id, const Bytes& body) {
  PutId(out, id);
  PutSize(out, body.size());
  Append(out, body);
}

Bytes EbmlHeader() {
  Bytes body;
  PutUint(&body, kEbmlVersion, 1);
  PutUint(&body, kEbmlReadVersion, 1);
  PutUint(&body, kEbmlMaxIdLength, 4);
  PutUint(&body, kEbmlMaxSizeLength, 8);
  PutString(&body, kDocType, "webm");
  PutUint(&body, kDocTypeVersion, 4);
  PutUint(&body, kDocTypeReadVersion, 2);
  Bytes out;
  PutMaster(&out, kEbml, body);
  return out;
}

Bytes Info(const Movie& movie) {
  Bytes body;
  PutUint(&body, kTimecodeScale, kNanosecondsPerTick);
  PutFloat(&body, kDuration, movie.seconds * kMillisecondsPerSecond);
  PutString(&body, kMuxingApp, movie.app);
  PutString(&body, kWritingApp, movie.app);
  Bytes out;
  PutMaster(&out, kInfo, body);
  return out;
}

Bytes Tracks(const Movie& movie) {
  Bytes video;
  PutUint(&video, kPixelWidth, static_cast<std::uint64_t>(movie.width));
  PutUint(&video, kPixelHeight, static_cast<std::uint64_t>(movie.height));
  Bytes entry;
  PutUint(&entry, kTrackNumber, kTrack);
  PutUint(&entry, kTrackUid, kTrack);
  PutUint(&entry, kTrackType, kVideoTrackType);
  PutUint(&entry, kFlagLacing, 0);
  PutUint(&entry, kDefaultDuration, static_cast<std::uint64_t>(std::llround(1e9 / movie.fps)));
  PutString(&entry, kCodecId, "V_VP9");
  PutMaster(&entry, kVideo, video);
  Bytes tracks;
  PutMaster(&tracks, kTrackEntry, entry);
  Bytes out;
  PutMaster(&out, kTracks, tracks);
  return out;
}

long long FrameMs(const Movie& movie, std::size_t n) {
  return std::llround(static_cast<double>(n) * kMillisecondsPerSecond / movie.fps);
}

void PutBlock(Bytes* cluster, const EncodedFrame& frame, long long offsetms) {
  Bytes head;
  PutSize(&head, kTrack);
  PutBigEndian(&head, static_cast<std::uint64_t>(offsetms), 2);
  head.push_back(frame.key ? kKeyframeFlag : 0);
  PutId(cluster, kSimpleBlock);
  PutSize(cluster, head.size() + frame.data.size());
  Append(cluster, head);
  Append(cluster, frame.data);
}

struct Cue {
  long long ms;
  std::uint64_t position;  // of the cluster, from the start of the segment's body
};

// A cluster begins at each keyframe, so that a player can start from any cluster, and before
// a block's offset would outgrow its 16 bits.
void PutClusters(const Movie& movie, Bytes* segment, std::vector<Cue>* cues) {
  std::size_t n = 0;
  while (n < movie.frames.size()) {
    const long long start = FrameMs(movie, n);
    Bytes cluster;
    PutUint(&cluster, kTimecode, static_cast<std::uint64_t>(start));
    do {
      PutBlock(&cluster, movie.frames[n], FrameMs(movie, n) - start);
      ++n;
    } while (n < movie.frames.size() && !movie.frames[n].key &&
             FrameMs(movie, n) - start <= kLongestOffsetMs);
    cues->push_back({start, segment->size()});
    PutMaster(segment, kCluster, cluster);
  }
}

Bytes CuesOf(const std::vector<Cue>& cues) {
  Bytes body;
  for (const Cue& cue : cues) {
    Bytes where;
    PutUint(&where, kCueTrack, kTrack);
    PutUint(&where, kCueClusterPosition, cue.position);
    Bytes point;
    PutUint(&point, kCueTime, static_cast<std::uint64_t>(cue.ms));
    PutMaster(&point, kCueTrackPositions, where);
    PutMaster(&body, kCuePoint, point);
  }
  Bytes out;
  PutMaster(&out, kCues, body);
  return out;
}

struct Place {
  std::uint32_t id;
  std::uint64_t position;
};

Bytes SeekHead(const std::vector<Place>& places) {
  Bytes body;
  for (const Place& p : places) {
    Bytes seek, id;
    PutId(&id, p.id);
    PutMaster(&seek, kSeekId, id);
    PutUint(&seek, kSeekPosition, p.position, kSeekPositionBytes);
    PutMaster(&body, kSeek, seek);
  }
  Bytes out;
  PutMaster(&out, kSeekHead, body);
  return out;
}

}  // namespace

Bytes WebmFile(const Movie& movie) {
  const Bytes info = Info(movie);
  const Bytes tracks = Tracks(movie);
  const std::size_t headsize = SeekHead({{kInfo, 0}, {kTracks, 0}, {kCues, 0}}).size();
  Bytes segment(headsize + info.size() + tracks.size());
  std::vector<Cue> cues;
  PutClusters(movie, &segment, &cues);
  const Bytes head =
      SeekHead({{kInfo, headsize}, {kTracks, headsize + info.size()}, {kCues, segment.size()}});
  std::copy(head.begin(), head.end(), segment.begin());
  std::copy(info.begin(), info.end(), segment.begin() + static_cast<long>(headsize));
  std::copy(tracks.begin(), tracks.end(),
            segment.begin() + static_cast<long>(headsize + info.size()));
  Append(&segment, CuesOf(cues));
  Bytes file = EbmlHeader();
  PutMaster(&file, kSegment, segment);
  return file;
}
