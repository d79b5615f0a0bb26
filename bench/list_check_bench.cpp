// The check of a customer's list before its first pager: a list of many rows, each typed into a
// window as the window writes it, against a register of many records. Real time, a Release build.
//   ccp_list_bench [rows] [records] [--register URL]

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/default_pager.h"
#include "commands/list_check.h"
#include "commands/quiet_platform.h"
#include "files/config_file.h"
#include "image/capcode.h"
#include "ports/refusing_port.h"
#include "ports/steady_clock.h"
#include "register/pager_register.h"
#include "shell/form.h"
#include "testkit/station_processes.h"

namespace {

using Clock = std::chrono::steady_clock;

// Records of another station's writes, each holding its capcode (100000 on), taken in as a
// journal is. (A group capcode that all of them carried would make each record's import look at
// all the pagers before it: the fill, not the check, would take the time.)
void fill(ccp::PagerRegister& reg, int count) {
  constexpr int kBatch = 1000;
  const auto start = std::chrono::system_clock::now() - std::chrono::hours(24 * 365);
  for (int first = 0; first < count; first += kBatch) {
    std::vector<ccp::Record> batch;
    for (int i = first; i < std::min(count, first + kBatch); ++i) {
      ccp::Record record =
          ccp::testkit::writeRecord("station-2", start + std::chrono::minutes(i),
                                    ccp::capcodeText(100000 + i), std::to_string(i));
      record.capcodes[1].clear();
      record.enabledRows = {1};
      batch.push_back(std::move(record));
    }
    reg.importRecords(batch, {"station-2", std::chrono::system_clock::now(), {}});
  }
}

// A hospital's list: a name, a capcode of its own from 1,000,000 on (every 1,000th one held in
// the register already), a serial number.
void writeList(const std::string& path, int rows) {
  std::ofstream out(path, std::ios::binary);
  out << "Name;Capcode;Serial No.;Note\r\n";
  for (int i = 0; i < rows; ++i) {
    const int capcode = i % 1000 == 999 ? 100000 + i : 1000000 + 8 * i;
    out << "Ward " << i / 20 << " bed " << i % 20 << ';' << capcode << ";S" << 1000000 + i
        << ";on call\r\n";
  }
}

long maxResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char* argv[]) {
  int rows = 10000, records = 100000;
  std::string location;
  for (int i = 1, number = 0; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--register" && i + 1 < argc) {
      location = argv[++i];
    } else {
      (number++ == 0 ? rows : records) = std::stoi(word);
    }
  }
  const auto folder =
      std::filesystem::temp_directory_path() / ("ccp-list-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  if (location.empty()) location = (folder / ccp::kRegisterFileName).string();
  int status = 1;
  try {
    const auto filling = Clock::now();
    auto reg = ccp::openRegister(location);
    if (reg->status().records < records) fill(*reg, records);
    std::printf("register: %s, %lld records (%.1f s to fill)\n", reg->status().engine.c_str(),
                reg->status().records,
                std::chrono::duration<double>(Clock::now() - filling).count());

    const ccp::BuildConfig config;
    const ccp::PagerContents pager = ccp::defaultPagerContents(config);
    const std::string templatePath = (folder / "template.eep").string();
    {
      const auto bytes = ccp::configFileBytes(pager.eeprom, pager.decoder);
      std::ofstream(templatePath, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    const std::string listPath = (folder / "list.csv").string();
    writeList(listPath, rows);

    ccp::QuietPlatform platform;
    ccp::RefusingPort port;
    ccp::SteadyClock clock;
    ccp::TForm1 form(config, platform, port, clock);
    const ccp::TemplateLoad loaded = ccp::loadListTemplate(form, templatePath);
    if (!loaded.loaded) throw std::runtime_error(loaded.why);
    const long residentBefore = maxResidentKb();

    std::ifstream list(listPath, std::ios::binary);
    ccp::ListCheckRequest request;
    request.holders = [&reg](const std::vector<ccp::RowUse>& uses) {
      return reg->holdersInTheWay(uses);
    };
    const auto start = Clock::now();
    const ccp::ListCheckResult result =
        ccp::checkList(list, form, platform, *loaded.loaded, request);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("list: %zu rows checked in %.2f s (%.0f us a row): %zu errors, %zu warnings\n",
                result.rows, seconds, seconds * 1e6 / static_cast<double>(rows), result.errors(),
                result.warnings());
    for (std::size_t i = 0; i < std::min<std::size_t>(3, result.problems.size()); ++i) {
      const ccp::ListProblem& p = result.problems[i];
      std::printf("  line %zu: %s '%s': %s\n", p.line, p.column.c_str(), p.value.c_str(),
                  p.why.c_str());
    }
    std::printf("largest resident size: %ld kB before the check, %ld kB after\n", residentBefore,
                maxResidentKb());
    status = 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
  }
  std::filesystem::remove_all(folder);
  return status;
}
