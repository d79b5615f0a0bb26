#include "app/app_services.h"

#include "app/default_pager.h"
#include "ports/best_port.h"
#include "sim/simulated_programmer.h"

namespace ccp {

namespace {

std::unique_ptr<PortIo> simulatedPort(const BuildConfig& config, const TimeSource& time) {
  auto programmer = std::make_unique<sim::SimulatedProgrammer>(time);
  const PagerContents pager = defaultPagerContents(config);
  programmer->setEeprom(pager.eeprom);
  programmer->setDecoder(pager.decoder);
  return programmer;
}

}  // namespace

ApplicationServices::ApplicationServices(const BuildConfig& config, PortKind kind,
                                         const PortChoice& choice)
    : port_(kind == PortKind::Simulator ? simulatedPort(config, clock_) : openBestPort(choice)) {}

ApplicationServices::~ApplicationServices() = default;

}  // namespace ccp
