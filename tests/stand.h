// The test stand: the library started with no system driver, a 32-bit memory bitmap as the
// screen, a one-pixel ball, every module variable, the pace and the umask reset before and after
// each test, and a private working directory; and the screens of the script, curve by curve.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <string>

#include "geometry.h"
#include "record.h"

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
  mode_t umask_ = 0;  // a test that changes the umask and fails before it puts it back
};

void StartLibraryOnce();

// What descriptor fd (1 or 2) received while work ran, through a temporary file put in its place.
std::string Captured(int fd, const std::function<void()>& work);

// FNV-1a over every pixel, row by row.
std::uint64_t Digest(BITMAP* bmp);

// After every curve its stamps are on the screen, so the screen's Digest after each curve of a
// pass covers every number of the script. The screens were saved and looked at once
// (INKSTRIP_SAVE_WORDS=DIR saves the screen after every curve again, as BMP files): the letters
// of "Hello" and "world", joined, and nothing else. One digest a curve, so that a failure names
// the first curve that differs: its word (0 "Hello", 1 "world") and command, counted from 1.
struct CurveDigest {
  int word, command;
  std::uint64_t digest;
};
constexpr const char* kWordNames[] = {"Hello", "world"};
constexpr CurveDigest kCurveDigests[] = {
    {0, 1, 6629110692491985685ull},   {0, 2, 4050513512828167519ull},
    {0, 3, 1151552610544041586ull},   {0, 4, 6311112788375778316ull},
    {0, 5, 8489300397320815007ull},   {0, 6, 17353684614971980440ull},
    {0, 7, 7172751106571556348ull},   {0, 8, 16715472042545095734ull},
    {0, 9, 16929855353033127106ull},  {0, 10, 13206824686156038869ull},
    {0, 11, 11035403737426366234ull}, {0, 12, 12961604346542876562ull},
    {0, 13, 17110018152669970670ull}, {0, 14, 13507878140142773723ull},
    {0, 15, 15005854540643265311ull}, {0, 16, 14699939393601701119ull},
    {0, 17, 11961745829729270371ull}, {0, 18, 2641131329815889961ull},
    {1, 1, 9730425105160808003ull},   {1, 2, 4827769628664139771ull},
    {1, 3, 7097434116234904381ull},   {1, 4, 832617250958434583ull},
    {1, 5, 16832732567955832152ull},  {1, 6, 13215435017993865803ull},
    {1, 7, 10954144159494308592ull},  {1, 8, 3735888089384918782ull},
    {1, 9, 648998552033954565ull},    {1, 10, 9914704914456451327ull},
    {1, 11, 5572856764368194141ull},  {1, 12, 4519833618062429726ull},
    {1, 13, 900765925605585242ull},   {1, 14, 4323400638721310886ull},
    {1, 15, 4149864592724324547ull},  {1, 16, 10064309778394882147ull},
    {1, 17, 6497688946824666379ull},  {1, 18, 6574073203882293704ull},
    {1, 19, 8822420139984435651ull},  {1, 20, 12666957324256031599ull},
    {1, 21, 5016720643653297396ull},  {1, 22, 14246795675689956576ull},
    {1, 23, 8607118349001551265ull},  {1, 24, 8977938249028759490ull},
    {1, 25, 15922114461625889714ull}, {1, 26, 18121311906640289967ull},
};
constexpr int kPassCurves = static_cast<int>(std::size(kCurveDigests));

// The truth as it was first kept, folded over each word (folded * 31 + digest): the table above
// must fold to exactly these, so that it is the same truth curve by curve.
constexpr std::uint64_t kHelloFolded = 3506730467273428213ull;
constexpr std::uint64_t kWorldFolded = 13930898539450292141ull;
constexpr std::uint64_t Folded(int word) {
  std::uint64_t folded = 0;
  for (const CurveDigest& c : kCurveDigests)
    if (c.word == word) folded = folded * 31 + c.digest;
  return folded;
}
static_assert(Folded(0) == kHelloFolded && Folded(1) == kWorldFolded,
              "the curve digests are not the screens first looked at");

// "word 1 (world) command 7": where a curve stands in the script.
std::string CurveName(const CurveDigest& c);

// A recording of the script as the program makes one: a frame a curve, timed by pace (0: the
// default), at half size or not.
RecordPlan Plan(double pace, bool half);
