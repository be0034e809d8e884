// The sprite check: every form the library reads gets through and loads exactly as drawn from
// the bytes that were checked; everything that crashes or fools the loader is refused with a
// reason; files that are not files at all are refused without a hang; and where the sprite is
// looked for.
#include "bmpcheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "bmpmaker.h"
#include "packio.h"
#include "sprite.h"
#include "stand.h"

namespace {

using BmpCheckTest = Stand;

std::string Problem(const std::string& bytes) {
  return BmpProblem(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void Write(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

void ExpectLoadsAsDrawn(const NamedBmp& good) {
  BITMAP* bmp = LoadBmpFromMemory(std::vector<unsigned char>(good.bytes.begin(), good.bytes.end()));
  ASSERT_NE(bmp, nullptr);
  ASSERT_EQ(bmp->w, good.form.width);
  ASSERT_EQ(bmp->h, good.form.height);
  int wrong = 0;
  for (int y = 0; y < bmp->h; ++y) {
    for (int x = 0; x < bmp->w; ++x) {
      const Rgb c = PatternColour(good.form, x, y);
      wrong += getpixel(bmp, x, y) != makecol(c.r, c.g, c.b);
    }
  }
  EXPECT_EQ(wrong, 0);
  destroy_bitmap(bmp);
}

TEST_F(BmpCheckTest, EveryFormTheLibraryReadsGetsThroughAndLoadsAsDrawn) {
  const auto good = GoodBmps();
  ASSERT_GT(good.size(), 50u);
  for (const NamedBmp& b : good) {
    SCOPED_TRACE(b.name);
    EXPECT_EQ(Problem(b.bytes), "");
    ExpectLoadsAsDrawn(b);
  }
}

TEST_F(BmpCheckTest, TheMaskColourStaysTransparentAfterConversion) {
  BmpForm f;
  f.width = 4;
  f.height = 1;
  for (int bits : {8, 16, 24, 32}) {
    f.bits = bits;
    Write("m.bmp", MakeBmp(f));
    BITMAP* bmp = load_bitmap("m.bmp", nullptr);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(getpixel(bmp, 3, 0), bitmap_mask_color(bmp)) << bits;  // (3 + 0) % 4: magenta
    EXPECT_TRUE(HasInk(bmp));
    destroy_bitmap(bmp);
  }
}

// Each by the one check meant for it: a file refused only by a later check, or for the wrong
// reason, shows that its own check let it through.
TEST_F(BmpCheckTest, EveryHostileOrUnreadableFormIsRefusedForItsOwnReason) {
  for (const NamedBmp& b : BadBmps()) {
    const std::string why = Problem(b.bytes);
    EXPECT_NE(why.find(b.why), std::string::npos) << b.name << ": " << why;
  }
}

TEST_F(BmpCheckTest, RunLengthEdgesInsideTheImageAreAccepted) {
  BmpForm f;
  f.width = 16;
  f.height = 2;
  f.bits = 8;
  f.compression = 1;
  // A run to the row's end, a skip onto the next row's end, an end-of-line, then the end mark.
  const std::string codes = std::string("\x10\x01\x00\x02\x00\x01\x00\x00\x00\x01", 10);
  EXPECT_EQ(Problem(MakeBmp(f, &codes)), "");
  const std::string one_over = std::string("\x11\x01\x00\x01", 4);
  EXPECT_NE(Problem(MakeBmp(f, &one_over)), "");
}

TEST_F(BmpCheckTest, FilesThatAreNotPlainFilesAreRefusedWithoutAHang) {
  EXPECT_EQ(BmpFileProblem("missing.bmp"), "No such file or directory");
  ASSERT_EQ(mkdir("dir.bmp", 0755), 0);
  EXPECT_EQ(BmpFileProblem("dir.bmp"), "not a regular file");
  ASSERT_EQ(mkfifo("pipe.bmp", 0644), 0);
  EXPECT_EQ(BmpFileProblem("pipe.bmp"), "not a regular file");
  { std::ofstream big("big.bmp"); }
  std::filesystem::resize_file("big.bmp", 200u << 20);
  EXPECT_EQ(BmpFileProblem("big.bmp"), "too large for a sprite");
  BmpForm largest;
  largest.width = largest.height = kMaxBmpSide;
  largest.bits = 32;
  Write("largest.bmp", MakeBmp(largest));
  EXPECT_EQ(BmpFileProblem("largest.bmp"), "");
  Write("ball.bmp", GoodBmps().front().bytes);
  EXPECT_EQ(BmpFileProblem("ball.bmp"), "");
}

TEST_F(BmpCheckTest, ASpriteAllOfTheMaskColourHasNoInk) {
  BITMAP* blank = create_bitmap(5, 5);
  clear_to_color(blank, bitmap_mask_color(blank));
  EXPECT_FALSE(HasInk(blank));
  putpixel(blank, 4, 4, makecol(255, 0, 254));
  EXPECT_TRUE(HasInk(blank));
  destroy_bitmap(blank);
}

// What was checked is what is loaded: a file changed after the read has no say.
TEST_F(BmpCheckTest, TheBytesCheckedAreTheBytesLoaded) {
  BmpForm f;
  f.width = 3;
  f.height = 2;
  Write("ball4.bmp", MakeBmp(f));
  std::vector<unsigned char> bytes;
  ASSERT_EQ(BmpFileProblem("ball4.bmp", &bytes), "");
  Write("ball4.bmp", std::string("BM not a picture"));
  std::string why;
  BITMAP* sprite = LoadSprite(bytes, &why);
  ASSERT_NE(sprite, nullptr) << why;
  EXPECT_EQ(sprite->w, 3);
  EXPECT_EQ(getpixel(sprite, 0, 0), makecol(255, 0, 0));
  destroy_bitmap(sprite);
  EXPECT_NE(BmpFileProblem("ball4.bmp", &bytes), "");

  const std::string blank = AllMaskBmp();
  EXPECT_EQ(LoadSprite(std::vector<unsigned char>(blank.begin(), blank.end()), &why), nullptr);
  EXPECT_NE(why.find("mask colour"), std::string::npos);
}

TEST(SpritePlaces, WorkingDirectoryThenTheDataDirectoryThenBesideTheProgram) {
  EXPECT_EQ(SpritePlaces("/opt/ink/bin/inkstrip"),
            (std::vector<std::string>{"ball4.bmp", "/opt/ink/share/inkstrip/ball4.bmp",
                                      "/opt/ink/bin/ball4.bmp"}));
  EXPECT_EQ(SpritePlaces(""), std::vector<std::string>{"ball4.bmp"});
}

}  // namespace
