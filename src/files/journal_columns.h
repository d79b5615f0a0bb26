#pragma once

// The columns of the programming journal, "journal.csv", in their order: what the journal
// writes and what an import of it reads.

#include <string>
#include <vector>

namespace ccp {

const std::vector<std::string>& journalHeader();

}  // namespace ccp
