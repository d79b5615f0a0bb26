#pragma once

// Whole-file reads and writes for the file commands.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ccp {

class FileCalls;

// Up to `limit` bytes from the start of the file. Nothing when the path cannot be read as a
// file: missing, a folder, no permission, or an error while reading; errno then says why.
std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path, std::size_t limit);

// Replaces the file at `path` with `bytes`. The bytes go to a new file in the same folder,
// which takes the old file's place only after it was written, flushed to the disk and closed
// without error, with the old file's mode (and owner where the system allows); the folder is
// flushed after the rename. So a failure or a power cut leaves the old file or the new one. A
// new file gets the mode the user's umask gives. A link is followed: the file it names is
// replaced.
//
// Refused, the file untouched: a folder or any other non-regular file, and an existing file
// the user may not write. Written in place, as a plain write would, where no rename can do it:
// a file with more than one hard link, so every name keeps seeing it, and a file in a folder
// where the user may not create a file; only a complete write succeeds there.
// False when anything failed, with errno saying why; no temporary file is left behind.
bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes);
// The same through the given system calls.
bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes, FileCalls& calls);

// Whether replaceFile() would take `path` before any byte is ready: 0, or the errno value of
// its refusal (EISDIR for a folder, EACCES for a file or a folder the user may not write,
// ENOENT for a missing folder).
int replaceRefusal(const std::string& path);

}  // namespace ccp
