// Saving the screenshot: the file is whole or untouched, links are replaced rather than
// followed, a new file gets the permissions the umask allows, and a PNG holds the BMP's pixels.
#include "safesave.h"

#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "stand.h"
#include "stopping.h"

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
// or only at its very last byte. It is tried in a child that handles signals as the program
// does, since the limit's own signal would end a program that did not.
TEST_F(SafeSaveTest, AWriteThatRunsOutOfRoomLeavesTheOldFileWholeAndSaysWhy) {
  std::ofstream("dump.bmp") << "an older screenshot";
  for (rlim_t limit : {rlim_t{100000}, rlim_t{BmpFileSize(kW, kH, 32) - 1}}) {
    const pid_t pid = fork();
    if (pid == 0) {
      HoldStopSignals();
      CatchStopSignals();
      struct rlimit small;
      getrlimit(RLIMIT_FSIZE, &small);
      small.rlim_cur = limit;
      setrlimit(RLIMIT_FSIZE, &small);
      bool saved = true;
      const std::string said =
          Captured(2, [&saved] { saved = SaveBitmapWhole("dump.bmp", screen); });
      _exit(!saved && said == "inkstrip: cannot write 'dump.bmp': File too large\n" ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << limit << ": " << status;
    EXPECT_EQ(Contents("dump.bmp"), "an older screenshot");
    EXPECT_EQ(Entries(dir_), 1);
  }
}

// The size on disk is the last word: a file that every write called whole but that holds less
// than was put into it (short by a byte, by a few hundred, by a row of the screen) is refused,
// and the older file stays. A writer that cuts its own file after writing stands for the disk.
struct Cut {
  std::size_t bytes, missing;
};
int WriteThenCut(DescriptorSink* sink, void* what) {
  const Cut& cut = *static_cast<Cut*>(what);
  const std::vector<unsigned char> bytes(cut.bytes, 0x5A);
  if (!PutBytes(sink, bytes.data(), bytes.size()) || !Flush(sink)) return sink->error;
  return ftruncate(sink->fd, static_cast<off_t>(cut.bytes - cut.missing)) == 0 ? 0 : errno;
}

TEST_F(SafeSaveTest, AFileShortOfWhatWasWrittenIsRefusedAndTheOldOneStays) {
  const std::size_t whole = BmpFileSize(kW, kH, 32);
  const std::string why = ": Input/output error\n";  // after the name, quoted or not
  for (std::size_t missing :
       {std::size_t{1}, std::size_t{300}, whole - BmpFileSize(kW, kH - 1, 32)}) {
    std::ofstream("dump.bmp") << "an older screenshot";
    Cut cut{whole, missing};
    bool saved = true;
    const std::string said =
        Captured(2, [&] { saved = SaveWhole("dump.bmp", WriteThenCut, &cut); });
    EXPECT_FALSE(saved) << missing;
    EXPECT_TRUE(said == "inkstrip: cannot write dump.bmp" + why ||
                said == "inkstrip: cannot write 'dump.bmp'" + why)
        << said;
    EXPECT_EQ(Contents("dump.bmp"), "an older screenshot") << missing;
    EXPECT_EQ(Entries(dir_), 1) << missing;
  }
  Cut none{whole, 0};
  ASSERT_TRUE(SaveWhole("dump.bmp", WriteThenCut, &none));
  EXPECT_EQ(std::filesystem::file_size("dump.bmp"), whole);
}

// The BMP written through the program's own descriptor is byte for byte the library's own, and
// the PNG holds the very same pixels.
TEST_F(SafeSaveTest, TheFileIsTheOneTheLibraryWouldWriteAndThePngHasItsPixels) {
  for (int col = 0; col < kW; col += 7) putpixel(screen, col, col % kH, makecol(col % 256, 9, 200));
  ASSERT_EQ(save_bitmap("library.bmp", screen, nullptr), 0);
  ASSERT_TRUE(SaveBitmapWhole("dump.bmp", screen));
  EXPECT_EQ(Contents("dump.bmp"), Contents("library.bmp"));

  ASSERT_TRUE(SaveBitmapWhole("dump.PNG", screen));
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&png, "dump.PNG"));
  png.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png));
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr));
  ASSERT_EQ(png.width * png.height, static_cast<unsigned>(kW * kH));
  int wrong = 0;
  for (int i = 0; i < kW * kH; ++i) {
    const int c = getpixel(screen, i % kW, i / kW);
    wrong += rgb[3 * i] != getr(c) || rgb[3 * i + 1] != getg(c) || rgb[3 * i + 2] != getb(c);
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(Entries(dir_), 3);
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

// Found before any drawing, and again if it is still so at the press.
TEST_F(SafeSaveTest, AMissingDirectoryIsReportedAndNothingIsMade) {
  const std::string why =
      "cannot make a new file in the directory 'no/such/' (No such file or directory)";
  EXPECT_EQ(NewFileProblem("no/such/dump.png"), why);
  EXPECT_EQ(NewFileProblem("dump.png"), "");
  const std::string said =
      Captured(2, [] { EXPECT_FALSE(SaveBitmapWhole("no/such/dump.bmp", screen)); });
  EXPECT_EQ(said, "inkstrip: cannot write 'no/such/dump.bmp': " + why + "\n");
  EXPECT_EQ(Entries(dir_), 0);
}

// The private name beside a name of 254 or 255 bytes, of one-byte or two-byte characters, gives
// way in its stem and keeps the ending.
TEST_F(SafeSaveTest, ANameAsLongAsTheSystemTakesIsSaved) {
  std::string accented;
  for (int i = 0; i < 125; ++i) accented += "\xC3\xA9";  // 250 bytes of 'e' with an accent
  for (const std::string& name :
       {std::string(250, 'a') + ".bmp", std::string(251, 'b') + ".bmp", accented + "x.png"}) {
    EXPECT_EQ(NewFileProblem(name.c_str()), "") << name.size();
    EXPECT_TRUE(SaveBitmapWhole(name.c_str(), screen)) << name.size();
    EXPECT_TRUE(IsFile(name.c_str())) << name.size();
  }
  EXPECT_EQ(Entries(dir_), 3);
}

// What stands at the name must give way to the rename: a directory never does, nor another
// user's file in a directory that keeps files for their owners (tried as nobody in a child).
TEST_F(SafeSaveTest, WhatCannotBeReplacedIsFoundAtStart) {
  std::filesystem::create_directory("shot.png");
  EXPECT_EQ(NewFileProblem("shot.png"), "it is a directory");
  std::ofstream("mine.png") << "kept";
  EXPECT_EQ(NewFileProblem("mine.png"), "");
  if (geteuid() != 0) GTEST_SKIP() << "the sticky directory needs root to run as another user";
  ASSERT_EQ(chmod(dir_.c_str(), 01777), 0);
  const pid_t pid = fork();
  if (pid == 0)
    _exit(setuid(65534) == 0 && NewFileProblem("mine.png").find("another user") != std::string::npos
              ? 0
              : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(Entries(dir_), 2);
}

}  // namespace
