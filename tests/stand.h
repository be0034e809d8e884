// The test stand: the library started with no system driver, a 32-bit memory bitmap as the
// screen, a one-pixel ball, the pen, the flags and the pace reset, and a private working
// directory.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "geometry.h"

constexpr int kW = kScreenW;
constexpr int kH = kScreenH;

class Stand : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A width x 1 sprite whose pixels are the given colours, left to right.
  static BITMAP* Row(std::initializer_list<int> colours);
  static BITMAP* Copy(BITMAP* from);
  static bool Same(BITMAP* a, BITMAP* b);
  static int Count(BITMAP* bmp, int colour);
  static bool IsFile(const char* name);
  static int Entries(const std::string& dir);

  int white_ = 0;
  std::string dir_;

 private:
  std::string home_;
};

void StartLibraryOnce();

// What descriptor fd (1 or 2) received while work ran, through a temporary file put in its place.
std::string Captured(int fd, const std::function<void()>& work);

// FNV-1a over every pixel, row by row.
std::uint64_t Digest(BITMAP* bmp);

// After every curve its stamps are on the screen, so a digest of the screen after each curve,
// folded into one per word (folded * 31 + digest), covers every number of the script. The
// screens were saved and looked at once (INKSTRIP_SAVE_WORDS=DIR saves the screen after every
// curve again, as BMP files): the letters of "Hello" and "world", joined, and nothing else.
constexpr std::uint64_t kHelloDigest = 3506730467273428213ull;
constexpr std::uint64_t kWorldDigest = 13930898539450292141ull;
