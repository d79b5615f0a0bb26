#include "ports/best_port.h"

#include <array>

#include "ports/direct_port.h"
#include "ports/ppdev_port.h"
#include "ports/refusing_port.h"

namespace ccp {

namespace {

class FirstGrantedPort : public PortIo {
 public:
  FirstGrantedPort(const PortChoice& choice, SysPortCalls& sys)
      : ppdev_(choice, sys), direct_(choice, sys) {}

  bool obtainAccess() override {
    if (!decided_) {
      decided_ = true;
      chosen_ = choose();
    }
    return chosen_->obtainAccess();
  }
  std::uint8_t in(std::uint16_t address) override { return chosen_->in(address); }
  void out(std::uint16_t address, std::uint8_t value) override { chosen_->out(address, value); }
  bool claim(std::uint16_t base) override { return chosen_->claim(base); }
  void release(std::uint16_t base) override { chosen_->release(base); }
  bool signalSafe() const override { return chosen_->signalSafe(); }
  std::string portName(std::uint16_t base) const override { return chosen_->portName(base); }

 private:
  PortIo* choose() {
    const std::array<MappedPort*, 2> backends = {&ppdev_, &direct_};
    for (MappedPort* backend : backends)
      if (backend->obtainAccess() && backend->reachesChoice()) return backend;
    for (MappedPort* backend : backends)
      if (backend->obtainAccess()) return backend;
    return &refusing_;
  }

  PpdevPort ppdev_;
  DirectPort direct_;
  RefusingPort refusing_;
  bool decided_ = false;
  PortIo* chosen_ = &refusing_;
};

}  // namespace

std::unique_ptr<PortIo> openBestPort(const PortChoice& choice, SysPortCalls& sys) {
  return std::make_unique<FirstGrantedPort>(choice, sys);
}

}  // namespace ccp
