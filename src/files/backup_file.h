#pragma once

// Copies of pagers kept before they are written: configuration files named by when they were
// made and by whose pager they hold.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ccp {

inline constexpr std::string_view kBackupExtension = ".eep";

// "<stamp>_SN<serial>_<capcode>.eep"; characters a file system may refuse or misread become
// "_", and a pager without a serial number shows "SNnone".
std::string backupFileName(std::string_view stamp, std::string_view serial,
                           std::string_view capcode);

// Saves the bytes as a new file named `name` in `folder`, made when missing. The file appears
// complete or not at all, and never in the place of another: when the name is taken, even by
// a file made at the same moment, it gets "-2", "-3" and so on before its extension. Run as
// root, a folder that is a symbolic link is refused. The full path, or nothing when the file
// could not be written.
std::optional<std::string> saveNewFile(const std::string& folder, const std::string& name,
                                       std::span<const std::uint8_t> bytes);

}  // namespace ccp
