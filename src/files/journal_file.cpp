#include "files/journal_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>

#include "files/file_calls.h"
#include "files/file_io.h"
#include "files/new_file.h"

namespace ccp {

namespace fs = std::filesystem;

namespace {

// The last byte of the file, or an error.
int lastByte(FileCalls& calls, int fd, off_t size, char& last) {
  const ssize_t n = calls.pread(fd, &last, 1, size - 1);
  if (n == 1) return 0;
  return n == 0 ? EIO : errno;
}

int appendTo(FileCalls& calls, int fd, std::string_view header, std::string_view record) {
  struct stat info {};
  if (calls.fstat(fd, &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) return kNotARegularFile;
  // The programs that append hold the lock, so a record taken back takes no other with it.
  if (::flock(fd, LOCK_EX) != 0 || calls.fstat(fd, &info) != 0) return errno;
  const off_t size = info.st_size;
  char last = '\n';
  if (size > 0) {
    if (const int error = lastByte(calls, fd, size, last)) return error;
  }
  const std::string_view lead = size == 0 ? header : last == '\n' ? "" : "\n";
  if (writeAll(calls, fd, lead) && writeAll(calls, fd, record) && calls.fsync(fd) == 0) return 0;
  const int error = errno;
  (void)calls.ftruncate(fd, size);
  return error;
}

std::atomic<const PendingRecord*> pending{nullptr};
static_assert(std::atomic<const PendingRecord*>::is_always_lock_free);

// A journal that is not there yet appears with its header, whole, or not at all: of two
// programs that start it at once, one takes the name and the other finds it there.
int startJournal(FileCalls& calls, const std::string& path, std::string_view header) {
  const fs::path file(path);
  makeParentFolder(path);
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) return 0;  // there: the append judges what it is
  if (errno != ENOENT) return errno;
  std::optional<NewFile> created = NewFile::create(calls, file, kNewFileMode);
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(header.data()), header.size());
  if (!created || !created->write(bytes)) return errno;
  if (!created->linkAs(file)) return errno == EEXIST ? 0 : errno;
  syncFolder(calls, file.parent_path());
  return 0;
}

int appendToJournal(const std::string& path, std::string_view header, std::string_view record) {
  FileCalls& calls = activeFileCalls();
  const int error = startJournal(calls, path, header);
  return error != 0 ? error : appendCsvText(path.c_str(), header, record, calls);
}

}  // namespace

std::string appendFailure(int error) {
  if (error == kNotARegularFile) return "not a regular file";
  return std::generic_category().message(error);
}

int appendCsvText(const char* path, std::string_view header, std::string_view record,
                  FileCalls& calls) noexcept {
  const int noFollow = ::geteuid() == 0 ? O_NOFOLLOW : 0;
  // A FIFO would hold a blocking open until something read it.
  const int fd = calls.open(path, O_RDWR | O_APPEND | O_NONBLOCK | O_CLOEXEC | noFollow, 0);
  if (fd < 0) return errno;
  const int error = appendTo(calls, fd, header, record);
  const bool closed = calls.close(fd) == 0;
  return error != 0 ? error : closed ? 0 : errno;
}

PendingRecord::PendingRecord(std::string path, const std::vector<std::string>& header,
                             const std::vector<std::string>& fields)
    : path_(std::move(path)),
      folder_(fs::path(path_).parent_path()),
      header_(csvRecord(header)),
      record_(csvRecord(fields)) {
  makeParentFolder(path_);  // a handler can make a file, not a folder chain
  pending.store(this);
}

PendingRecord::~PendingRecord() {
  withdraw();
}

void PendingRecord::withdraw() noexcept {
  const PendingRecord* self = this;
  pending.compare_exchange_strong(self, nullptr);  // unless another took its place
}

int PendingRecord::append() {
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  withdraw();
  const int error = appendToJournal(path_, header_, record_);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return error;
}

void appendPendingRecord() noexcept {
  const PendingRecord* record = pending.load();
  if (record == nullptr) return;
  FileCalls& calls = activeFileCalls();
  // A missing journal is made empty, never through a symbolic link (O_EXCL); the append gives
  // it its header as it gives one to any empty journal.
  const int fd =
      calls.open(record->path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (fd >= 0) {
    (void)calls.close(fd);
    syncFolder(calls, record->folder_);
  }
  (void)appendCsvText(record->path_.c_str(), record->header_, record->record_, calls);
}

}  // namespace ccp
