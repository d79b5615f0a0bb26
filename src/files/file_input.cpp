#include "files/file_input.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace ccp {

FileInput::FileInput(const std::string& path) {
  buffer_.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (buffer_.fd < 0) error_ = errno;
}

FileInput::~FileInput() {
  if (buffer_.fd >= 0) ::close(buffer_.fd);
}

FileInput::Buffer::int_type FileInput::Buffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (fd < 0) return traits_type::eof();
  ssize_t got = 0;
  do got = ::read(fd, bytes_, sizeof bytes_);
  while (got < 0 && errno == EINTR);
  if (got < 0) throw std::system_error(errno, std::generic_category());
  if (got == 0) return traits_type::eof();
  setg(bytes_, bytes_, bytes_ + got);
  return traits_type::to_int_type(*gptr());
}

}  // namespace ccp
