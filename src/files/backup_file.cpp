#include "files/backup_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "files/file_calls.h"
#include "files/new_file.h"

namespace ccp {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxNameTries = 1000;

struct FolderHandle {
  int fd = -1;
  ~FolderHandle() {
    if (fd >= 0) (void)activeFileCalls().close(fd);
  }
};

// "name-2.eep" for "name.eep".
std::string numberedName(const std::string& name, int n) {
  const fs::path path(name);
  return path.stem().string() + "-" + std::to_string(n) + path.extension().string();
}

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
  FileCalls& calls = activeFileCalls();
  std::error_code ec;
  fs::create_directories(folder, ec);
  // Root follows no symbolic link at the folder: its files go to the folder itself, reached
  // through its descriptor, whoever may rename things in the folder above.
  fs::path within = folder;
  FolderHandle handle;
  if (::geteuid() == 0) {
    handle.fd = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
    if (handle.fd < 0) return std::nullopt;
    within = "/proc/self/fd/" + std::to_string(handle.fd);
  }
  std::optional<NewFile> file = NewFile::create(calls, within / name, kNewFileMode);
  if (!file || !file->write(bytes)) return std::nullopt;
  // The name is taken only where no file has it, so two backups made at once never share one.
  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string taken = n == 1 ? name : numberedName(name, n);
    if (!file->linkAs(within / taken)) {
      if (errno == EEXIST) continue;
      return std::nullopt;
    }
    if (!file->close()) {
      (void)calls.unlink((within / taken).c_str());
      return std::nullopt;
    }
    syncFolder(calls, within);
    return (fs::path(folder) / taken).string();
  }
  return std::nullopt;
}

}  // namespace ccp
