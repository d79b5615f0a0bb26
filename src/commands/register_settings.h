#pragma once

// How this station uses the pager register. The window and ccp read the same settings, kept as
// "key = value" lines in "register.conf" in the user's configuration folder:
//
//   register = postgresql://station@server/pagers   (none: register.sqlite in the data folder)
//   station = station-2                             (none: the host name)
//   guard = on                                      (none: on for a shared register)
//   unique-rows = 1,3                               (none: row 1, and rows 1-4 that advance)
//   read-before-write = off
//   when-taken = stop                               (or next-free)
//   allow-unguarded = off
//
// on and off are also yes and no, true and false, in any case. A line of register, guard,
// unique-rows, when-taken or allow-unguarded that cannot be taken (its value, a ':' for the '=',
// its key misspelt), or a station that is not UTF-8, stops every pager command until it is
// mended: falling back to a default there would write unguarded. Other lines that cannot be
// taken are left out. A line is named by its number and key only: its value may hold a password.
//
// A password never belongs here: libpq takes it from ~/.pgpass, PGPASSWORD or a service file.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/layout.h"

namespace ccp {

inline constexpr const char* kRegisterSettingsFileName = "register.conf";

// What a write does when an individual capcode it would give is held by another pager.
enum class WhenTaken { Stop, TakeNextFree };

struct RegisterSettings {
  std::string location;         // empty: this station's own register in the data folder
  std::string station;          // empty: the host name
  std::optional<bool> guard;    // unset: on for a shared register, off for a station's own
  std::vector<int> uniqueRows;  // empty: row 1 and every row 1-4 whose step is not 0
  bool readBeforeWrite = false;
  WhenTaken whenTaken = WhenTaken::Stop;
  bool allowUnguarded = false;  // write unguarded when the register cannot be reached

  bool operator==(const RegisterSettings&) const = default;
};

struct ParsedRegisterSettings {
  RegisterSettings settings;
  std::vector<std::string> problems;  // "line 3: ..." for each line left out
  std::vector<std::string> stops;     // "line 3: guard: ..." for each line that stops commands
};

ParsedRegisterSettings parseRegisterSettings(std::string_view text);
std::string registerSettingsText(const RegisterSettings& settings);

// The settings in the file at `path`; the defaults when there is none. The lines that cannot be
// taken are said in `problems` and `stops`, each after the file's path; a file that is there but
// cannot be read (a folder, no permission) is a stop, with the system's reason.
ParsedRegisterSettings loadRegisterSettings(const std::string& path);
// Replaces the file as a configuration file is replaced: the old one or the new one, never
// half of either. False with errno set when it could not be written.
bool saveRegisterSettings(const std::string& path, const RegisterSettings& settings);

// The rows whose capcodes no two pagers may share on this write: the rows set by hand, or row 1
// and every row that the write's auto-increment steps advance (kAdvancingRows). Ascending.
std::vector<int> individualRows(const RegisterSettings& settings,
                                const std::array<int, kAddressCount>& autoincSteps);

// What a command goes by: where the register is, who this station is, whether the guard is on.
struct RegisterUse {
  std::string location;
  std::string station;
  bool shared = false;
  bool guard = false;
  bool guardForNextFree = false;  // the guard is on only because next-free asks the register
  // Settings that stop every pager command, each named with where it came from ("--register:
  // ...", "PATH: line 3: guard: ..."); none when all could be taken.
  std::vector<std::string> refused{};
};

// The settings resolved: the location given on the command line, else the environment's
// CCP_REGISTER, else the settings' own, else `defaultLocation`; the station from the settings or
// the host name; the guard as set (`guardOverride` first), or on exactly for a shared register,
// and on whenever a taken capcode moves on to the next free one. A location from the command line
// or the environment that names no register is refused, and no register is used.
RegisterUse resolveRegisterUse(const RegisterSettings& settings, std::string_view defaultLocation,
                               std::string_view commandLineLocation,
                               std::string_view environmentLocation, std::string_view hostName,
                               std::optional<bool> guardOverride = {});

// Who a station is when neither its settings nor its machine name it.
inline constexpr const char* kUnnamedStation = "station";

// Where a station's register is, and who the station is, when its settings do not say.
struct StationDefaults {
  std::string dataFolder;  // its own register is register.sqlite here; none without a folder
  std::string hostName = kUnnamedStation;
};

// The settings resolved as resolveRegisterUse() does, against the station's defaults: the one
// place where a face's register and station are decided.
RegisterUse stationRegisterUse(const RegisterSettings& settings, const StationDefaults& defaults,
                               std::string_view commandLineLocation = {},
                               std::string_view environmentLocation = {},
                               std::optional<bool> guardOverride = {});

// The use with the lines of the settings that stop the pager commands first among its refusals.
RegisterUse withStoppingLines(RegisterUse use, const ParsedRegisterSettings& parsed);

// What a face says when its settings stop a pager command; empty when none do.
std::string refusalText(const RegisterUse& use);

// What a face says of a write whose guard next-free turned on; `cause` names next-free as the
// face does ("--next-free").
std::string nextFreeGuardNotice(std::string_view cause);

}  // namespace ccp
