#include "commands/register_settings.h"

#include <cerrno>
#include <iterator>
#include <sstream>
#include <system_error>

#include "commands/pager_commands.h"
#include "files/file_input.h"
#include "files/file_io.h"
#include "image/plain_text.h"
#include "register/location_reading.h"
#include "register/pager_register.h"
#include "register/record_columns.h"

namespace ccp {

namespace {

struct Key {
  std::string_view name;
  // Its line must be taken, or no pager command runs: a register or guard that quietly fell back
  // to its default would write capcodes that another pager may hold.
  bool guarding;
};
constexpr Key kKeys[] = {
    {"register", true},       {"station", false},           {"guard", true},
    {"unique-rows", true},    {"read-before-write", false}, {"when-taken", true},
    {"allow-unguarded", true}};

std::optional<bool> onOff(std::string_view value) {
  const std::string word = lowered(value);
  for (std::string_view on : {"on", "yes", "true", "1"})
    if (word == on) return true;
  for (std::string_view off : {"off", "no", "false", "0"})
    if (word == off) return false;
  return std::nullopt;
}

const char* onOffText(bool on) {
  return on ? "on" : "off";
}

std::optional<WhenTaken> whenTaken(std::string_view value) {
  const std::string word = lowered(value);
  if (word == "stop") return WhenTaken::Stop;
  if (word == "next-free") return WhenTaken::TakeNextFree;
  return std::nullopt;
}

constexpr const char* kTakesOnOff = "takes on or off (or yes or no, true or false)";

// Takes one "key = value" of a known key; why not when the value does not fit it (never quoting
// the value, which may hold a password).
std::optional<std::string> take(RegisterSettings& s, std::string_view key, std::string_view value) {
  if (key == "register") {
    const LocationReading reading = readLocation(value);
    if (!reading.engine) return reading.why;
    s.location = value;
  } else if (key == "station") {
    if (!isUtf8(value)) return "not UTF-8 text";
    s.station = value;
  } else if (key == "guard") {
    const auto on = onOff(value);
    if (!on) return kTakesOnOff;
    s.guard = *on;
  } else if (key == "unique-rows") {
    const auto rows = parseRowList(value);
    if (!rows) return "takes rows 1 to 6, such as 1,3";
    s.uniqueRows = *rows;
  } else if (key == "read-before-write" || key == "allow-unguarded") {
    const auto on = onOff(value);
    if (!on) return kTakesOnOff;
    (key == "read-before-write" ? s.readBeforeWrite : s.allowUnguarded) = *on;
  } else if (key == "when-taken") {
    const auto when = whenTaken(value);
    if (!when) return "takes stop or next-free";
    s.whenTaken = *when;
  }
  return std::nullopt;
}

// A key without case, '-', '_' or blanks.
std::string bareKey(std::string_view key) {
  std::string bare;
  for (char c : lowered(key))
    if (c != '-' && c != '_' && c != ' ' && c != '\t') bare += c;
  return bare;
}

// One letter wrong, missing, added, or two swapped, at most.
bool nearlySame(std::string_view a, std::string_view b) {
  if (a.size() < b.size()) std::swap(a, b);
  if (a.size() - b.size() > 1) return false;
  std::size_t i = 0;
  while (i < b.size() && a[i] == b[i]) ++i;
  if (i == b.size()) return true;
  if (a.size() != b.size()) return a.substr(i + 1) == b.substr(i);
  if (a.substr(i + 1) == b.substr(i + 1)) return true;
  return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] &&
         a.substr(i + 2) == b.substr(i + 2);
}

// The key a line's key stands for: itself, or a key it misspells (in another case, with '_' or a
// blank for '-', or a letter wrong).
const Key* meantKey(std::string_view key) {
  for (const Key& known : kKeys)
    if (key == known.name) return &known;
  const std::string bare = bareKey(key);
  for (const Key& known : kKeys)
    if (nearlySame(bare, bareKey(known.name))) return &known;
  return nullptr;
}

// Takes one line; where it cannot, says why in `parsed`, as a line that stops the pager
// commands or one left out.
void takeLine(ParsedRegisterSettings& parsed, int number, std::string_view content) {
  const std::string line = "line " + std::to_string(number) + ": ";
  // A ':' before any '=' is a ':' written for '='; a line without either has its first word as
  // its key, and so has one whose ':' is in a value written without '=' ("register
  // postgresql://...").
  const std::size_t split = content.find_first_of("=:");
  const bool equals = split != std::string_view::npos && content[split] == '=';
  const std::string_view firstWord = trimmed(content.substr(0, content.find_first_of(" \t")));
  const std::string_view key =
      split != std::string_view::npos ? trimmed(content.substr(0, split)) : firstWord;
  const Key* meant = meantKey(key);
  if (meant == nullptr && !equals) meant = meantKey(firstWord);
  if (meant == nullptr) {
    parsed.problems.push_back(line + "not a register setting");
    return;
  }
  std::optional<std::string> why;
  bool stops = meant->guarding;
  if (!equals) {
    why = "its value follows '='";
  } else if (key != meant->name) {
    why = "its key is misspelt";
  } else {
    why = take(parsed.settings, meant->name, trimmed(content.substr(split + 1)));
    stops = stops || meant->name == "station";  // a name that is no text would reach the records
  }
  if (why) {
    (stops ? parsed.stops : parsed.problems)
        .push_back(line + std::string(meant->name) + ": " + *why);
  }
}

}  // namespace

