#pragma once

#include <string>

namespace bench {

// A customer's list of `rows` rows taken in at once (its time printed), then worked by `stations`
// stations on the register at `location`, each a process of its own with its own connection, all
// let go at once: each takes the next row, adds its verified write's record and marks the row
// done, `writes` times or until no row is left. Prints the time of each take and of each end of
// a row. 0 when all went well and no row was taken twice.
int runList(const std::string& location, int stations, int writes, int rows);

}  // namespace bench
