// Which pagers have which capcode: claims of whole writes, their settling, records applied,
// releases and conflicts. (Being written: each call says so until it is.)
#include "register/sql_register.h"

namespace ccp {

namespace {

[[noreturn]] void notYet(const char* what) {
  throw RegisterError(RegisterFault::Failed, std::string(what) + " is not built yet");
}

}  // namespace

PagerRegister::Imported SqlRegister::importRecords(const std::vector<Record>&, const Stamp&) {
  notYet("importRecords");
}
std::vector<Holder> SqlRegister::holders(int) {
  notYet("holders");
}
ClaimResult SqlRegister::claimWrite(const std::vector<RowUse>&, const Writer&, WallTime,
                                    const std::optional<PagerRows>&) {
  notYet("claimWrite");
}
HoldOutcome SqlRegister::settle(const Writer&, WriteEnd, std::optional<long long>, const Stamp&) {
  notYet("settle");
}
HoldOutcome SqlRegister::apply(long long, const Stamp&) {
  notYet("apply");
}
ReleaseResult SqlRegister::release(int, const Stamp&, bool) {
  notYet("release");
}
std::vector<Holder> SqlRegister::claims() {
  notYet("claims");
}
std::vector<Conflict> SqlRegister::conflicts(bool) {
  notYet("conflicts");
}
std::vector<Conflict> SqlRegister::resolve(std::optional<long long>, std::optional<int>,
                                           const Stamp&) {
  notYet("resolve");
}

}  // namespace ccp
