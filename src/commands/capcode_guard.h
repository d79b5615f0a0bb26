#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/holder_lines.h"
#include "commands/pager_commands.h"
#include "commands/register_connection.h"
#include "commands/register_settings.h"

namespace ccp {

class TForm1;

// How one write is guarded.
struct GuardRules {
  std::string station;  // whose write it is
  bool on = false;
  std::vector<int> rows;  // the write's individual rows, ascending
  WhenTaken whenTaken = WhenTaken::Stop;
  bool allowUnguarded = false;  // write on when the register cannot be asked
};

// Keeps a write from giving a capcode that is not its to give: before anything is written it
// claims every enabled row the window would write, all or none, an individual row against any
// other pager's hold of its capcode, a group row against another pager's individual hold. After
// the write it settles the claims by how the write ended.
class CapcodeGuard {
 public:
  CapcodeGuard(RegisterConnection& connection, GuardRules rules, FaceWords words,
               std::function<WallTime()> now);

  // Before the write sends what changes the pager; `pager` is what the pager holds when the
  // write began with a whole read: what is its own may be written to it again. A refused row
  // stops the write (false), with one log line naming the capcode and a beep, or, as the rules
  // say, moves an individual row on to the next free capcode. Nothing stays claimed when it
  // stops.
  bool admit(TForm1& form, const std::optional<PagerIdentity>& pager);

  // Once the write has ended and its record was added (none when it could not be): the claims
  // held by a verified write, failed when the decoder was being written, else given back. A
  // capcode released by hand while the pager was written is said after the write's last line.
  void settle(TForm1& form, const PagerCommandReport& report, std::optional<long long> recordId);

  // The register granted this write's claims: it is settled by them, not applied as unguarded.
  bool claimed() const { return claimed_; }
  // What the user should know beside the log: how to go on after a refusal, a write made
  // unguarded, the register's fault, a capcode that may be on two pagers. Empty when nothing.
  const std::string& notice() const { return notice_; }
  // The guard stopped the write: a capcode was taken, or could not be checked.
  bool stopped() const { return stopped_; }
  // The write's individual rows, ascending.
  const std::vector<int>& individualRows() const { return rules_.rows; }
  // The capcodes of the verified write that were released by hand while it ran.
  const std::vector<int>& releasedWhileWritten() const { return releasedWhileWritten_; }

 private:
  struct Moved {
    int row;
    int from;
    int to;
  };

  // An individual capcode of the write is in another enabled row too.
  bool givesOneTwice(TForm1& form) const;
  // The same, said, and the write stops.
  bool inTwoRows(TForm1& form);
  bool claimAll(PagerRegister& reg, TForm1& form, const std::optional<PagerIdentity>& pager,
                std::vector<Moved>& moved);
  bool moveOn(PagerRows& rows, int row, std::array<int, kAddressCount>& steps, TForm1& form);
  void refuse(TForm1& form, const Refusal& refusal, bool searched, bool pagerReadFirst);
  void giveBack();
  void addNotice(const std::string& text);
  Stamp stamp() const { return {rules_.station, now_(), {}}; }

  RegisterConnection& connection_;
  GuardRules rules_;
  FaceWords words_;
  std::function<WallTime()> now_;
  std::optional<Writer> writer_;  // while this write's claims may be in the register
  bool claimed_ = false;
  std::string notice_;
  bool stopped_ = false;
  std::vector<int> releasedWhileWritten_;
};

// The rows the window would write: each row's capcode (none when it is no number) and whether
// it is on.
PagerRows formRows(TForm1& form);

// An individual use whose capcode another enabled row of the write has too (then `otherRow`):
// the guard refuses such a write before it asks the register.
std::optional<RowUse> individualTwice(const PagerRows& rows, const std::vector<RowUse>& uses,
                                      int& otherRow);

// The auto-increment steps of rows 1 to 6, read as the write advances them; 0 for one that is
// no number.
std::array<int, kAddressCount> autoincSteps(TForm1& form);

}  // namespace ccp
