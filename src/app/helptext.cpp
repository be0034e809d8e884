// The help and the manual page's options, written from the option table, so that an option and
// what it does are said in one place only.
#include "helptext.h"

#include <cctype>
#include <cstdio>

#include "cmdline.h"
#include "font.h"
#include "geometry.h"
#include "lettering.h"
#include "screenshot.h"
#include "sprite.h"
#include "utf8.h"

namespace {

constexpr std::size_t kHelpWidth = 96;   // columns, as wide as the usage
constexpr std::size_t kHelpIndent = 19;  // columns before an option's text

void Replace(std::string* text, const std::string& name, const std::string& by) {
  for (std::size_t at = text->find(name); at != std::string::npos;
       at = text->find(name, at + by.size()))
    text->replace(at, name.size(), by);
}

// Columns a word takes on a terminal: one a character, which the help's characters all are.
std::size_t Columns(const std::string& word) {
  std::size_t columns = 0;
  for (char c : word) columns += !IsContinuation(static_cast<unsigned char>(c));
  return columns;
}

std::string Label(const OptionSpec& spec) {
  std::string label = "  ";
  if (spec.letter) label += std::string("-") + spec.letter + ", ";
  label += std::string("--") + spec.name;
  if (spec.value) label += std::string(" ") + spec.value;
  return label;
}

// The text in lines of at most kHelpWidth columns after the label, each further line indented.
std::string Wrapped(const std::string& label, const std::string& text) {
  std::string out =
      label + (label.size() < kHelpIndent ? std::string(kHelpIndent - label.size(), ' ')
                                          : std::string("  "));
  std::size_t column = Columns(out);
  bool linestart = true;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!linestart && column + 1 + Columns(word) > kHelpWidth) {
      out += "\n" + std::string(kHelpIndent, ' ');
      column = kHelpIndent;
      linestart = true;
    }
    if (!linestart) {
      out += ' ';
      ++column;
    }
    out += word;
    column += Columns(word);
    linestart = false;
    start = end + 1;
  }
  return out + "\n";
}

// A character as roff takes it in running text.
std::string Roff(const std::string& text, std::size_t* i) {
  char32_t code = 0;
  const std::size_t n = Decode(text, *i, &code);
  *i += n ? n : 1;
  if (code == '-') return "\\-";
  if (code == '\\') return "\\e";
  if (code == '\'') return "\\(aq";
  if (n == 1) return std::string(1, static_cast<char>(code));
  char escaped[16];
  std::snprintf(escaped, sizeof escaped, "\\[u%04X]", static_cast<unsigned>(code));
  return escaped;
}

bool StartsOption(const std::string& text, std::size_t i) {
  const bool wordstart = i == 0 || text[i - 1] == ' ' || text[i - 1] == '(';
  return wordstart && text.compare(i, 2, "--") == 0 && i + 2 < text.size() &&
         std::islower(static_cast<unsigned char>(text[i + 2]));
}

// Running text in roff, each sentence on a line of its own as roff wants it, option names bold.
std::string RoffText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (StartsOption(text, i)) {
      out += "\\fB";
      while (i < text.size() &&
             (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '-'))
        out += Roff(text, &i);
      out += "\\fR";
    } else if (text.compare(i, 2, ". ") == 0) {
      out += ".\n";
      i += 2;
    } else {
      out += Roff(text, &i);
    }
  }
  return out + "\n";
}

std::string ManualLabel(const OptionSpec& spec) {
  std::string label = spec.value ? ".BI " : spec.letter ? ".BR " : ".B ";
  if (spec.letter) label += std::string("\\-") + spec.letter + " \", \" ";
  std::size_t i = 0;
  const std::string name = std::string("--") + spec.name;
  while (i < name.size()) label += Roff(name, &i);
  if (spec.value) label += std::string(" \" ") + spec.value + "\"";
  return label + "\n";
}

}  // namespace

std::string Filled(const char* text, bool manual) {
  std::string filled = text;
  Replace(&filled, "{screen}", ScreenSize(manual ? "×" : "x"));
  Replace(&filled, "{pace-range}", PaceRange());
  Replace(&filled, "{sizes}",
          std::to_string(kSmallestSize) + " to " + std::to_string(kLargestSize));
  Replace(&filled, "{default-size}", std::to_string(kDefaultSize));
  Replace(&filled, "{seeds}", "0 to " + std::to_string(kLargestSeed));
  Replace(&filled, "{ball}", kBallFile);
  Replace(&filled, "{dump}", kDumpFile);
  Replace(&filled, "{font}", kFontFile);
  Replace(&filled, "{font-package}", kFontPackage);
  return filled;
}

std::string HelpText() {
  std::string help = Filled(R"(
Writes "Hello" and "world", or your own words, in joined-up handwriting on a strip that scrolls
left, full screen at {screen}, until a mouse button is pressed.

)");
  for (std::size_t i = 0; i < kOptionCount; ++i)
    help += Wrapped(Label(kOptionTable[i]), Filled(kOptionTable[i].help));
  return help + Filled(R"(
Mouse and keys:
  any mouse button  save the screen as {dump} (or the --output file) and end
  Escape            end without saving (so does the window's close button)

Files:
  {ball}  the sprite, looked for in the working directory, then in ../share/inkstrip
             beside the program's own directory, then beside the program
  {dump}   the screenshot, written to the working directory
  {font}  the hand for --text (Debian's {font-package})

Exit status: 0 ended by a press or Escape, a recording made, or the window given by --root or
--window-id gone; 1 could not start, nothing to write from the file or the program, could not
save the screenshot or the recording, or lost the display; 2 a bad command line; 128+N ended
by signal N.
)");
}

std::string ManualOptions() {
  std::string manual;
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    const OptionSpec& spec = kOptionTable[i];
    std::string text = Filled(spec.help, true);
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    text += ".";
    if (spec.manual) text += std::string(" ") + Filled(spec.manual, true);
    manual += ".TP\n" + ManualLabel(spec) + RoffText(text);
  }
  return manual;
}
