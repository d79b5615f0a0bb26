// A customer's list written by a line of stations: four ccp processes on one shared register,
// each with its own simulated Programmer and a new pager for each row.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "cli_fixture.h"
#include "files/config_file.h"
#include "image/capcode.h"
#include "register/engine_fixture.h"
#include "testkit/station_processes.h"

namespace ccp {
namespace {

using FleetLineTest = test::EngineTest;

constexpr int kRows = 40;
constexpr int kStations = 4;

// The template: a fresh pager with only rows 1 and 2 on.
std::string templateFile(test::CliFixture& cli) {
  const std::string file = cli.defaultFile("template.eep");
  EXPECT_EQ(cli.run({"set", file, "addr3en=off", "addr4en=off", "addr5en=off", "addr6en=off"}),
            cli::kDone);
  return file;
}

TEST_P(FleetLineTest, FourStationsWriteEachRowOnceEachOnAPagerOfItsOwn) {
  const std::string location = newRegister();
  test::CliFixture setup;
  const std::string pattern = templateFile(setup);
  std::string list = "Name;Capcode;Capcode 2;Serial No.\n";
  for (int i = 0; i < kRows; ++i) {
    list += "Bed " + std::to_string(i + 1) + ";" + capcodeText(1200000 + 8 * i) + ";0000008;SN" +
            std::to_string(10000 + i) + "\n";
  }
  const std::string path = setup.folder.file("ward.csv");
  test::writeBytes(path, {list.begin(), list.end()});

  const auto run = testkit::runStations(
      kStations,
      [&](int station, const testkit::Say& say) {
        test::CliFixture cli;
        cli.services.environmentRegister = location;
        cli.services.settings.station = "station-" + std::to_string(station + 1);
        cli.services.pagerFolder = folder_.file("pagers/" + std::to_string(station));
        std::filesystem::create_directories(cli.services.pagerFolder);
        const int status = cli.run({"fleet", "write", path, "--template", pattern, "--port",
                                    "simulator", "--fresh", "--no-prompt", "-q"});
        cli.services.keepPager();
        say(status == 0 ? "0" : cli.out.str() + cli.err.str());
      },
      std::chrono::seconds(300));
  ASSERT_TRUE(run.inTime);
  for (const auto& station : run.stations) {
    ASSERT_EQ(station.lines, std::vector<std::string>{"0"}) << station.error;
  }

  // Every pager written holds one row's capcode, and no two pagers the same.
  std::map<int, int> pagersOf;  // capcode 1: the pagers that have it
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.file("pagers"))) {
    if (entry.path().extension() != ".eep") continue;
    const auto bytes = test::readBytes(entry.path().string());
    PagerContents pager;
    splitConfigFile(bytes, pager.eeprom, pager.decoder);
    const DecoderAddress first = readAddress(pager.decoder, 1);
    if (first.enabled && first.capcode >= 1200000 && first.capcode < 1200000 + 8 * kRows) {
      ++pagersOf[first.capcode];
    }
  }
  ASSERT_EQ(pagersOf.size(), static_cast<std::size_t>(kRows));
  for (const auto& [capcode, pagers] : pagersOf) EXPECT_EQ(pagers, 1) << capcode;

  // The register has each row done once, and the list given back says so of every row.
  test::CliFixture reader;
  reader.services.environmentRegister = location;
  ASSERT_EQ(reader.run({"fleet", "export", path, "-o", "-"}), cli::kDone);
  const auto lines = reader.outLines();
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kRows + 1));
  std::set<std::string> records;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> fields;
    std::stringstream line(lines[i]);
    for (std::string field; std::getline(line, field, ';');) fields.push_back(field);
    ASSERT_GE(fields.size(), 8u) << lines[i];
    EXPECT_EQ(fields[4], "done") << lines[i];
    EXPECT_TRUE(pagersOf.count(std::stoi(fields[1]))) << lines[i];
    records.insert(fields[8]);
  }
  EXPECT_EQ(records.size(), static_cast<std::size_t>(kRows));  // a verified write each
}

INSTANTIATE_TEST_SUITE_P(Server, FleetLineTest, ::testing::Values(Engine::PostgreSQL),
                         test::engineName);

}  // namespace
}  // namespace ccp
