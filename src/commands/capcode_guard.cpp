#include "commands/capcode_guard.h"

#include <algorithm>

#include "commands/holder_lines.h"
#include "image/capcode.h"
#include "image/pager_identity.h"
#include "rules/address_rules.h"
#include "rules/rule_support.h"
#include "shell/conversion.h"
#include "shell/form.h"

namespace ccp {

namespace {

// How far "take the next free" looks before it gives up.
constexpr int kMaxSteps = 1000;
// A row that does not advance moves on by a whole frame: the pager keeps its frame.
constexpr int kFrameStep = 8;

std::optional<int> fieldCapcode(TForm1& form, int row) {
  return capcodeNumber(form.textField(rules::rowName("address", row)).text());
}

bool contains(const std::vector<int>& capcodes, int capcode) {
  return std::find(capcodes.begin(), capcodes.end(), capcode) != capcodes.end();
}

// Another enabled row of the write has the capcode: the pager would get it in two rows.
bool anotherRowHas(TForm1& form, int row, int capcode) {
  for (int other = 1; other <= kAddressCount; ++other) {
    if (other != row && form.checkBox(rules::rowName("addr", other) + "en").checked() &&
        fieldCapcode(form, other) == capcode) {
      return true;
    }
  }
  return false;
}

bool holds(const std::optional<PagerIdentity>& pager, int capcode) {
  if (!pager) return false;
  return std::any_of(pager->capcodes.begin(), pager->capcodes.end(),
                     [capcode](const std::string& text) { return capcodeNumber(text) == capcode; });
}

}  // namespace

std::array<int, kAddressCount> autoincSteps(TForm1& form) {
  std::array<int, kAddressCount> steps{};
  for (int row = 1; row <= kAddressCount; ++row) {
    try {
      steps[row - 1] = toInt(form.comboBox(rules::rowName("autoinc", row)));
    } catch (const ConversionError&) {
      // left 0: the write's own advance says what is wrong with it
    }
  }
  return steps;
}

CapcodeGuard::CapcodeGuard(RegisterConnection& connection, GuardRules rules,
                           std::function<WallTime()> now)
    : connection_(connection), rules_(std::move(rules)), now_(std::move(now)) {}

std::vector<int> CapcodeGuard::individualCapcodes(const PagerIdentity& pager,
                                                  const std::vector<int>& rows) {
  std::vector<int> capcodes;
  for (int row : rows) {
    const auto capcode = capcodeNumber(pager.capcodes[row - 1]);
    if (capcode && !contains(capcodes, *capcode)) capcodes.push_back(*capcode);
  }
  return capcodes;
}

bool CapcodeGuard::admit(TForm1& form, const std::optional<PagerIdentity>& pager) {
  if (!rules_.on) return true;
  std::vector<Moved> moved;
  try {
    if (!connection_.use([&](PagerRegister& reg) { return claimAll(reg, form, pager, moved); })) {
      stopped_ = true;
      giveBack();
      return false;
    }
  } catch (const RegisterError& error) {
    giveBack();
    if (rules_.allowUnguarded) {
      notice_ = std::string("written unguarded: ") + error.what();
      return true;
    }
    form.logLine("Capcodes could not be checked in the register: nothing written");
    form.beep();
    stopped_ = true;
    notice_ = error.what();
    return false;
  }
  // The window shows the capcodes taken instead, as the write will send them.
  for (const Moved& m : moved) {
    form.textField(rules::rowName("address", m.row)).setText(capcodeText(m.capcode));
    rules::addressExit(form, m.row);
  }
  return true;
}

bool CapcodeGuard::claimAll(PagerRegister& reg, TForm1& form,
                            const std::optional<PagerIdentity>& pager, std::vector<Moved>& moved) {
  for (int row : rules_.rows) {
    const auto capcode = fieldCapcode(form, row);
    if (!capcode) continue;
    // A capcode another row moved onto is taken; one that two rows have as given is claimed once.
    const bool movedOnto = std::any_of(moved.begin(), moved.end(),
                                       [&](const Moved& m) { return m.capcode == *capcode; });
    if (!movedOnto && contains(claimed_, *capcode)) continue;
    const Takeover takeover = holds(pager, *capcode) ? Takeover::HeldOrFailed : Takeover::Never;
    const ClaimResult claim = movedOnto ? ClaimResult{} : reg.claim(*capcode, stamp(), takeover);
    if (claim.granted) {
      claimed_.push_back(*capcode);
      continue;
    }
    const std::optional<int> next = rules_.whenTaken == WhenTaken::TakeNextFree
                                        ? nextFree(reg, form, row, *capcode)
                                        : std::nullopt;
    if (!next) {
      refuse(form, *capcode, claim.holder);
      return false;
    }
    form.logLine("Capcode " + std::to_string(*capcode) + " is taken: " + std::to_string(*next) +
                 " used");
    moved.push_back({row, *next});
  }
  return true;
}

std::optional<int> CapcodeGuard::nextFree(PagerRegister& reg, TForm1& form, int row, int taken) {
  const int own = autoincSteps(form)[row - 1];
  const int step = own != 0 ? own : kFrameStep;
  long long capcode = taken;
  for (int k = 1; k <= kMaxSteps && (capcode += step) <= kHighestCapcode; ++k) {
    if (!validCapcode(capcode)) continue;  // a block the codewords rule out
    const int candidate = static_cast<int>(capcode);
    if (contains(claimed_, candidate) || anotherRowHas(form, row, candidate)) continue;
    if (reg.claim(candidate, stamp()).granted) {
      claimed_.push_back(candidate);
      return candidate;
    }
  }
  return std::nullopt;
}

void CapcodeGuard::refuse(TForm1& form, int capcode, const std::optional<Holder>& holder) {
  form.logLine(takenLine(capcode, holder));
  form.beep();
  notice_ = howToGoOn(capcode, holder);
  if (rules_.whenTaken == WhenTaken::TakeNextFree) {
    notice_ += "; no free capcode follows it within " + std::to_string(kMaxSteps) + " steps";
  }
}

// What was claimed goes back, if the register still answers.
void CapcodeGuard::giveBack() {
  if (claimed_.empty()) return;
  try {
    connection_.use([this](PagerRegister& reg) {
      return reg.move(HolderMove::Abandon, std::exchange(claimed_, {}), stamp());
    });
  } catch (const RegisterError&) {
    claimed_.clear();  // left claimed: released by hand
  }
}

void CapcodeGuard::settle(const PagerCommandReport& report,
                          const std::optional<PagerIdentity>& sent,
                          std::optional<long long> recordId) {
  if (!recordId) {
    if (!report.writeBegun) giveBack();
    return;
  }
  try {
    connection_.use([&](PagerRegister& reg) {
      if (!claimed_.empty()) {
        const HolderMove move = report.verified     ? HolderMove::Confirm
                                : report.writeBegun ? HolderMove::Fail
                                                    : HolderMove::Abandon;
        reg.move(move, claimed_, stamp(), recordId);
      } else if (report.verified && sent) {
        reg.move(HolderMove::Written, individualCapcodes(*sent, rules_.rows), stamp(), recordId);
      }
      if (!report.verified || !report.pagerBefore || !sent) return;
      std::vector<int> dropped;
      for (int capcode : individualCapcodes(*report.pagerBefore, rules_.rows)) {
        if (!holds(sent, capcode)) dropped.push_back(capcode);
      }
      if (!dropped.empty()) reg.move(HolderMove::Drop, dropped, stamp(), recordId);
    });
  } catch (const RegisterError& error) {
    notice_ = std::string("capcodes not marked in the register: ") + error.what();
  }
}

}  // namespace ccp
