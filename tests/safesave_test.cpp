// Saving the screenshot: the file is whole or untouched, links are replaced rather than
// followed, and a new file gets the permissions the umask allows.
#include "safesave.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "stand.h"

namespace {

using SafeSaveTest = Stand;

std::string Contents(const char* name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(SafeSaveTest, PredictedSizeMatchesWhatTheLibraryWrites) {
  for (int depth : {8, 15, 16, 24, 32}) {
    for (int w : {1, 2, 3, 17, 1024}) {
      BITMAP* bmp = create_bitmap_ex(depth, w, 5);
      clear_to_color(bmp, 0);
      ASSERT_EQ(save_bitmap("plain.bmp", bmp, depth == 8 ? default_palette : nullptr), 0);
      EXPECT_EQ(std::filesystem::file_size("plain.bmp"), BmpFileSize(w, 5, depth))
          << "depth " << depth << " width " << w;
      destroy_bitmap(bmp);
    }
  }
}

TEST_F(SafeSaveTest, ALinkAtTheNameIsReplacedNotWrittenThrough) {
  std::ofstream("victim.txt") << "precious";
  std::filesystem::create_symlink("victim.txt", "dump.bmp");
  ASSERT_TRUE(SaveBitmapWhole("dump.bmp", screen));
  EXPECT_EQ(Contents("victim.txt"), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink("dump.bmp"));
  EXPECT_EQ(std::filesystem::file_size("dump.bmp"), BmpFileSize(kW, kH, 32));
}

// A file size limit makes every write past it fail, as a full disk would: early in the image,
// or only at its very last byte.
TEST_F(SafeSaveTest, AWriteThatRunsOutOfRoomLeavesTheOldFileWholeAndSaysWhy) {
  std::ofstream("dump.bmp") << "an older screenshot";
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  for (rlim_t limit : {rlim_t{100000}, rlim_t{BmpFileSize(kW, kH, 32) - 1}}) {
    struct rlimit small = old;
    small.rlim_cur = limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ::testing::internal::CaptureStderr();
    const bool saved = SaveBitmapWhole("dump.bmp", screen);
    const std::string said = ::testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved) << limit;
    EXPECT_EQ(said, "inkstrip: cannot write dump.bmp: File too large\n");
    EXPECT_EQ(Contents("dump.bmp"), "an older screenshot");
    EXPECT_EQ(Entries(dir_), 1);
  }
  signal(SIGXFSZ, old_handler);
}

// The file written through the program's own descriptor is byte for byte the library's own.
TEST_F(SafeSaveTest, TheFileIsTheOneTheLibraryWouldWrite) {
  for (int col = 0; col < kW; col += 7) putpixel(screen, col, col % kH, makecol(col % 256, 9, 200));
  ASSERT_EQ(save_bitmap("library.bmp", screen, nullptr), 0);
  ASSERT_TRUE(SaveBitmapWhole("dump.bmp", screen));
  EXPECT_EQ(Contents("dump.bmp"), Contents("library.bmp"));
}

TEST_F(SafeSaveTest, ANewFileGetsThePermissionsTheUmaskAllows) {
  for (mode_t mask : {022, 027, 077}) {
    const mode_t old = umask(mask);
    std::filesystem::remove("dump.bmp");
    ASSERT_TRUE(SaveBitmapWhole("dump.bmp", screen));
    umask(old);
    struct stat st;
    ASSERT_EQ(stat("dump.bmp", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << std::oct << mask;
  }
}

TEST_F(SafeSaveTest, AMissingDirectoryIsReportedAndNothingIsMade) {
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveBitmapWhole("no/such/dir/dump.bmp", screen));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("No such file or directory"), std::string::npos) << said;
  EXPECT_EQ(Entries(dir_), 0);
}

}  // namespace
