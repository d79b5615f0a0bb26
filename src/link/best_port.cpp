#include "link/best_port.h"

#include "link/direct_port.h"
#include "link/ppdev_port.h"
#include "link/refusing_port.h"

namespace ccp {

namespace {

class FirstGrantedPort : public PortIo {
 public:
  bool obtainAccess() override {
    if (chosen_ == &refusing_) {
      if (ppdev_.obtainAccess()) {
        chosen_ = &ppdev_;
      } else if (direct_.obtainAccess()) {
        chosen_ = &direct_;
      }
    }
    return chosen_->obtainAccess();
  }
  std::uint8_t in(std::uint16_t address) override { return chosen_->in(address); }
  void out(std::uint16_t address, std::uint8_t value) override { chosen_->out(address, value); }

 private:
  PpdevPort ppdev_;
  DirectPort direct_;
  RefusingPort refusing_;
  PortIo* chosen_ = &refusing_;
};

}  // namespace

std::unique_ptr<PortIo> openBestPort() {
  return std::make_unique<FirstGrantedPort>();
}

}  // namespace ccp
