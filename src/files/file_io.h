#pragma once

// Whole-file reads and writes for the file commands.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ccp {

// Up to `limit` bytes from the start of the file. Nothing when the path cannot be read as a
// file: missing, a folder, no permission, or an error while reading.
std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path, std::size_t limit);

// Replaces the file at `path` with `bytes`, or leaves it as it was: the bytes go to a new file
// in the same folder, which takes the old file's place only after it was written, flushed and
// closed without error. A link is followed, so the file it names is replaced. A folder or any
// other non-regular file is never replaced. False when anything failed; no temporary file is
// left behind.
bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace ccp
