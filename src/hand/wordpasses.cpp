// The passes that write the user's own words: a text pass after pass, a program's words asked
// for again before each pass, or a live feed written line by line as it comes.
#include "wordpasses.h"

#include "letters.h"
#include "main3.h"
#include "say.h"
#include "stopping.h"
#include "stroke.h"
#include "textsource.h"

namespace {

// A resting pen moves the strip this many stamps at a time, looking for news between steps.
constexpr int kRestStamps = 4;

const std::vector<Glyph>* handglyphs = nullptr;
WordsPlan words;
bool firstpass = true;

// Waiting for news, the pen rests and the strip moves on; a press or Escape stops the wait.
bool RestWhileWaiting() {
  RestAWhile(kRestStamps);
  return !escape;
}

void WriteFeedLine(const std::string& line) {
  if (Inked(line, *handglyphs)) {
    WriteLineOnce(line, *handglyphs, ball->w, ball->h, words.style);
  } else {
    Say("skipped " + Quoted(line), "the font has no strokes for any of its characters");
  }
}

// On the screen a feed is followed step by step, each step a line written or a short rest.
void FeedPass() {
  std::string line;
  if (NextFeedLine(kWaitStep, &line) == FeedNews::kLine) {
    WriteFeedLine(line);
  } else {
    RestAWhile(kRestStamps);
  }
}

// A recording of a feed holds its lines until it ends; the time spent waiting for them is not
// recorded, as a recording is timed by its stamps, not by the clock.
void RecordFeedPass() {
  std::string line;
  FeedNews news;
  while (!escape && (news = NextFeedLine(kWaitStep, &line)) != FeedNews::kEnded && !stopsignal)
    if (news == FeedNews::kLine) WriteFeedLine(line);
}

// The program ran once before the start; it runs again before every later pass. A run that gives
// nothing has said why, and the last words are written again. After a stop the pass still runs,
// without drawing, for its first curve is where the stop is taken.
void ProgramPass() {
  std::string given;
  if (!firstpass && RunTextProgram(words.command, &given, RestWhileWaiting) &&
      Inked(given, *handglyphs))
    SetText(given, *handglyphs, ball->w, ball->h, words.style);
  firstpass = false;
  WriteTextPass();
}

}  // namespace

void (*WordsPass(const WordsPlan& plan, const std::vector<Glyph>& glyphs))() {
  handglyphs = &glyphs;
  words = plan;
  firstpass = true;
  if (plan.feed) return plan.recording ? RecordFeedPass : FeedPass;
  SetText(plan.text, glyphs, ball->w, ball->h, plan.style);
  return plan.command.empty() ? WriteTextPass : ProgramPass;
}
