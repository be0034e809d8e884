// Reading a recorded video back for the tests and the benchmark: the WebM parsed by libwebm, its
// VP9 frames decoded by libvpx, and each frame held against the memory screen of a fresh run of
// the same pass at that frame's moment, by a clock kept here apart from the recorder's own.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <string>
#include <vector>

struct VideoRead {
  std::string doctype, codec;
  int width = 0, height = 0;
  std::uint64_t timecodescale = 0;  // nanoseconds a tick
  double durationms = 0;
  std::vector<long long> ms;  // when each frame starts: its cluster's time and its own offset
  std::vector<bool> keys;
  std::vector<std::vector<std::uint8_t>> frames;
  std::vector<std::uint64_t> clusters, cues;  // where each cluster is, and where each cue says
};

// False when libwebm finds the file malformed or cannot read it.
bool ReadVideo(const char* path, VideoRead* video);

// Decodes the frames of video one after another into RGB frames of its size.
class VideoDecoder {
 public:
  explicit VideoDecoder(const VideoRead& video);
  ~VideoDecoder();
  // The next frame as 0xRRGGBB, BT.601 limited range back to RGB; empty if it cannot decode.
  std::vector<std::uint32_t> Next();

 private:
  const VideoRead& video_;
  std::size_t next_ = 0;
  struct Codec;
  Codec* codec_;
};

// Runs pass on the cleared screen at 1400 stamps a second, or pace curves a second, and gives
// each frame of video's PSNR against the screen as it stood at the frame's moment: every stamp
// made before it. Frames past the end of the pass are held against the finished screen.
// misplaced, when given, counts the frames closer to the screen one stamp before or after
// their moment than to their own.
std::vector<double> PsnrAlongPass(const VideoRead& video, void (*pass)(), int pace,
                                  int* misplaced = nullptr);
