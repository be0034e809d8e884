// The press: seen only at the start of a curve, it saves the screen as it was, stops all later
// drawing, and happens at most once.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "main3.h"
#include "pen.h"
#include "stand.h"
#include "stroke.h"

namespace {

using CaptureTest = Stand;

constexpr std::uintmax_t kDumpBytes = 54 + 1024 * 3 * 768;

TEST_F(CaptureTest, APressSavesTheScreenAsItWasAndDrawsNothingMore) {
  Moveto(550, 150);
  Cproc(-141, -889, 909, -41, 1313, -788);
  BITMAP* before = Copy(screen);
  mouse_b = 1;
  ::testing::internal::CaptureStderr();
  Sproc(-242, 949, -546, 3222);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(escape);
  EXPECT_FALSE(dumpfailed);
  EXPECT_EQ(t, 140);
  EXPECT_TRUE(Same(screen, before));
  EXPECT_EQ(x, 768 - 91);

  ASSERT_EQ(std::filesystem::file_size("dump.bmp"), kDumpBytes);
  EXPECT_EQ(Entries(dir_), 1);  // nothing left behind beside it
  BITMAP* dump = load_bitmap("dump.bmp", nullptr);
  ASSERT_NE(dump, nullptr);
  EXPECT_TRUE(Same(dump, before));
  EXPECT_GT(Count(dump, white_), 0);
  destroy_bitmap(dump);
  destroy_bitmap(before);
}

TEST_F(CaptureTest, NoButtonNoScreenshot) {
  const int spot[8] = {500, 300, 500, 300, 500, 300, 500, 300};
  Bezier(spot);
  EXPECT_FALSE(escape);
  EXPECT_EQ(t, 140);
  EXPECT_FALSE(IsFile("dump.bmp"));
}

TEST_F(CaptureTest, OnlyTheFirstPressIsTaken) {
  const int spot[8] = {500, 300, 500, 300, 500, 300, 500, 300};
  mouse_b = 1;
  Bezier(spot);
  ASSERT_TRUE(IsFile("dump.bmp"));
  std::filesystem::remove("dump.bmp");
  Bezier(spot);  // still held
  mouse_b = 0;
  Bezier(spot);
  mouse_b = 2;  // another button, pressed again
  Bezier(spot);
  EXPECT_FALSE(IsFile("dump.bmp"));
  EXPECT_EQ(t, 0);
  EXPECT_EQ(Count(screen, white_), 0);
}

TEST_F(CaptureTest, AnEarlierDumpIsReplacedWhole) {
  std::ofstream("dump.bmp") << "an older screenshot";
  mouse_b = 1;
  const int spot[8] = {500, 300, 500, 300, 500, 300, 500, 300};
  Bezier(spot);
  EXPECT_EQ(std::filesystem::file_size("dump.bmp"), kDumpBytes);
  EXPECT_FALSE(dumpfailed);
}

TEST_F(CaptureTest, AnUnwritableDumpStillStopsButIsReported) {
  ASSERT_EQ(mkdir("dump.bmp", 0755), 0);
  mouse_b = 1;
  const int spot[8] = {500, 300, 500, 300, 500, 300, 500, 300};
  ::testing::internal::CaptureStderr();
  Bezier(spot);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(escape);
  EXPECT_TRUE(dumpfailed);
  EXPECT_NE(said.find("dump.bmp"), std::string::npos) << said;
  EXPECT_TRUE(std::filesystem::is_directory("dump.bmp"));
  EXPECT_EQ(Entries(dir_), 1);
  EXPECT_EQ(t, 0);
}

}  // namespace
