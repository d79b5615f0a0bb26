#pragma once

#include <string>

#include "cli/headless_window.h"
#include "cli/pager_session.h"

namespace ccp::cli {

struct Run;

// write --batch: one pager per Enter, then a summary line.
int writeBatch(Run& run, PagerSession& session, const std::string& file);
// The last write was verified, but a capcode it gave was released by hand while it ran: its
// pager may share it with another.
bool mayShareCapcodes(PagerSession& session);
// After a verified write: the advanced settings back into the file; false, and said (with
// `then`, what follows from it), when they could not be saved.
bool updateFile(Run& run, HeadlessWindow& window, const std::string& file,
                const std::string& then = "");

}  // namespace ccp::cli
