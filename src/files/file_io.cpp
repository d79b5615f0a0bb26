#include "files/file_io.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace ccp {

namespace fs = std::filesystem;

std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path, std::size_t limit) {
  std::error_code ec;
  // A folder opens as a stream on some systems; it is never a file to load.
  if (fs::is_directory(fs::path(path), ec)) return std::nullopt;
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in.is_open()) return std::nullopt;
  std::vector<std::uint8_t> bytes(limit);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(limit));
  if (in.bad()) return std::nullopt;  // a short file only sets eof and fail
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

namespace {

// Creates a file of a name nobody uses next to the target ("x" mode fails on an existing name).
std::FILE* createTemporary(const fs::path& target, fs::path& temp) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = target;
    temp += ".tmp" + std::to_string(random() % 1000000);
    errno = 0;
    if (std::FILE* file = std::fopen(temp.string().c_str(), "wbx")) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool writeAndClose(std::FILE* file, std::span<const std::uint8_t> bytes) {
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace

bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::error_code ec;
  fs::path target(path);
  const fs::file_status status = fs::status(target, ec);
  const bool exists = status.type() != fs::file_type::not_found;
  if (exists) {
    if (status.type() != fs::file_type::regular) return false;  // also: status unknown
    target = fs::canonical(target, ec);
    if (ec) return false;
  }
  if (!target.has_filename()) return false;

  fs::path temp;
  std::FILE* file = createTemporary(target, temp);
  if (file == nullptr) return false;
  bool ok = writeAndClose(file, bytes);
  if (ok && exists) fs::permissions(temp, status.permissions(), ec);  // best effort
  if (ok) {
    fs::rename(temp, target, ec);
    ok = !ec;
  }
  if (!ok) fs::remove(temp, ec);
  return ok;
}

}  // namespace ccp
