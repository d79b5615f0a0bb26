#pragma once

// A customer's list given back: the list as the customer wrote it, in the separator and encoding
// it came in, each row followed by what became of it.

#include <optional>
#include <string>
#include <vector>

#include "files/csv_fields.h"
#include "image/build_config.h"
#include "register/list_types.h"

namespace ccp {

// The columns added after the customer's own.
inline constexpr const char* kListExportColumns[] = {"State", "Serial read", "Station",
                                                     "Time",  "Record",      "Reason"};

// The fields of a record as the register keeps a list's header or a row's cells.
CsvFields listRecordFields(const std::string& record);

// The whole text to write; nothing, with `why`, when the list's dialect is not one this program
// writes or a row cannot be written in it.
std::optional<std::string> listExportText(const ListInfo& list,
                                          const std::vector<ListRowStatus>& rows, Model model,
                                          std::string& why);

}  // namespace ccp
