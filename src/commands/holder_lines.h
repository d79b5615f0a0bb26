#pragma once

// What both faces say about the holds of a capcode: in the log when the guard refuses a row, on
// standard error or in the status bar beside it, and when the register is asked who has a
// capcode. Where a face has to name its own ways on (a setting, a command, a menu item), it
// gives its words.

#include <string>
#include <vector>

#include "register/register_types.h"

namespace ccp {

// How a face names the ways on after the guard refused a capcode, or the register found it on
// two pagers.
struct FaceWords {
  // What makes a write read the pager first, so that it may reprogram that pager.
  std::string reprogram;
  // What gives a capcode anew, releasing it by hand.
  std::string (*release)(int capcode);
  // Where the capcodes that are, or may be, on two pagers are listed.
  std::string conflicts;
};

// The window's words: its menus and settings. The words a pager command goes by unless its face
// gives its own.
const FaceWords& windowWords();

// A pager carries the capcode in a group row: other pagers may carry it too.
bool isCarried(const Holder& hold);

// Why the guard refused a row of a write, from the hold in its way: "Capcode 2004017 was
// written on 2026-12-07 11:25 at station-2", "Capcode 1700000 was left by a write at r1 that
// ended at 18:20: the pager may hold it", "Capcode 2004008 is a group capcode of 3 pagers
// (written on ...)". `now` tells whether a claim's time needs its date.
std::string takenLine(const Refusal& refusal, WallTime now);

// After the guard refused a row: "nothing written: ..." and how to go on, in the face's words.
// A write that read the pager first found it not to be the one that holds the capcode: reading
// it first again would change nothing.
std::string howToGoOn(const Refusal& refusal, const FaceWords& words, bool pagerReadFirst);

// Refused before the register is asked: the write would give one individual capcode in two rows.
std::string twoRowsLine(int capcode, int row, int otherRow);

// Every hold of the capcode, one line each (the group holds counted in one), or "Capcode ...
// is free" when there is none: what the register knows of who has it.
std::vector<std::string> holderLines(int capcode, const std::vector<Holder>& holders, WallTime now);
// One hold, as holderLines() says it.
std::string holdLine(const Holder& hold, WallTime now);

// A write still under way has it: "capcode 1700000 is being written at r1 since 18:20".
std::string liveClaimLine(const Holder& claim, WallTime now);

// What the register found while it took records in, settled or applied them: claims a
// journalled write made held, capcodes on two pagers. A line each.
std::vector<std::string> holdOutcomeLines(const HoldOutcome& outcome, const FaceWords& words);

}  // namespace ccp
