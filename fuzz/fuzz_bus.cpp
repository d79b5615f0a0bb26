// The pager's answers on the bus disturbed by the input: every bit of it after the first byte
// flips SDA (status bit 6) in one status-register read of a pager command, in order; reads
// past the end of the input see the simulated pager as it is. Flipping rather than replacing
// keeps an input of zeros a clean run, so the fuzzer can reach faults deep into a transfer.
// The first byte picks the build and the command. Whatever the bus says, the command must
// return normally with the lines at rest, end with one of its own log lines, and report
// success only for what the pager really holds.

#include <algorithm>
#include <set>

#include "app/default_pager.h"
#include "fuzz_support.h"
#include "image/checksum.h"
#include "sim/simulated_programmer.h"
#include "testkit/fault_checks.h"

namespace {

using namespace ccp;

class DisturbedPort : public PortIo {
 public:
  DisturbedPort(sim::SimulatedProgrammer& inner, const std::uint8_t* bits, std::size_t size)
      : inner_(inner), bits_(bits), size_(size) {}
  bool obtainAccess() override { return inner_.obtainAccess(); }
  std::uint8_t in(std::uint16_t address) override {
    std::uint8_t value = inner_.in(address);
    if (armed && address == kLpt1Base + 1 && next_ < size_ * 8) {
      if ((bits_[next_ / 8] >> (next_ % 8)) & 1) value ^= 0x40;
      ++next_;
    }
    return value;
  }
  void out(std::uint16_t address, std::uint8_t value) override { inner_.out(address, value); }
  bool signalSafe() const override { return false; }
  bool armed = false;  // start-up reads go undisturbed

 private:
  sim::SimulatedProgrammer& inner_;
  const std::uint8_t* bits_;
  std::size_t size_;
  std::size_t next_ = 0;
};

const std::set<std::string> kReadEnds = {"Read completed", "Decoder Read error", "EEP read error",
                                         "Pager Read error, please check the connection.",
                                         "Model not match!!!"};
const std::set<std::string> kWriteEnds = {"Verify OK !",
                                          "Verify fail !",
                                          "Pager can't be written",
                                          "Decoder verify fail!",
                                          "Decoder program error!",
                                          "EEP read error",
                                          "Pager Read error, please check the connection.",
                                          "Model not match!!!"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return -1;
  const BuildConfig config = fuzz::kBuilds[data[0] & 3];
  const bool write = (data[0] & 4) != 0;

  testkit::VirtualClock clock;
  sim::SimulatedProgrammer programmer(clock);
  const PagerContents pager = defaultPagerContents(config);
  programmer.setEeprom(pager.eeprom);
  programmer.setDecoder(pager.decoder);
  DisturbedPort port(programmer, data + 1, size - 1);
  testkit::FakePlatform platform;
  TForm1 form(config, platform, port, clock);
  port.armed = true;

  form.menuItem(write ? "WriteToPager" : "ReadFromPager").trigger();
  const std::string rest = testkit::linesNotAtRest(programmer);
  fuzz::check(rest.empty(), "lines not at rest: " + rest);
  const std::string& last = form.log().lines().back();
  fuzz::check((write ? kWriteEnds : kReadEnds).contains(last), "unexpected last line: " + last);
  const Image& image = form.image();
  // The accepted read buffer, not image.eep: the rules after a load may change a setting.
  if (last == "Read completed") fuzz::check(checksumOk(image.eepRead), "accepted a bad checksum");
  if (last == "Verify OK !") {
    fuzz::check(std::equal(image.eep.begin(), image.eep.end(), programmer.eeprom().begin()),
                "verified EEPROM differs from the pager's");
    fuzz::check(
        std::equal(image.decoder.begin(), image.decoder.end(), programmer.decoder().begin()),
        "verified decoder block differs from the pager's");
  }
  return 0;
}
