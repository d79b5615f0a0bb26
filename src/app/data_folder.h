#pragma once

// Where the program keeps what it records of the pagers (the journal, the backups), the same
// folder for the window and the command line.

#include <string>
#include <string_view>

namespace ccp {

// The names the window gives itself; Qt derives the data and settings folders from them.
inline constexpr std::string_view kOrganisationName = "capcode-programmer";
inline constexpr std::string_view kApplicationName = "capcode-programmer";

// The data folder of a program so named on Linux, by the XDG rules: $XDG_DATA_HOME when it is
// an absolute path, else $HOME/.local/share; then "/<organisation>" when there is one, then
// "/<application>". Empty when neither names an absolute folder: the program then keeps no
// data rather than writing under "/". Unset variables are given as empty.
std::string appDataFolder(std::string_view xdgDataHome, std::string_view home,
                          std::string_view organisation, std::string_view application);

// This program's data folder, from the environment: for the window and the command line alike,
// $XDG_DATA_HOME/capcode-programmer/capcode-programmer or
// ~/.local/share/capcode-programmer/capcode-programmer.
std::string userDataFolder();

// The configuration folder of a program so named, by the same rules: $XDG_CONFIG_HOME when
// absolute, else $HOME/.config; then "/<organisation>". Empty when neither names an absolute
// folder.
std::string appConfigFolder(std::string_view xdgConfigHome, std::string_view home,
                            std::string_view organisation);
// This program's configuration folder, which the window's settings share, from the environment.
std::string userConfigFolder();

// Where the simulated Programmer keeps its pager between runs, in the data folder; empty
// without one, so that each run starts with a new pager.
inline constexpr std::string_view kSimulatedPagerFileName = "simulated-pager.eep";
std::string simulatedPagerFile();
// Where the simulated Programmer keeps each new pager it was given, a file each: a list tried
// without a pager ("simulated-pagers" in the data folder).
inline constexpr std::string_view kSimulatedPagersFolderName = "simulated-pagers";
std::string simulatedPagersFolder();

}  // namespace ccp
