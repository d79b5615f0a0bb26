#include "files/backup_file.h"

#include <filesystem>

#include "files/file_io.h"

namespace ccp {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxNameTries = 1000;

// Letters, digits and "-" stay; anything else (separators, blanks, dots, control and
// non-ASCII bytes) becomes "_".
std::string safeNamePart(std::string_view text) {
  std::string safe(text);
  for (char& c : safe) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!plain && c != '-') c = '_';
  }
  return safe;
}

}  // namespace

std::string backupFileName(std::string_view stamp, std::string_view serial,
                           std::string_view capcode) {
  const std::string serialPart = serial.empty() ? "none" : safeNamePart(serial);
  return safeNamePart(stamp) + "_SN" + serialPart + "_" + safeNamePart(capcode) +
         std::string(kBackupExtension);
}

std::optional<std::string> saveNewFile(const std::string& folder, const std::string& name,
                                       std::span<const std::uint8_t> bytes) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  const fs::path first = fs::path(folder) / name;
  for (int n = 1; n <= kMaxNameTries; ++n) {
    fs::path path = first;
    if (n > 1) {
      path.replace_filename(first.stem().string() + "-" + std::to_string(n) +
                            first.extension().string());
    }
    const fs::file_status status = fs::symlink_status(path, ec);
    if (status.type() != fs::file_type::not_found) {
      if (ec) return std::nullopt;  // cannot tell whether the name is free
      continue;
    }
    if (!replaceFile(path.string(), bytes)) return std::nullopt;
    return path.string();
  }
  return std::nullopt;
}

}  // namespace ccp
