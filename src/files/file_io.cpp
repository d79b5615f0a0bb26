#include "files/file_io.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace ccp {

namespace fs = std::filesystem;

namespace {

// The stream says nothing of why; the system call under it left its errno.
std::nullopt_t failed(int error) {
  errno = error != 0 ? error : EIO;
  return std::nullopt;
}

}  // namespace

std::string dialogPath(std::string_view path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(fs::path(path), ec);
  if (ec) return std::string(path);
  fs::path kept;
  for (const fs::path& part : absolute) {
    if (part != "." && !part.empty()) kept /= part;
  }
  return kept.string();
}

void makeParentFolder(const std::string& path) {
  const std::filesystem::path file(path);
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
}

std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path, std::size_t limit) {
  std::error_code ec;
  // A folder opens as a stream on some systems; it is never a file to load.
  if (fs::is_directory(fs::path(path), ec)) return failed(EISDIR);
  errno = 0;
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in.is_open()) return failed(errno);
  std::vector<std::uint8_t> bytes(limit);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(limit));
  if (in.bad()) return failed(errno);  // a short file only sets eof and fail
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace ccp
