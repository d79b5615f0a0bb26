#pragma once

// The bytes of a list as its reader takes them: without a UTF-8 byte-order mark at its start,
// and never past a NUL byte, which tells a binary file.

#include <cstddef>
#include <streambuf>
#include <vector>

namespace ccp {

class ListSource : public std::streambuf {
 public:
  explicit ListSource(std::streambuf& from);

  // The file began with a byte-order mark (known once the first byte is asked for).
  bool byteOrderMark() const { return byteOrderMark_; }

 protected:
  // Reads on in chunks. At a NUL byte: NotAList, naming its line, once the bytes before it are
  // taken.
  int_type underflow() override;

 private:
  std::streambuf& from_;
  std::vector<char> chunk_;
  bool started_ = false;
  bool byteOrderMark_ = false;
  std::size_t line_ = 1;     // of the next byte read from the file
  std::size_t nulLine_ = 0;  // the line of a NUL that ended the last chunk; 0: none
};

}  // namespace ccp
