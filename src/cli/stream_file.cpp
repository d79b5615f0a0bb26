#include "cli/stream_file.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace ccp::cli {

namespace fs = std::filesystem;

StreamFile::StreamFile(const std::string& operand, Direction direction)
    : standard_(isStandardStream(operand)) {
  if (!standard_) {
    path_ = operand;
    return;
  }
  std::error_code ec;
  std::string pattern = (fs::temp_directory_path(ec) / "ccp-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return;
  folder_ = pattern;
  path_ = folder_ + (direction == Direction::In ? "/stdin.eep" : "/stdout.eep");
}

StreamFile::~StreamFile() {
  std::error_code ec;
  if (!folder_.empty()) fs::remove_all(folder_, ec);
}

bool StreamFile::takeFrom(std::istream& in) const {
  if (path_.empty()) return false;
  std::ofstream file(path_, std::ios::binary);
  std::copy(std::istreambuf_iterator<char>(in), {}, std::ostreambuf_iterator<char>(file));
  file.close();
  return file.good() && !in.bad();
}

bool StreamFile::giveTo(std::ostream& out) const {
  std::ifstream file(path_, std::ios::binary);
  std::copy(std::istreambuf_iterator<char>(file), {}, std::ostreambuf_iterator<char>(out));
  out.flush();
  return !file.bad() && out.good();
}

}  // namespace ccp::cli
