// The WebM container of a recorded video: one VP9 video track at a steady frame rate, its
// frames in clusters that each begin at a keyframe, with cues to seek by.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct EncodedFrame {
  Bytes data;  // one VP9 frame as the encoder gave it
  bool key = false;
};

struct Movie {
  int width = 0, height = 0;  // pixels
  int fps = 0;                // frames a second; frame n starts at n / fps seconds
  double seconds = 0;         // how long the whole movie lasts
  std::string app;            // the program that made it, named as muxer and writer
  std::vector<EncodedFrame> frames;
};

// The whole file. Grows memory with the frames; std::bad_alloc when it runs out.
Bytes WebmFile(const Movie& movie);
