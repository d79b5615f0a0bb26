#pragma once

#include <string>

namespace ccp {

class TForm1;

// Shows the configuration image in the window, through the controls as the user's own edits
// would go: texts that the pager keeps at a fixed width are cleared and typed in again, so the
// rules bound to a text or a check box run as the values arrive. Codes that no list entry
// shows leave that list without a selection; the list still remembers the code.
void DecodeImage(TForm1& form);

// A file load or a pager read whose checks passed: the read buffers become the image, the line
// is logged, the image is decoded into the window and the rules that follow every load run.
void acceptLoadedImage(TForm1& form, std::string line);

}  // namespace ccp
