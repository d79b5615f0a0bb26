#include "commands/command_progress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "pager_fixture.h"

namespace ccp {
namespace {

using test::PagerFixture;
using Names = std::vector<std::string>;

Names namesOf(const CommandPlan& plan) {
  Names names;
  for (const CommandPhase& phase : plan) names.push_back(phase.name);
  return names;
}

const CommandPlan& planFor(const std::string& command, Edition edition) {
  static const CommandPlan read = readFromPagerPlan();
  static const CommandPlan customerWrite = writeToPagerPlan(Edition::Customer);
  static const CommandPlan factoryWrite = writeToPagerPlan(Edition::Factory);
  if (command == "ReadFromPager") return read;
  return edition == Edition::Customer ? customerWrite : factoryWrite;
}

TEST(CommandProgress, EachCommandHasItsPhasesAndTheirWeightsMakeTheWhole) {
  const struct {
    CommandPlan plan;
    Names names;
  } cases[] = {
      {readFromPagerPlan(), {"Decoder read", "EEPROM read"}},
      {writeToPagerPlan(Edition::Customer),
       {"EEPROM read", "Decoder write", "Decoder verify", "EEPROM write", "EEPROM verify"}},
      {writeToPagerPlan(Edition::Factory),
       {"Decoder write", "Decoder verify", "EEPROM write", "EEPROM verify"}},
      {withBackupRead(writeToPagerPlan(Edition::Customer)),
       {"Backup Decoder read", "Backup EEPROM read", "EEPROM read", "Decoder write",
        "Decoder verify", "EEPROM write", "EEPROM verify"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(namesOf(c.plan), c.names);
    CommandProgress progress(c.plan, {});
    double sum = 0;
    for (std::size_t i = 0; i < c.plan.size(); ++i) {
      EXPECT_GT(progress.weight(i), 0.0) << c.plan[i].name;
      sum += progress.weight(i);
    }
    EXPECT_NEAR(sum, 1.0, 1e-12);
  }
}

// Whole commands on the simulated Programmer and the virtual clock: one bar from 0 to 100 %
// that keeps pace with the time, the phases of the command in order, and a time left that
// counts down to nothing.
TEST(CommandProgress, WholeCommandsOnTheSimulator) {
  const struct {
    const char* command;
    BuildConfig config;
    const char* lastLine;
  } cases[] = {
      {"ReadFromPager", test::kE, "Read completed"},
      {"WriteToPager", test::kE, "Verify OK !"},
      {"WriteToPager", test::kEFactory, "Verify OK !"},
      {"WriteToPager", test::kH, "Verify OK !"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + (c.config.edition == Edition::Factory ? " factory" : ""));
    PagerFixture fx(c.config);
    const CommandPlan& plan = planFor(c.command, c.config.edition);
    const CommandProgress model(plan, {});
    const double totalUs = static_cast<double>(model.totalUs());
    struct Seen {
      testkit::FakePlatform::Progress report;
      double elapsedUs;
    };
    std::vector<Seen> seen;
    const std::uint64_t start = fx.clock.nowNs();
    fx.platform.onProgress = [&](const testkit::FakePlatform::Progress& p) {
      seen.push_back({p, static_cast<double>(fx.clock.nowNs() - start) / 1000.0});
    };
    fx.f().menuItem(c.command).trigger();
    ASSERT_EQ(fx.lines().back(), c.lastLine);
    EXPECT_EQ(fx.clock.nowNs() - start, model.totalUs() * 1000) << "the command lasts as planned";

    ASSERT_GE(seen.size(), 3u);
    EXPECT_TRUE(seen.back().report.phase.empty()) << "ended";
    seen.pop_back();
    EXPECT_EQ(seen.front().report.percent, 0);
    EXPECT_EQ(seen.front().report.secondsLeft, static_cast<int>(std::ceil(totalUs / 1e6)));
    Names phases;
    for (std::size_t i = 0; i < seen.size(); ++i) {
      const auto& r = seen[i].report;
      if (phases.empty() || phases.back() != r.phase) phases.push_back(r.phase);
      EXPECT_NEAR(r.percent, 100.0 * seen[i].elapsedUs / totalUs, 1.0) << r.phase;
      EXPECT_NEAR(r.secondsLeft, (totalUs - seen[i].elapsedUs) / 1e6, 1.0) << r.phase;
      if (i > 0) {
        EXPECT_GE(r.percent, seen[i - 1].report.percent) << r.phase;
        EXPECT_LE(r.secondsLeft, seen[i - 1].report.secondsLeft) << r.phase;
      }
    }
    EXPECT_EQ(phases, namesOf(plan));
    EXPECT_LE(seen.back().report.secondsLeft, 1);
  }
}

TEST(CommandProgress, AFailedCommandEndsItsBar) {
  PagerFixture fx;
  fx.programmer.setNoPager(true);
  fx.f().menuItem("WriteToPager").trigger();
  ASSERT_EQ(fx.lines().back(), "Pager Read error, please check the connection.");
  const auto& progress = fx.platform.progress;
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(progress.back().phase.empty());
  for (const auto& p : progress) EXPECT_LT(p.percent, 100);
}

// Reports of a read before a write: the same step twice in a row is two phases, told apart by
// their counts starting again.
TEST(CommandProgress, RepeatedStepsAreSeparatePhases) {
  const CommandPlan plan = withBackupRead(writeToPagerPlan(Edition::Customer));
  Names phases;
  int lastPercent = -1;
  CommandProgress progress(plan, [&](const ProgressReport& r) {
    if (phases.empty() || phases.back() != r.phase) phases.emplace_back(r.phase);
    EXPECT_GE(r.percent, lastPercent);
    lastPercent = r.percent;
  });
  for (const CommandPhase& phase : plan) {
    for (int done = 1; done <= phase.timing.units; ++done) {
      progress.report(linkStepName(phase.step), done, phase.timing.units);
    }
  }
  EXPECT_EQ(phases, namesOf(plan));
  EXPECT_EQ(lastPercent, 99);  // the last tail is still to come
  // An unknown step or a step the plan has no more of moves nothing.
  progress.report("Decoder write", 1, 8);
  progress.report("Flash erase", 1, 8);
  EXPECT_EQ(phases.back(), "EEPROM verify");
}

TEST(CommandProgress, ASlowCommandIsGivenMoreTimeLeft) {
  testkit::VirtualClock clock;
  const CommandPlan plan = readFromPagerPlan();
  std::vector<ProgressReport> reports;
  CommandProgress progress(
      plan, [&](const ProgressReport& r) { reports.push_back(r); }, &clock);
  const StepTiming& decoder = plan[0].timing;
  const std::uint64_t remainingUs = progress.totalUs() - decoder.atUnitUs(decoder.units);
  clock.advanceNs(2 * decoder.atUnitUs(decoder.units) * 1000);  // twice as slow as the minimum
  progress.report("Decoder read", decoder.units, decoder.units);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].secondsLeft, static_cast<int>((2 * remainingUs + 999'999) / 1'000'000));
}

}  // namespace
}  // namespace ccp
