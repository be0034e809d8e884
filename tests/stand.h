// The test stand: the library started with no system driver, a 32-bit memory bitmap as the
// screen, a one-pixel ball, the pen, the flags and the pace reset, and a private working
// directory.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

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
