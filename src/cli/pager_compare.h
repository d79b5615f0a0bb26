#pragma once

namespace ccp::cli {

struct Run;

// verify, and write --dry-run: the pager read and compared with what FILE would write to it.
int comparePager(Run& run, bool dryRun);

}  // namespace ccp::cli
