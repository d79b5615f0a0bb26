#include "app/app_services.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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
    : config_(config), kept_(std::move(kept)) {
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
  if (simulated_ == nullptr) return {};
  const ConfigFileBytes bytes = pagerBytes(*simulated_);
  if (keptBytes_ == bytes) return {};
  if (kept_.file.empty() && !newPagerFolder_.empty()) kept_.file = newPagerFile(newPagerFolder_);
  if (kept_.file.empty()) return {};
  makeParentFolder(kept_.file);
  if (!replaceFile(kept_.file, bytes)) {
    return "could not keep the simulated pager in " + kept_.file + ": " + std::strerror(errno);
  }
  keptBytes_ = bytes;
  return {};
}

void ApplicationServices::plugInNewPager(const std::string& folder) {
  if (simulated_ == nullptr) return;
  keepSimulatedPager();
  const PagerContents pager = defaultPagerContents(config_);
  simulated_->setEeprom(pager.eeprom);
  simulated_->setDecoder(pager.decoder);
  keptBytes_ = pagerBytes(*simulated_);  // nothing to keep until it is written
  kept_.file.clear();
  newPagerFolder_ = folder;
}

std::string ApplicationServices::newPagerFile(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  for (int number = 1; number < 100000; ++number) {
    char name[32];
    std::snprintf(name, sizeof name, "pager-%04d.eep", number);
    const std::string path = (std::filesystem::path(folder) / name).string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) break;
  }
  return {};
}

void ApplicationServices::keepSimulatedPagerWhenVerified(MessageLog& log) {
  if (simulated_ == nullptr) return;
  log.beforeShown = [this](const std::string& line) {
    if (line == kVerifiedLine) keepSimulatedPager();
  };
}

}  // namespace ccp
