#pragma once

namespace ccp::qt {

// Gives the application the organisation and application names from which Qt derives its data
// and settings folders; the command line finds the same data folder from the same names.
void nameApplication();

}  // namespace ccp::qt
