// The program's shell: reads the command line, starts the library and the display, loads the
// ball and writes the handwriting script, or the user's own words, pass after pass until the
// user or a signal stops it; or records one pass with no display.
#include <allegro.h>

#include <cstddef>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cmdline.h"
#include "display.h"
#include "font.h"
#include "lettering.h"
#include "main3.h"
#include "pacing.h"
#include "present.h"
#include "record.h"
#include "requests.h"
#include "safesave.h"
#include "say.h"
#include "screenshot.h"
#include "sheet.h"
#include "sprite.h"
#include "stopping.h"
#include "stroke.h"
#include "textsource.h"
#include "trace.h"
#include "wordpasses.h"

namespace {

// Everything the program reads or checks on disk, taken before the library starts, so that a
// bad file or an unwritable place costs no mode switch and no lost screenshot: the pen, as the
// very bytes that were checked; the user's words and the hand for them; the directory the result
// goes to.
struct Inputs {
  std::string penpath;
  std::vector<unsigned char> pen;
  std::string text;   // empty: the script, or a live feed
  bool feed = false;  // the words come line by line from a feed
  std::vector<Glyph> hand;
};

// A font whose glyphs for the text have no strokes at all would leave nothing to write, and a
// pass with no curve never looks at the user's requests. A feed's lines are looked at as they
// come.
bool ReadHand(const std::string& text, std::vector<Glyph>* glyphs) {
  std::string why = ReadFont(kFontFile, glyphs);
  if (why.empty() && !text.empty() && !Inked(text, *glyphs))
    why = "it has no strokes for any character of the text";
  if (why.empty()) return true;
  Say(std::string("cannot read the handwriting font ") + kFontFile,
      why + " (it comes with Debian's " + kFontPackage + " package)");
  return false;
}

bool ReadWords(const Options& o, Inputs* in) {
  if (!o.textfile.empty()) {
    const TextFile got = ReadTextFile(o.textfile, &in->text);
    in->feed = got == TextFile::kFeed;
    return got != TextFile::kFailed;
  }
  if (!o.textprogram.empty()) return RunTextProgram(o.textprogram, &in->text);
  in->text = o.text;
  return true;
}

// The words are read last, so that a source that can be read only once is not spent on a run
// that cannot start.
bool ReadInputs(const Options& o, Inputs* in) {
  if (!ReadPen(o.sprite, &in->penpath, &in->pen)) return false;
  const std::string& result = o.record.empty() ? o.output : o.record;
  if (const std::string why = result.empty() ? "" : NewFileProblem(result.c_str()); !why.empty()) {
    Say("cannot write " + Quoted(result), why);
    return false;
  }
  if (!ReadWords(o, in)) return false;
  return (in->text.empty() && !in->feed) || ReadHand(in->text, &in->hand);
}

// The timer drives the other two; without the mouse the run could never be pressed, without the
// keyboard never escaped. install_mouse counts the buttons, or is -1 when it finds no mouse; the
// others fail only when the library cannot start their thread.
bool StartInput() {
  const char* what = nullptr;
  const char* why = "the library did not say why (perhaps too little memory)";
  if (install_timer() != 0) {
    what = "cannot start the timer";
  } else if (install_keyboard() != 0) {
    what = "cannot use the keyboard";
  } else if (install_mouse() < 0) {
    what = "cannot use the mouse";
    why = "no mouse driver found";
  }
  if (!what) return true;
  Say(what, allegro_error[0] ? allegro_error : why);
  return false;
}

bool StartUp(const Options& options, const Inputs& in) {
  if (!StartLibrary()) return false;
  CatchStopSignals();
  if (!StartInput()) {
    allegro_exit();
    return false;
  }
  WatchRequests();
  // A stop signal that came while the library started ends the program before any mode switch.
  if (!stopsignal && StartDisplay(options.windowed) && (ball = LoadPen(in.pen, in.penpath)))
    return true;
  allegro_exit();
  return false;
}

// What one pass writes: the script's two words, or the user's own, with a pen of the hand's size
// unless the user chose one.
void (*PassFor(const Options& options, const Inputs& in))() {
  if (in.text.empty() && !in.feed) return WritePass;
  if (BITMAP* pen = options.sprite.empty() ? PenFor(options.hand.size) : nullptr) {
    destroy_bitmap(ball);
    ball = pen;
  }
  WordsPlan plan;
  plan.text = in.text;
  plan.feed = in.feed;
  plan.recording = !options.record.empty();
  plan.command = options.textprogram;
  plan.style = options.hand;
  return WordsPass(plan, in.hand);
}

// The pass loop: pass after pass until a request or a signal stops the writing, which the
// pass under way then runs through without drawing.
void WriteUntilStopped(const Options& options, const Inputs& in) {
  StartTrace();
  void (*pass)() = PassFor(options, in);
  SetPace(options.pace);
  WritePasses(pass);
  EndTrace();
}

// One pass on a memory screen into a GIF, with no display: the script's curves a frame each, a
// text's at a steady rhythm of stamps; or into a video, 30 frames a second of the pass's time. A
// second stop signal waits until the unfinished file is gone.
bool RecordWith(const Options& options, const Inputs& in) {
  RecordPlan plan;
  plan.stampsperframe = in.text.empty() && !in.feed ? kSamples : kTextFrameStamps;
  plan.pace = options.pace;
  plan.half = options.half;
  void (*pass)() = PassFor(options, in);
  BeginSave();
  const bool recorded = RecordPass(pass, options.record, plan);
  EndSave();
  return recorded;
}

// The library comes first here, since it opens no display, so that the signals are caught while
// a large pen is read, loaded and its colours gathered, which the library cannot cut short. Until
// the recording has a file there is nothing to tidy up: a signal ends the program at once.
int Record(const Options& options) {
  if (!StartMemoryScreen()) return 1;
  StopAtOnce(true);
  CatchStopSignals();
  Inputs in;
  bool recorded = false;
  if (ReadInputs(options, &in) && (ball = LoadPen(in.pen, in.penpath))) {
    recorded = RecordWith(options, in);
    destroy_bitmap(ball);
  }
  StopAtOnce(false);
  destroy_bitmap(screen);
  allegro_exit();
  return recorded ? 0 : 1;
}

// Where a scaled screen is shown: a screensaver's window, a given one, or one of our own.
bool StageFor(const Options& options, Stage* stage) {
  stage->windowed = options.windowed;
  stage->window = options.windowid;
  return !options.root || ScreensaverWindow(&stage->window);
}

void ShowThroughHooks(bool takeinput) {
  curvestart = [](const int*, int) { ShowChanges(); };
  stampdrawn = ShowChanges;
  requestpoll = LookAtWindow;
  scroll = MoveSheet;
  pressstart = takeinput ? TakeScreenshot : nullptr;
}

// The writing on a memory screen, shown scaled: filling the display, in a window the user can
// resize, or in a window another program gives, as a screensaver does. Only a screen of our
// own takes presses; a given window's end ends the program as Escape does.
int Show(const Options& options, const Inputs& in) {
  Stage stage;
  if (!StageFor(options, &stage) || !StartMemoryScreen() || !StartSheet()) return 1;
  const bool started = StartShowing(stage);
  CatchStopSignals();
  bool wrote = false;
  if (started && (ball = LoadPen(in.pen, in.penpath))) {
    ShowThroughHooks(stage.window == 0);
    WriteUntilStopped(options, in);
    destroy_bitmap(ball);
    wrote = true;
  }
  StopShowing();
  EndSheet();
  allegro_exit();
  return wrote && !dumpfailed ? 0 : 1;
}

// Throwing std::bad_alloc takes memory too, and the C++ runtime has none of its own put by when
// it started short of it: so some is kept back from the start, and given up to the throw when
// an allocation first fails. Thereafter a failure throws as usual, into what is left of it.
constexpr std::size_t kReserveBytes = 16 * 1024;
void* reserve = nullptr;

void SpendReserve() {
  std::set_new_handler(nullptr);
  std::free(reserve);
  reserve = nullptr;
  throw std::bad_alloc();
}

bool KeepReserve() {
  reserve = std::malloc(kReserveBytes);
  if (!reserve) return false;
  std::set_new_handler(SpendReserve);
  return true;
}

int Go(int argc, char** argv) {
  Options options;
  const int status = ReadCommandLine(argc, argv, &options);
  if (status != kGoOn) return status;
  if (!options.record.empty()) return Record(options);
  Inputs inputs;
  if (!ReadInputs(options, &inputs)) return 1;
  if (!options.output.empty()) dumpfile = options.output;
  if (Scaled(options)) return Show(options, inputs);
  if (!StartUp(options, inputs)) return 1;
  pressstart = TakeScreenshot;
  WriteUntilStopped(options, inputs);
  destroy_bitmap(ball);
  allegro_exit();
  return dumpfailed ? 1 : 0;
}

}  // namespace

// Memory that runs out where nothing nearer could answer for it still ends the program with a
// line and status 1; the library's own exit handler shuts it down.
int main(int argc, char** argv) {
  HoldStopSignals();
  CheckStdoutAtExit();
  KeepStandardStreamsOpen();
  if (!KeepReserve()) {
    Say("cannot go on", "not enough memory");
    return Leave(1);
  }
  try {
    return Leave(Go(argc, argv));
  } catch (const std::bad_alloc&) {
    Say("cannot go on", "not enough memory");
  } catch (const std::exception& e) {
    Say("cannot go on", e.what());
  }
  return Leave(1);
}
END_OF_MAIN()
