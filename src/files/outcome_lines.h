#pragma once

// The log lines with which the commands end, as the window shows them and the records keep
// them. The faces, the test kit and the register (which reads what a pager has from them) go by
// these words, so each is written here once.

#include <string>
#include <string_view>

namespace ccp {

inline constexpr const char* kFileLoadedLine = "File loaded";        // File > Open
inline constexpr const char* kSavedLine = "ok!";                     // File > Save
inline constexpr const char* kWriteErrorLine = "write error!";       // File > Save, not written
inline constexpr const char* kReadCompletedLine = "Read completed";  // Read from pager
inline constexpr const char* kVerifiedLine = "Verify OK !";          // Write to pager, verified
// Write to pager, failed once the decoder was being written: the pager may be partly written.
inline constexpr const char* kDecoderWriteFailedLine = "Decoder program error!";
inline constexpr const char* kDecoderVerifyFailedLine = "Decoder verify fail!";
inline constexpr const char* kEepromVerifyFailedLine = "Verify fail !";
inline constexpr const char* kEepromNotWrittenLine = "Pager can't be written";
// A pager command that stopped because the user asked it to (Ctrl-C on a terminal): it stops
// where the pager is consistent, after an EEPROM page or a decoder record.
inline constexpr const char* kInterruptedLine = "Interrupted: the pager may be partly written";

// Read from pager, and the read with which a customer's write begins, failed: nothing written.
inline constexpr const char* kDecoderReadErrorLine = "Decoder Read error";
inline constexpr const char* kEepromReadErrorLine = "EEP read error";
inline constexpr const char* kChecksumErrorLine = "Pager Read error, please check the connection.";
inline constexpr const char* kModelMismatchLine = "Model not match!!!";
// Write to pager, stopped by the capcode guard before anything was sent.
inline constexpr const char* kUncheckedCapcodesLine =
    "Capcodes could not be checked in the register: nothing written";

// A row of a customer's list, its write stopped before anything was sent for what the pager read
// first showed: "This pager is row 12, done at 10:42 at station-2: nothing written", "This
// pager's serial number is 22222222, not 11111111 as scanned: nothing written".
std::string listPagerDoneLine(int row, std::string_view clock, std::string_view station);
std::string listSerialMismatchLine(std::string_view serial, std::string_view scanned);

// The pager commands a record is kept of.
inline constexpr const char* kReadCommand = "read";
inline constexpr const char* kWriteCommand = "write";

// Whether `outcome` is a line with which the pager command `command` ends: one of the lines
// above, a line of the guard that stopped a write (its capcode, rows, times and station as they
// were), or the error that abandoned the command ("'12a' is not a valid integer value").
bool isCommandOutcome(std::string_view command, std::string_view outcome);

}  // namespace ccp
