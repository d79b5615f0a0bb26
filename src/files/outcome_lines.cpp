#include "files/outcome_lines.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

namespace ccp {

namespace {

bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The text has the shape, "#" standing for a digit: "####-##-## ##:##".
bool shaped(std::string_view text, std::string_view shape) {
  return text.size() == shape.size() &&
         std::equal(shape.begin(), shape.end(), text.begin(),
                    [](char s, char t) { return s == '#' ? isDigit(t) : s == t; });
}

constexpr std::string_view kMinuteShape = "####-##-## ##:##";  // as the guard says a time
constexpr std::string_view kClockShape = "##:##";              // the same day's time

// The line has the pattern's shape: its words as they stand, and in braces what varies:
// {n} a number, {minute} a date and time to the minute, {clock} a time with or without its date,
// {text} any text (a station's name, a field's text).
bool matches(std::string_view pattern, std::string_view line) {
  const auto open = pattern.find('{');
  const std::string_view words = pattern.substr(0, open);
  if (!line.starts_with(words)) return false;
  line.remove_prefix(words.size());
  if (open == std::string_view::npos) return line.empty();
  const auto close = pattern.find('}', open);
  const std::string_view hole = pattern.substr(open + 1, close - open - 1);
  const std::string_view rest = pattern.substr(close + 1);
  if (hole == "n") {
    const auto digits = std::find_if_not(line.begin(), line.end(), isDigit) - line.begin();
    return digits > 0 && matches(rest, line.substr(digits));
  }
  if (hole == "text") {
    for (std::size_t taken = 0; taken <= line.size(); ++taken) {
      if (matches(rest, line.substr(taken))) return true;
    }
    return false;
  }
  std::vector<std::string_view> shapes = {kMinuteShape};
  if (hole == "clock") shapes.push_back(kClockShape);
  return std::any_of(shapes.begin(), shapes.end(), [&](std::string_view shape) {
    return shaped(line.substr(0, shape.size()), shape) && matches(rest, line.substr(shape.size()));
  });
}

// The error that abandons a command when a field's text is no number: the text, as it was, in
// quotes.
constexpr std::array kAbandonedPatterns = {
    "'{text}' is not a valid integer value",
    "'{text}' is not a valid floating point value",
    "'{text}' is not a valid channel frequency",
};

// Why the guard refused a row: the hold in its way.
std::vector<std::string> guardPatterns() {
  std::vector<std::string> patterns = {
      kUncheckedCapcodesLine,
      "Capcode {n} is in row {n} and row {n}: an individual capcode goes in one row only",
      "Capcode {n} is being written since {minute} at {text}",
      "Capcode {n} was left by a write at {text} that ended at {clock}: the pager may hold it",
      "This pager is row {n}, done at {clock} at {text}: nothing written",
      "This pager's serial number is {text}, not {text} as scanned: nothing written",
  };
  for (const char* given :
       {"in a write that failed on {minute} at {text}", "read from a pager on {minute} at {text}",
        "written on {minute} at {text}"}) {
    const std::string text = given;
    patterns.push_back("Capcode {n} was " + text);
    patterns.push_back("Capcode {n} is a group capcode of {n} pager (" + text + ")");
    patterns.push_back("Capcode {n} is a group capcode of {n} pagers (" + text + ")");
  }
  return patterns;
}

}  // namespace

std::string listPagerDoneLine(int row, std::string_view clock, std::string_view station) {
  return "This pager is row " + std::to_string(row) + ", done at " + std::string(clock) + " at " +
         std::string(station) + ": nothing written";
}

std::string listSerialMismatchLine(std::string_view serial, std::string_view scanned) {
  return "This pager's serial number is " + std::string(serial) + ", not " + std::string(scanned) +
         " as scanned: nothing written";
}

bool isCommandOutcome(std::string_view command, std::string_view outcome) {
  const bool read = command == kReadCommand;
  if (!read && command != kWriteCommand) return false;
  // Either command reads the pager first (a write in the customer edition).
  for (std::string_view line :
       {kEepromReadErrorLine, kChecksumErrorLine, kModelMismatchLine, kInterruptedLine}) {
    if (outcome == line) return true;
  }
  if (std::any_of(kAbandonedPatterns.begin(), kAbandonedPatterns.end(),
                  [outcome](std::string_view pattern) { return matches(pattern, outcome); })) {
    return true;
  }
  if (read) return outcome == kReadCompletedLine || outcome == kDecoderReadErrorLine;
  for (std::string_view line : {kVerifiedLine, kDecoderWriteFailedLine, kDecoderVerifyFailedLine,
                                kEepromVerifyFailedLine, kEepromNotWrittenLine}) {
    if (outcome == line) return true;
  }
  static const std::vector<std::string> guard = guardPatterns();
  return std::any_of(guard.begin(), guard.end(),
                     [outcome](const std::string& pattern) { return matches(pattern, outcome); });
}

}  // namespace ccp
