#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace ccp::cli {

// The operand that stands for standard input or output.
inline bool isStandardStream(const std::string& operand) {
  return operand == "-";
}

// A file operand that may be "-". The window opens and saves files by their paths, so standard
// input or output stands behind a file of a private temporary folder, removed at the end; any
// other operand is the file itself.
class StreamFile {
 public:
  enum class Direction { In, Out };
  StreamFile(const std::string& operand, Direction direction);
  ~StreamFile();
  StreamFile(const StreamFile&) = delete;
  StreamFile& operator=(const StreamFile&) = delete;

  bool standard() const { return standard_; }
  // The path to give the window; empty when no temporary file could be made.
  const std::string& path() const { return path_; }
  // For "-" read: standard input into the file. False when it could not be kept.
  bool takeFrom(std::istream& in) const;
  // For "-" written: the file onto standard output.
  bool giveTo(std::ostream& out) const;

 private:
  bool standard_;
  std::string folder_;
  std::string path_;
};

}  // namespace ccp::cli
