#include <unistd.h>

#include <iostream>
#include <memory>

#include "app/app_services.h"
#include "app/data_folder.h"
#include "app/program_build.h"
#include "cli/cli.h"

namespace {

// The machine's port, or a simulated Programmer running in real time.
class MachineServices : public ccp::cli::CliServices {
 public:
  MachineServices() : CliServices(ccp::kProgramBuild, ccp::kProgramPort) {}

  ccp::cli::Connection connect(ccp::PortKind kind, const ccp::PortChoice& ports) override {
    services_ = std::make_unique<ccp::ApplicationServices>(config, kind, ports);
    return {services_->port(), services_->clock()};
  }
  std::string dataFolder() override { return ccp::userDataFolder(); }

 private:
  std::unique_ptr<ccp::ApplicationServices> services_;
};

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  ccp::cli::Console console{std::cin, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
  MachineServices services;
  return ccp::cli::runCli(words, console, services);
}
