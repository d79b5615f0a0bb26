#pragma once

namespace ccp::qt {

// Gives the application the organisation and application names from which Qt derives its data
// and settings folders; the command line finds the same data folder from the same names.
void nameApplication();

// Gives the windows the program's icon: the icon theme's when installed, else the one built in.
// Needs the application object.
void giveApplicationIcon();

}  // namespace ccp::qt
