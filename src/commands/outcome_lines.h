#pragma once

// The log lines with which the commands end, as the window shows them. The faces and the test
// kit wait for these words, so each is written here once.

namespace ccp {

inline constexpr const char* kFileLoadedLine = "File loaded";        // File > Open
inline constexpr const char* kSavedLine = "ok!";                     // File > Save
inline constexpr const char* kWriteErrorLine = "write error!";       // File > Save, not written
inline constexpr const char* kReadCompletedLine = "Read completed";  // Read from pager
inline constexpr const char* kVerifiedLine = "Verify OK !";          // Write to pager, verified
// A pager command that stopped because the user asked it to (Ctrl-C on a terminal): it stops
// where the pager is consistent, after an EEPROM page or a decoder record.
inline constexpr const char* kInterruptedLine = "Interrupted: the pager may be partly written";

}  // namespace ccp
