#include "commands/capcode_guard.h"

#include <algorithm>

#include "commands/pager_journal.h"
#include "files/outcome_lines.h"
#include "image/capcode.h"
#include "rules/address_rules.h"
#include "rules/rule_support.h"
#include "shell/conversion.h"
#include "shell/form.h"

namespace ccp {

namespace {

// How far "take the next free" looks, for each row, before it gives up.
constexpr int kMaxSteps = 1000;
// A row that does not advance moves on by a whole frame: the pager keeps its frame.
constexpr int kFrameStep = 8;

// Another enabled row than `row` with the capcode: 0 when there is none.
int otherRowWith(const PagerRows& rows, int row, long long capcode) {
  for (int other = 1; other <= kAddressCount; ++other) {
    if (other != row && rows.enabled[other - 1] && rows.capcodes[other - 1] == capcode) {
      return other;
    }
  }
  return 0;
}

// An individual row whose capcode another enabled row of the write has: the pager would get it
// twice, and pages for it would reach every pager that has it as a group capcode.
std::optional<RowUse> twice(const PagerRows& rows, const std::vector<RowUse>& uses) {
  for (const RowUse& use : uses) {
    if (use.individual && otherRowWith(rows, use.row, use.capcode) != 0) return use;
  }
  return std::nullopt;
}

}  // namespace

PagerRows formRows(TForm1& form) {
  PagerRows rows;
  for (int row = 1; row <= kAddressCount; ++row) {
    rows.capcodes[row - 1] = capcodeNumber(form.textField(rules::rowName("address", row)).text());
    rows.enabled[row - 1] = form.checkBox(rules::rowName("addr", row) + "en").checked();
  }
  return rows;
}

std::optional<RowUse> individualTwice(const PagerRows& rows, const std::vector<RowUse>& uses,
                                      int& otherRow) {
  const auto use = twice(rows, uses);
  if (use) otherRow = otherRowWith(rows, use->row, use->capcode);
  return use;
}

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

CapcodeGuard::CapcodeGuard(RegisterConnection& connection, GuardRules rules, FaceWords words,
                           std::function<WallTime()> now)
    : connection_(connection),
      rules_(std::move(rules)),
      words_(std::move(words)),
      now_(std::move(now)) {}

bool CapcodeGuard::admit(TForm1& form, const std::optional<PagerIdentity>& pager) {
  if (!rules_.on) return true;
  // Nothing to ask the register about an individual capcode in two rows of the write, unless
  // taking the next free one moves it on.
  if (rules_.whenTaken != WhenTaken::TakeNextFree && inTwoRows(form)) return false;
  std::vector<Moved> moved;
  try {
    writer_ = newWriter(rules_.station);
    if (!connection_.use([&](PagerRegister& reg) { return claimAll(reg, form, pager, moved); })) {
      stopped_ = true;
      writer_.reset();  // all or none: a refused write holds no claim
      return false;
    }
  } catch (const RegisterError& error) {
    giveBack();
    if (rules_.allowUnguarded && !givesOneTwice(form)) {
      notice_ = std::string("written unguarded: ") + error.what();
      return true;
    }
    form.logLine(kUncheckedCapcodesLine);
    form.beep();
    stopped_ = true;
    notice_ = error.what();
    return false;
  }
  claimed_ = true;
  // The window shows the capcodes taken instead, as the write will send them.
  for (const Moved& m : moved) {
    form.logLine("Capcode " + std::to_string(m.from) + " is taken: " + std::to_string(m.to) +
                 " used");
    form.textField(rules::rowName("address", m.row)).setText(capcodeText(m.to));
    rules::addressExit(form, m.row);
  }
  return true;
}

bool CapcodeGuard::givesOneTwice(TForm1& form) const {
  const PagerRows rows = formRows(form);
  return twice(rows, rowUses(rows, rules_.rows)).has_value();
}

bool CapcodeGuard::inTwoRows(TForm1& form) {
  const PagerRows rows = formRows(form);
  const auto use = twice(rows, rowUses(rows, rules_.rows));
  if (!use) return false;
  form.logLine(twoRowsLine(use->capcode, use->row, otherRowWith(rows, use->row, use->capcode)));
  form.beep();
  stopped_ = true;
  return true;
}

bool CapcodeGuard::claimAll(PagerRegister& reg, TForm1& form,
                            const std::optional<PagerIdentity>& pager, std::vector<Moved>& moved) {
  const PagerRows given = formRows(form);
  PagerRows rows = given;
  std::optional<SeenPager> inProgrammer;
  if (pager) inProgrammer = SeenPager(pagerRowsOf(*pager), pager->serial);
  const bool nextFree = rules_.whenTaken == WhenTaken::TakeNextFree;
  std::array<int, kAddressCount> searched{};  // how far each row has moved on
  // What refused each row first: said when no free capcode follows it.
  std::array<std::optional<Refusal>, kAddressCount> first{};
  for (;;) {
    const std::vector<RowUse> uses = rowUses(rows, rules_.rows);
    if (const auto use = twice(rows, uses)) {
      if (nextFree && moveOn(rows, use->row, searched, form)) continue;
      form.logLine(twoRowsLine(use->capcode, use->row, otherRowWith(rows, use->row, use->capcode)));
      form.beep();
      if (nextFree) {
        notice_ = "nothing written: no free capcode follows " +
                  std::to_string(*given.capcodes[use->row - 1]) + " within " +
                  std::to_string(kMaxSteps) + " steps";
      }
      return false;
    }
    const ClaimResult claim = reg.claimWrite(uses, *writer_, now_(), inProgrammer);
    if (claim.granted) break;
    if (!claim.refusal) {
      throw RegisterError(RegisterFault::Failed, "The register refused a capcode without a reason");
    }
    const int row = claim.refusal->use.row;
    if (!first[row - 1]) first[row - 1] = claim.refusal;
    const bool searchable = nextFree && claim.refusal->use.individual;
    if (!searchable || !moveOn(rows, row, searched, form)) {
      refuse(form, searchable ? *first[row - 1] : *claim.refusal, searchable,
             inProgrammer.has_value());
      return false;
    }
  }
  for (int row = 1; row <= kAddressCount; ++row) {
    if (rows.capcodes[row - 1] == given.capcodes[row - 1]) continue;
    moved.push_back({row, *given.capcodes[row - 1], *rows.capcodes[row - 1]});
  }
  return true;
}

// The row's capcode moved on by its step (a frame when it has none), over capcodes another
// enabled row of the write has; false once the row has moved kMaxSteps or past the last capcode.
bool CapcodeGuard::moveOn(PagerRows& rows, int row, std::array<int, kAddressCount>& steps,
                          TForm1& form) {
  const int own = autoincSteps(form)[row - 1];
  const int step = own != 0 ? own : kFrameStep;
  long long capcode = *rows.capcodes[row - 1];
  while (steps[row - 1] < kMaxSteps) {
    ++steps[row - 1];
    capcode += step;
    if (capcode > kHighestCapcode) return false;
    if (!validCapcode(capcode) || otherRowWith(rows, row, capcode) != 0) continue;
    rows.capcodes[row - 1] = static_cast<int>(capcode);
    return true;
  }
  return false;
}

void CapcodeGuard::refuse(TForm1& form, const Refusal& refusal, bool searched,
                          bool pagerReadFirst) {
  form.logLine(takenLine(refusal, now_()));
  form.beep();
  notice_ = howToGoOn(refusal, words_, pagerReadFirst);
  if (searched) {
    notice_ += "; no free capcode follows it within " + std::to_string(kMaxSteps) + " steps";
  }
}

// What was claimed goes back, if the register still answers.
void CapcodeGuard::giveBack() {
  if (!writer_) return;
  try {
    connection_.use([this](PagerRegister& reg) {
      return reg.settle(*writer_, WriteEnd::Abandoned, std::nullopt, stamp());
    });
  } catch (const RegisterError&) {
    // left claimed: its writer ends with this process, and the claim shows so
  }
  writer_.reset();
}

void CapcodeGuard::addNotice(const std::string& text) {
  if (!notice_.empty()) notice_ += "; ";
  notice_ += text;
}

void CapcodeGuard::settle(TForm1& form, const PagerCommandReport& report,
                          std::optional<long long> recordId) {
  if (!writer_) return;
  const WriteEnd end = report.verified     ? WriteEnd::Verified
                       : report.writeBegun ? WriteEnd::Failed
                                           : WriteEnd::Abandoned;
  // Without its record a write that sent bytes keeps its claims: the record's journal line,
  // taken in, settles them.
  if (!recordId && end != WriteEnd::Abandoned) return;
  try {
    const HoldOutcome outcome = connection_.use(
        [&](PagerRegister& reg) { return reg.settle(*writer_, end, recordId, stamp()); });
    writer_.reset();
    for (int capcode : outcome.releasedWhileWritten) {
      // After "Verify OK !", as the record's note says it.
      const std::string line = releasedWhileWrittenNote(capcode);
      form.logLine(line);
      addNotice(line);
      releasedWhileWritten_.push_back(capcode);
    }
  } catch (const RegisterError& error) {
    addNotice(std::string("capcodes not marked in the register: ") + error.what());
  }
}

}  // namespace ccp
