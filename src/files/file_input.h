#pragma once

// A file read as a stream from its start, a buffer at a time, whatever it is (a FIFO too):
// a failure to read it is thrown with the system's reason, never taken for its end.

#include <istream>
#include <streambuf>
#include <string>
#include <system_error>

namespace ccp {

class FileInput {
 public:
  // Opens the file; error() says why it could not be.
  explicit FileInput(const std::string& path);
  ~FileInput();
  FileInput(const FileInput&) = delete;
  FileInput& operator=(const FileInput&) = delete;

  // 0, or the errno value of the failure to open it.
  int error() const { return error_; }
  // The file's bytes. A read that fails (a folder, an I/O error) throws std::system_error with
  // its errno value out of the stream's buffer: reading it by the buffer (sgetc, sbumpc) hands
  // that on, an istream's own reads would swallow it.
  std::istream& stream() { return stream_; }

 private:
  class Buffer : public std::streambuf {
   public:
    int fd = -1;

   protected:
    int_type underflow() override;

   private:
    char bytes_[64 * 1024];
  };

  int error_ = 0;
  Buffer buffer_;
  std::istream stream_{&buffer_};
};

}  // namespace ccp
