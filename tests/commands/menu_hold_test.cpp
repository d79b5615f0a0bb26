#include <gtest/gtest.h>

#include <stdexcept>

#include "commands/pager_records.h"
#include "files/temp_folder.h"
#include "pager_fixture.h"

namespace ccp {
namespace {

const char* const kHeld[] = {"Open1", "Save1",        "OpenBackup1",   "LPT11",
                             "LPT21", "WriteToPager", "ReadFromPager", "TestProgrammer1"};

std::vector<bool> enabledStates(TForm1& form) {
  std::vector<bool> states;
  for (const char* name : kHeld) states.push_back(form.menuItem(name).enabled());
  return states;
}

const std::vector<bool> kAllDisabled(std::size(kHeld), false);

// Every state the held items showed while the command ran, seen from its dialogs and progress.
template <typename Fixture>
std::vector<std::vector<bool>> statesDuring(Fixture& fx, const char* command) {
  std::vector<std::vector<bool>> seen;
  fx.platform.duringCommand = [&] { seen.push_back(enabledStates(fx.f())); };
  fx.f().menuItem(command).trigger();
  fx.platform.duringCommand = nullptr;
  return seen;
}

TEST(MenuHold, EveryCommandShowsTheOthersDisabledUntilItEnds) {
  test::TempFolder dir;
  const std::string path = dir.file("held.eep");
  const struct {
    const char* command;
    const char* lastLine;
  } cases[] = {
      {"Save1", "ok!"},
      {"Open1", "File loaded"},
      {"WriteToPager", "Verify OK !"},
      {"ReadFromPager", "Read completed"},
      {"OpenBackup1", "File loaded"},
      {"WriteToPager", "Verify OK !"},  // with a backup first: the records are bound below
  };
  test::PagerFixture fx;
  PagerRecords records(dir.file("records"));
  records.setBackupBeforeWrite(true);
  bool recordsBound = false;
  for (const auto& c : cases) {
    if (c.command == std::string("OpenBackup1")) {
      bindPagerRecords(fx.f(), records);
      recordsBound = true;
    }
    SCOPED_TRACE(c.command);
    fx.platform.saveAnswers = {path};
    fx.platform.openAnswers = {path};
    const std::vector<bool> before = enabledStates(fx.f());
    const auto seen = statesDuring(fx, c.command);
    EXPECT_EQ(fx.lines().back(), c.lastLine);
    ASSERT_FALSE(seen.empty());
    for (const auto& states : seen) EXPECT_EQ(states, kAllDisabled);
    EXPECT_EQ(enabledStates(fx.f()), before);
  }
  EXPECT_TRUE(recordsBound);
}

TEST(MenuHold, EveryWayOutRestoresThePreviousStates) {
  test::TempFolder dir;
  // No port access: start-up disabled both pager commands for good.
  test::FormFixture fx(test::kE, false);
  const std::vector<bool> atStart = {true, true, false, true, true, false, false, false};
  ASSERT_EQ(enabledStates(fx.f()), atStart);

  fx.platform.saveAnswers = {dir.file("a.eep")};
  EXPECT_EQ(statesDuring(fx, "Save1"), std::vector<std::vector<bool>>{kAllDisabled});
  EXPECT_EQ(enabledStates(fx.f()), atStart);

  // A setting that is not a number: the error box of the dispatch boundary.
  fx.f().textField("contrast").setText("");
  fx.platform.saveAnswers = {dir.file("b.eep")};
  statesDuring(fx, "Save1");
  EXPECT_EQ(fx.platform.errors.size(), 1u);
  EXPECT_EQ(enabledStates(fx.f()), atStart);

  // Any other failure crosses the boundary to the window's own error box.
  fx.platform.duringCommand = [] { throw std::runtime_error("dialog failed"); };
  EXPECT_THROW(fx.f().menuItem("Open1").trigger(), std::runtime_error);
  fx.platform.duringCommand = nullptr;
  EXPECT_EQ(enabledStates(fx.f()), atStart);
}

}  // namespace
}  // namespace ccp