ParsedRegisterSettings parseRegisterSettings(std::string_view text) {
  ParsedRegisterSettings parsed;
  std::istringstream lines{std::string(text)};
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string_view content = trimmed(line);
    if (content.empty() || content.front() == '#') continue;
    takeLine(parsed, number, content);
  }
  return parsed;
}

std::string registerSettingsText(const RegisterSettings& s) {
  std::ostringstream out;
  out << "# The pager register of this station, for the window and ccp alike.\n";
  if (!s.location.empty()) out << "register = " << s.location << '\n';
  if (!s.station.empty()) out << "station = " << s.station << '\n';
  if (s.guard) out << "guard = " << onOffText(*s.guard) << '\n';
  if (!s.uniqueRows.empty()) out << "unique-rows = " << rowListText(s.uniqueRows) << '\n';
  out << "read-before-write = " << onOffText(s.readBeforeWrite) << '\n';
  out << "when-taken = " << (s.whenTaken == WhenTaken::Stop ? "stop" : "next-free") << '\n';
  out << "allow-unguarded = " << onOffText(s.allowUnguarded) << '\n';
  return out.str();
}

ParsedRegisterSettings loadRegisterSettings(const std::string& path) {
  // Only a missing file is the defaults: one that is there but cannot be read (a folder, no
  // permission) may say guard = on, and the defaults could write unguarded.
  FileInput file(path);
  std::string text;
  int error = file.error();
  if (error == ENOENT) return {};
  try {
    if (error == 0) text.assign(std::istreambuf_iterator<char>(file.stream().rdbuf()), {});
  } catch (const std::system_error& failure) {
    error = failure.code().value();
  }
  if (error != 0) {
    ParsedRegisterSettings unread;
    unread.stops.push_back(path + ": cannot be read: " + std::generic_category().message(error));
    return unread;
  }
  ParsedRegisterSettings parsed = parseRegisterSettings(text);
  for (auto* said : {&parsed.problems, &parsed.stops})
    for (std::string& problem : *said) problem = path + ": " + problem;
  return parsed;
}

bool saveRegisterSettings(const std::string& path, const RegisterSettings& settings) {
  makeParentFolder(path);
  const std::string text = registerSettingsText(settings);
  return replaceFile(path,
                     std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<int> individualRows(const RegisterSettings& settings,
                                const std::array<int, kAddressCount>& autoincSteps) {
  if (!settings.uniqueRows.empty()) return settings.uniqueRows;
  std::vector<int> rows = {1};
  for (int row = 2; row <= kAdvancingRows; ++row)
    if (autoincSteps[row - 1] != 0) rows.push_back(row);
  return rows;
}

RegisterUse resolveRegisterUse(const RegisterSettings& settings, std::string_view defaultLocation,
                               std::string_view commandLineLocation,
                               std::string_view environmentLocation, std::string_view hostName,
                               std::optional<bool> guardOverride) {
  RegisterUse use;
  // The settings' own location was read with them; the default is a path.
  const struct {
    std::string_view location;
    const char* setting;  // to be read here, named so
  } places[] = {{commandLineLocation, "--register"},
                {environmentLocation, "CCP_REGISTER"},
                {settings.location, nullptr},
                {defaultLocation, nullptr}};
  for (const auto& place : places) {
    if (place.location.empty()) continue;
    const LocationReading reading = readLocation(place.location);
    if (place.setting != nullptr && !reading.engine) {
      use.refused.push_back(std::string(place.setting) + ": " + reading.why);
      break;
    }
    use.location = place.location;
    use.shared = reading.engine == Engine::PostgreSQL;
    break;
  }
  use.station = settings.station.empty() ? std::string(hostName) : settings.station;
  use.guard = guardOverride.value_or(settings.guard.value_or(use.shared));
  // The next free capcode is the one the register knows to be free: only the guard asks it.
  use.guardForNextFree = !use.guard && settings.whenTaken == WhenTaken::TakeNextFree;
  use.guard = use.guard || use.guardForNextFree;
  return use;
}

RegisterUse withStoppingLines(RegisterUse use, const ParsedRegisterSettings& parsed) {
  use.refused.insert(use.refused.begin(), parsed.stops.begin(), parsed.stops.end());
  return use;
}

std::string refusalText(const RegisterUse& use) {
  return use.refused.empty() ? std::string() : joined(use.refused, "; ") + "; nothing done";
}

std::string nextFreeGuardNotice(std::string_view cause) {
  return "the guard is on for this write: " + std::string(cause) +
         " takes the next free capcode from the register";
}

RegisterUse stationRegisterUse(const RegisterSettings& settings, const StationDefaults& defaults,
                               std::string_view commandLineLocation,
                               std::string_view environmentLocation,
                               std::optional<bool> guardOverride) {
  // Without a data folder a station has no register of its own, rather than one in the working
  // folder.
  const std::string ownRegister =
      defaults.dataFolder.empty() ? std::string() : defaultRegisterLocation(defaults.dataFolder);
  return resolveRegisterUse(settings, ownRegister, commandLineLocation, environmentLocation,
                            defaults.hostName, guardOverride);
}

}  // namespace ccp
