#pragma once

#include <string>
#include <vector>

#include "cli/headless_window.h"
#include "cli/pager_session.h"

namespace ccp::cli {

struct Run;

// The capcodes of a batch's pagers, in their order, as its summary names them: a run of
// capcodes one after the other as "2004002-2004009", the same capcode on several pagers as
// "2004002 (3 pagers)", each other one by itself: "2004002-2004009, 2004011".
std::string capcodeRuns(const std::vector<int>& capcodes);

// write --batch: one pager per Enter, then a summary line.
int writeBatch(Run& run, PagerSession& session, const std::string& file);
// The last write was verified, but a capcode it gave was released by hand while it ran: its
// pager may share it with another.
bool mayShareCapcodes(PagerSession& session);
// The last command's record could be kept neither in the register nor in journal.csv (said in
// its notice): the command ran, but exits with 1.
bool recordKeptNowhere(PagerSession& session);
// After a verified write: the advanced settings back into the file; false, and said (with
// `then`, what follows from it), when they could not be saved.
bool updateFile(Run& run, HeadlessWindow& window, const std::string& file,
                const std::string& then = "");

}  // namespace ccp::cli
