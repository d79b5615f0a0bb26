#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/pager_commands.h"
#include "commands/register_connection.h"
#include "commands/register_settings.h"

namespace ccp {

class TForm1;

// How one write is guarded.
struct GuardRules {
  bool on = false;
  std::vector<int> rows;  // the write's individual rows, ascending
  WhenTaken whenTaken = WhenTaken::Stop;
  bool allowUnguarded = false;  // write on when the register cannot be asked
};

// Keeps a write from giving an individual capcode that another pager holds: before anything
// is written it claims every individual capcode the window would write, all or none; after
// the write it settles the claims by how the write ended. Guard off, it only marks what a
// verified write gave.
class CapcodeGuard {
 public:
  CapcodeGuard(RegisterConnection& connection, GuardRules rules, std::function<WallTime()> now);

  // Before the write sends what changes the pager; `pager` is what the pager holds when the
  // write began with a whole read: a capcode it holds may be written to it again. A taken
  // capcode stops the write (false), with one log line naming it and a beep, or, as the rules
  // say, moves its row on to the next free one. Nothing stays claimed when it stops.
  bool admit(TForm1& form, const std::optional<PagerIdentity>& pager);

  // Once the write has ended and its record was added (none when it could not be): the claims
  // held by a verified write, failed when the decoder was being written, else given back. A
  // verified write also releases what a reprogrammed pager held and no longer gets, and, guard
  // off, marks the individual capcodes it gave as held.
  void settle(const PagerCommandReport& report, const std::optional<PagerIdentity>& sent,
              std::optional<long long> recordId);

  // What the user should know beside the log: how to go on after a refusal, a write made
  // unguarded, the register's fault. Empty when there is nothing.
  const std::string& notice() const { return notice_; }
  // The guard stopped the write: a capcode was taken, or could not be checked.
  bool stopped() const { return stopped_; }

  // The individual capcodes of a pager as `rows` say.
  static std::vector<int> individualCapcodes(const PagerIdentity& pager,
                                             const std::vector<int>& rows);

 private:
  struct Moved {
    int row;
    int capcode;
  };

  bool claimAll(PagerRegister& reg, TForm1& form, const std::optional<PagerIdentity>& pager,
                std::vector<Moved>& moved);
  std::optional<int> nextFree(PagerRegister& reg, TForm1& form, int row, int taken);
  void refuse(TForm1& form, int capcode, const std::optional<Holder>& holder);
  void giveBack();
  Stamp stamp() const { return {connection_.station(), now_(), {}}; }

  RegisterConnection& connection_;
  GuardRules rules_;
  std::function<WallTime()> now_;
  std::vector<int> claimed_;
  std::string notice_;
  bool stopped_ = false;
};

// The auto-increment steps of rows 1 to 6, read as the write advances them; 0 for one that is
// no number.
std::array<int, kAddressCount> autoincSteps(TForm1& form);

}  // namespace ccp
