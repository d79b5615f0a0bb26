#include "register/register_settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/file_io.h"
#include "image/joined.h"

namespace ccp {

namespace {

constexpr int kAdvancingRows = 4;  // auto-increment moves rows 1-4 only

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<bool> onOff(std::string_view value) {
  for (std::string_view on : {"on", "yes", "true", "1"})
    if (value == on) return true;
  for (std::string_view off : {"off", "no", "false", "0"})
    if (value == off) return false;
  return std::nullopt;
}

const char* onOffText(bool on) {
  return on ? "on" : "off";
}

std::optional<WhenTaken> whenTaken(std::string_view value) {
  if (value == "stop") return WhenTaken::Stop;
  if (value == "next-free") return WhenTaken::TakeNextFree;
  return std::nullopt;
}

// Takes one "key = value"; false when the key is unknown or the value does not fit it.
bool take(RegisterSettings& s, std::string_view key, std::string_view value) {
  if (key == "register") {
    s.location = value;
  } else if (key == "station") {
    s.station = value;
  } else if (key == "guard") {
    const auto on = onOff(value);
    if (!on) return false;
    s.guard = *on;
  } else if (key == "unique-rows") {
    const auto rows = parseRowList(value);
    if (!rows) return false;
    s.uniqueRows = *rows;
  } else if (key == "read-before-write" || key == "allow-unguarded") {
    const auto on = onOff(value);
    if (!on) return false;
    (key == "read-before-write" ? s.readBeforeWrite : s.allowUnguarded) = *on;
  } else if (key == "when-taken") {
    const auto when = whenTaken(value);
    if (!when) return false;
    s.whenTaken = *when;
  } else {
    return false;
  }
  return true;
}

}  // namespace

ParsedRegisterSettings parseRegisterSettings(std::string_view text) {
  ParsedRegisterSettings parsed;
  std::istringstream lines{std::string(text)};
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string_view content = trimmed(line);
    if (content.empty() || content.front() == '#') continue;
    const auto equals = content.find('=');
    const bool taken = equals != std::string_view::npos &&
                       take(parsed.settings, trimmed(content.substr(0, equals)),
                            trimmed(content.substr(equals + 1)));
    if (!taken) {
      parsed.problems.push_back("line " + std::to_string(number) + ": '" + std::string(content) +
                                "' is not a register setting");
    }
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
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return parseRegisterSettings(text.str());
}

bool saveRegisterSettings(const std::string& path, const RegisterSettings& settings) {
  const std::filesystem::path file(path);
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  const std::string text = registerSettingsText(settings);
  return replaceFile(path,
                     std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool isSharedRegister(std::string_view location) {
  return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

std::vector<int> individualRows(const RegisterSettings& settings,
                                const std::array<int, kAddressCount>& autoincSteps) {
  if (!settings.uniqueRows.empty()) return settings.uniqueRows;
  std::vector<int> rows = {1};
  for (int row = 2; row <= kAdvancingRows; ++row)
    if (autoincSteps[row - 1] != 0) rows.push_back(row);
  return rows;
}

std::optional<std::vector<int>> parseRowList(std::string_view text) {
  std::vector<int> rows;
  while (!text.empty()) {
    const auto comma = text.find(',');
    const std::string_view item = trimmed(text.substr(0, comma));
    int row = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), row);
    if (item.empty() || error != std::errc() || end != item.data() + item.size() || row < 1 ||
        row > kAddressCount) {
      return std::nullopt;
    }
    rows.push_back(row);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (rows.empty()) return std::nullopt;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

std::string rowListText(const std::vector<int>& rows) {
  std::vector<std::string> texts;
  for (int row : rows) {
    if (row >= 1 && row <= kAddressCount) texts.push_back(std::to_string(row));
  }
  return joined(texts, ",");
}

RegisterUse resolveRegisterUse(const RegisterSettings& settings, std::string_view defaultLocation,
                               std::string_view commandLineLocation,
                               std::string_view environmentLocation, std::string_view hostName,
                               std::optional<bool> guardOverride) {
  RegisterUse use;
  for (std::string_view location : {commandLineLocation, environmentLocation,
                                    std::string_view(settings.location), defaultLocation}) {
    if (location.empty()) continue;
    use.location = location;
    break;
  }
  use.station = settings.station.empty() ? std::string(hostName) : settings.station;
  use.shared = isSharedRegister(use.location);
  use.guard = guardOverride.value_or(settings.guard.value_or(use.shared));
  return use;
}

}  // namespace ccp
