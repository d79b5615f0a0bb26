#pragma once

// Whole-file reads and writes for the file commands.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ccp {

class FileCalls;

// The path as a file dialog gives it: absolute, without "." parts and repeated separators. A
// ".." stays for the system to follow, so "link/../x" is the "x" beside the folder the link
// leads to, as the shell takes it.
std::string dialogPath(std::string_view path);

// Makes the folder that the file at `path` goes in, with the folders above it, where they are
// missing. A folder that cannot be made shows when the file cannot be written or opened.
void makeParentFolder(const std::string& path);

// Up to `limit` bytes from the start of the file. Nothing when the path cannot be read as a
// file: missing, a folder, no permission, or an error while reading; errno then says why.
std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path, std::size_t limit);

// Replaces the file at `path` with `bytes`. The bytes go to a new file in the same folder (an
// unnamed one where the file system allows it), which takes the old file's place only after it
// was written, flushed to the disk and closed without error, with the old file's mode (and
// owner where the system allows); the folder is flushed after the rename. So a failure, a kill
// or a power cut leaves the old file or the new one, and a temporary file that a killed save
// left beside the target is removed by the next save of it. A new file gets the mode the
// user's umask gives. A link is followed: the file it names is replaced. The path is used as
// given: "link/../x" is the "x" beside the folder the link leads to.
//
// Refused, the file untouched: a folder or any other non-regular file, and an existing file
// the user may not write. Written in place, where no rename can do it: a file with more than
// one hard link, so every name keeps seeing it, and a file in a folder where the user may not
// create a file. The new bytes are then written over the old ones before the file is cut to
// their length, so a kill leaves the old contents or the new ones (followed by what the old
// file held past their end, when it was longer).
// False when anything failed, with errno saying why; no temporary file is left behind.
bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes);
// The same through the given system calls.
bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes, FileCalls& calls);

// Whether replaceFile() would take `path` before any byte is ready: 0, or the errno value of
// its refusal (EISDIR for a folder, EACCES for a file or a folder the user may not write,
// ENOENT for a missing folder).
int replaceRefusal(const std::string& path);

}  // namespace ccp
