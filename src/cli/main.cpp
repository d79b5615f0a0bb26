#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>

#include "app/app_services.h"
#include "app/data_folder.h"
#include "app/program_build.h"
#include "app/register_place.h"
#include "cli/cli.h"

namespace {

// The machine's port, or a simulated Programmer running in real time whose pager is kept in
// the data folder between runs.
class MachineServices : public ccp::cli::CliServices {
 public:
  MachineServices() : CliServices(ccp::kProgramBuild, ccp::kProgramPort) {}

  ccp::cli::Connection connect(const ccp::cli::PortRequest& request) override {
    services_ = std::make_unique<ccp::ApplicationServices>(
        config, request.kind, request.ports,
        ccp::KeptPager{ccp::simulatedPagerFile(), request.freshPager});
    std::function<void()> newPager;
    if (request.kind == ccp::PortKind::Simulator) {
      newPager = [this] { services_->plugInNewPager(ccp::simulatedPagersFolder()); };
    }
    return {services_->port(), services_->clock(), &services_->clock().realtimePriority(),
            [this](ccp::MessageLog& log) { services_->keepSimulatedPagerWhenVerified(log); },
            std::move(newPager)};
  }
  std::string dataFolder() override { return ccp::userDataFolder(); }
  // At the end of the run: the simulated pager back into its file, or why it could not go.
  void keepSimulatedPager(std::ostream& err) {
    if (!services_) return;
    const std::string problem = services_->keepSimulatedPager();
    if (!problem.empty()) err << "ccp: " << problem << '\n';
  }
  ccp::ParsedRegisterSettings registerSettings() override { return ccp::userRegisterSettings(); }
  ccp::RegisterUse registerUse(const ccp::RegisterSettings& settings, std::string_view location,
                               std::optional<bool> guard) override {
    return ccp::registerUse(settings, location, guard);
  }

 private:
  std::unique_ptr<ccp::ApplicationServices> services_;
};

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  ccp::cli::Console console{std::cin, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
  MachineServices services;
  const int status = ccp::cli::runCli(words, console, services);
  services.keepSimulatedPager(std::cerr);
  return status;
}
