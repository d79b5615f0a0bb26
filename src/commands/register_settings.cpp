#include "commands/register_settings.h"

#include <fstream>
#include <sstream>

#include "commands/pager_commands.h"
#include "files/file_io.h"
#include "image/plain_text.h"
#include "register/pager_register.h"
#include "register/record_columns.h"

namespace ccp {

namespace {

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
