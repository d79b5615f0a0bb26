#include "app/app_services.h"

#include <cerrno>
#include <cstring>

#include "app/default_pager.h"
#include "files/config_file.h"
#include "files/file_io.h"
#include "files/outcome_lines.h"
#include "ports/best_port.h"
#include "shell/controls.h"
#include "sim/simulated_programmer.h"

namespace ccp {

namespace {

ConfigFileBytes pagerBytes(const sim::SimulatedProgrammer& programmer) {
  EepBlock eeprom{};
  DecoderBlock decoder{};
  std::copy(programmer.eeprom().begin(), programmer.eeprom().end(), eeprom.begin());
  std::copy(programmer.decoder().begin(), programmer.decoder().end(), decoder.begin());
  return configFileBytes(eeprom, decoder);
}

}  // namespace

ApplicationServices::ApplicationServices(const BuildConfig& config, PortKind kind,
                                         const PortChoice& choice, KeptPager kept)
    : kept_(std::move(kept)) {
  if (kind == PortKind::Hardware) {
    port_ = openBestPort(choice);
    return;
  }
  auto programmer = std::make_unique<sim::SimulatedProgrammer>(clock_);
  simulated_ = programmer.get();
  port_ = std::move(programmer);
  plugInKeptPager(config);
}

void ApplicationServices::plugInKeptPager(const BuildConfig& config) {
  PagerContents pager = defaultPagerContents(config);
  const auto bytes = kept_.file.empty() ? std::nullopt : readFileHead(kept_.file, kFileSize);
  if (bytes && bytes->size() == kFileSize) {
    keptBytes_.emplace();
    std::copy(bytes->begin(), bytes->end(), keptBytes_->begin());
    if (!kept_.fresh) splitConfigFile(*bytes, pager.eeprom, pager.decoder);
  }
  simulated_->setEeprom(pager.eeprom);
  simulated_->setDecoder(pager.decoder);
}

std::string ApplicationServices::keepSimulatedPager() {
  if (simulated_ == nullptr || kept_.file.empty()) return {};
  const ConfigFileBytes bytes = pagerBytes(*simulated_);
  if (keptBytes_ == bytes) return {};
  makeParentFolder(kept_.file);
  if (!replaceFile(kept_.file, bytes)) {
    return "could not keep the simulated pager in " + kept_.file + ": " + std::strerror(errno);
  }
  keptBytes_ = bytes;
  return {};
}

void ApplicationServices::keepSimulatedPagerWhenVerified(MessageLog& log) {
  if (simulated_ == nullptr) return;
  log.beforeShown = [this](const std::string& line) {
    if (line == kVerifiedLine) keepSimulatedPager();
  };
}

}  // namespace ccp
