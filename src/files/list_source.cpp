#include "files/list_source.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "files/list_csv.h"

namespace ccp {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

ListSource::ListSource(std::streambuf& from) : from_(from), chunk_(kChunk) {}

ListSource::int_type ListSource::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (nulLine_ != 0) {
    throw NotAList("line " + std::to_string(nulLine_) + " holds a NUL byte: a binary file",
                   nulLine_);
  }
  const auto got = static_cast<std::size_t>(from_.sgetn(chunk_.data(), chunk_.size()));
  char* begin = chunk_.data();
  char* end = begin + got;
  if (!started_) {
    started_ = true;
    byteOrderMark_ = std::string_view(begin, got).starts_with(kByteOrderMark);
    if (byteOrderMark_) begin += kByteOrderMark.size();
  }
  char* nul = std::find(begin, end, '\0');
  line_ += static_cast<std::size_t>(std::count(begin, nul, '\n'));
  if (nul != end) {
    nulLine_ = line_;
    if (nul == begin) return underflow();
  }
  setg(begin, begin, nul);
  return begin == nul ? traits_type::eof() : traits_type::to_int_type(*begin);
}

}  // namespace ccp
