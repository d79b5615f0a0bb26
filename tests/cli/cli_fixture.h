#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/default_pager.h"
#include "cli/cli.h"
#include "files/config_file.h"
#include "files/temp_folder.h"
#include "ports/fake_kernel.h"
#include "register/pager_register.h"
#include "sim/simulated_programmer.h"
#include "testkit/virtual_clock.h"

namespace ccp::test {

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The machine of a test: a simulated Programmer with a pager of the build's model, on the
// virtual clock.
class SimulatedServices : public cli::CliServices {
 public:
  explicit SimulatedServices(BuildConfig config, std::uint16_t base = 888)
      : CliServices(config, PortKind::Hardware), programmer(clock, base) {
    plugInFreshPager();
  }

  cli::Connection connect(const cli::PortRequest& request) override {
    connectedKind = request.kind;
    connectedPorts = request.ports;
    return {programmer, clock, nullptr, {}, [this] {
              keepPager();
              plugInFreshPager();
            }};
  }
  // The pager in the simulated Programmer, kept as a new pager was plugged in: in `pagers`, and
  // with a `pagerFolder`, as a configuration file there (for a station run in a process of its
  // own).
  void keepPager() {
    EepBlock eeprom{};
    std::copy(programmer.eeprom().begin(), programmer.eeprom().end(), eeprom.begin());
    pagers.push_back({eeprom, pagerDecoder()});
    if (pagerFolder.empty()) return;
    const auto bytes = configFileBytes(pagers.back().eeprom, pagers.back().decoder);
    writeBytes(pagerFolder + "/pager-" + std::to_string(pagers.size()) + ".eep",
               {bytes.begin(), bytes.end()});
  }
  std::string dataFolder() override { return dataPath; }
  PortSurvey surveyPorts(const PortChoice& choice) override {
    return ccp::surveyPorts(choice, kernel);
  }
  // register.conf's lines where a test wrote the file, else `settings`.
  ParsedRegisterSettings registerSettings() override {
    std::error_code ec;
    if (std::filesystem::exists(settingsFile, ec)) return loadRegisterSettings(settingsFile);
    ParsedRegisterSettings parsed;
    parsed.settings = settings;
    return parsed;
  }
  RegisterUse registerUse(const RegisterSettings& settings, std::string_view location,
                          std::optional<bool> guard) override {
    return resolveRegisterUse(settings, dataPath.empty() ? "" : defaultRegisterLocation(dataPath),
                              location, environmentRegister, "station", guard);
  }

  void plugInFreshPager() {
    const PagerContents pager = defaultPagerContents(config);
    programmer.setEeprom(pager.eeprom);
    programmer.setDecoder(pager.decoder);
  }
  DecoderBlock pagerDecoder() const {
    DecoderBlock copy{};
    std::copy(programmer.decoder().begin(), programmer.decoder().end(), copy.begin());
    return copy;
  }

  testkit::VirtualClock clock;
  sim::SimulatedProgrammer programmer;
  std::vector<PagerContents> pagers;  // kept as new ones were plugged in
  std::string pagerFolder;
  std::optional<PortKind> connectedKind;
  PortChoice connectedPorts;
  testing::FakeKernel kernel;  // the system's parallel ports: none unless a test adds them
  TempFolder dataHome;         // never the user's own data folder
  std::string dataPath = dataHome.file("capcode-programmer");
  std::string environmentRegister;                            // the register CCP_REGISTER names
  RegisterSettings settings;                                  // register.conf's, unless a file
  std::string settingsFile = dataHome.file("register.conf");  // none unless a test writes it
};

// Enter pressed a number of times, then the end of input; `beforeRead` runs each time the
// program waits for a line.
class EnterPresses : public std::streambuf {
 public:
  EnterPresses(int presses, std::function<void()> beforeRead)
      : presses_(presses), beforeRead_(std::move(beforeRead)) {}

 protected:
  int_type underflow() override {
    beforeRead_();
    if (presses_ == 0) return traits_type::eof();
    --presses_;
    setg(&enter_, &enter_, &enter_ + 1);
    return traits_type::to_int_type(enter_);
  }

 private:
  int presses_;
  std::function<void()> beforeRead_;
  char enter_ = '\n';
};

// ccp run in-process, its streams kept.
struct CliFixture {
  explicit CliFixture(BuildConfig config = {}, std::uint16_t base = 888) : services(config, base) {}

  int run(const std::vector<std::string>& words, const std::string& input = "") {
    std::istringstream in(input);
    return run(words, in);
  }
  int run(const std::vector<std::string>& words, std::istream& in) {
    out.str("");
    err.str("");
    cli::Console console{in, out, err, terminal};
    return cli::runCli(words, console, services);
  }
  std::vector<std::string> outLines() const {
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

  // A configuration file as a fresh pager of the build holds it.
  std::string defaultFile(const std::string& name) {
    const PagerContents pager = defaultPagerContents(services.config);
    const auto bytes = configFileBytes(pager.eeprom, pager.decoder);
    const std::string path = folder.file(name);
    writeBytes(path, {bytes.begin(), bytes.end()});
    return path;
  }

  // A file whose first capcode is `capcode`, made with ccp set.
  std::string fileWithCapcode(int capcode) {
    const std::string file = defaultFile("pager.eep");
    EXPECT_EQ(run({"set", file, "address1=" + std::to_string(capcode)}), cli::kDone);
    return file;
  }

  SimulatedServices services;
  bool terminal = false;
  TempFolder folder;
  std::ostringstream out;
  std::ostringstream err;
};

}  // namespace ccp::test
