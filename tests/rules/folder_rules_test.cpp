#include "rules/folder_rules.h"

#include <gtest/gtest.h>

#include "form_fixture.h"
#include "shell/form_controls.h"

namespace ccp {
namespace {

const char* const kTrim = "Out of total length 99, trim down the length automatic";
const char* const kRefused = "Total length already reached max. 99, can not enable this mail box";

class FolderRules : public ::testing::Test {
 protected:
  CheckBox& act(int k) { return fx.f().checkBox("pubboxact" + folderDigit(k)); }
  TextField& title(int k) { return fx.f().textField("pubbox" + folderDigit(k)); }
  TextField& length(int k) { return fx.f().textField("pubboxlength" + folderDigit(k)); }
  void typeLength(int k, const std::string& digits) {
    length(k).edit("", 0);
    length(k).type(digits);
  }
  int total() {
    int sum = 0;
    for (int k = 0; k < 16; ++k) {
      if (act(k).checked()) sum += std::stoi(length(k).text());
    }
    return sum;
  }
  // Folder k's state: 'E' enabled (checked), 'A' available (box enabled, unchecked), 'U'.
  std::string states() {
    std::string s;
    for (int k = 0; k < 16; ++k) s += act(k).checked() ? 'E' : act(k).enabled() ? 'A' : 'U';
    return s;
  }

  test::FormFixture fx;
};

TEST_F(FolderRules, LeavingALengthThatPassesNinetyNineTrimsIt) {
  typeLength(0, "90");
  const std::size_t before = fx.lines().size();
  length(0).leave();
  EXPECT_EQ(length(0).text(), "84");
  EXPECT_EQ(total(), 99);
  ASSERT_EQ(fx.lines().size(), before + 1);
  EXPECT_EQ(fx.lines().back(), kTrim);
  EXPECT_EQ(fx.platform.beeps, 1);
}

TEST_F(FolderRules, ZeroLengthIsRefusedAndKeepsTheFocus) {
  for (const char* zero : {"0", "00"}) {
    typeLength(5, zero);
    fx.f().textField("pubbox0").setFocus();
    length(5).leave();
    EXPECT_EQ(length(5).text(), zero);
    EXPECT_EQ(fx.lines().back(), "Length should large than ZERO");
    EXPECT_EQ(fx.f().focused(), &length(5));
  }
  EXPECT_EQ(fx.platform.beeps, 2);
}

TEST_F(FolderRules, UncheckingDisablesTheLaterFoldersOfItsChainOnly) {
  act(1).click();
  EXPECT_EQ(states(), "EAUUUUUUEEEEEEEE");
  EXPECT_FALSE(title(1).enabled());
  EXPECT_FALSE(length(1).enabled());
  EXPECT_FALSE(title(7).enabled());
  act(1).click();
  EXPECT_EQ(states(), "EEAUUUUUEEEEEEEE");
  EXPECT_TRUE(title(2).enabled());
  EXPECT_TRUE(length(2).enabled());
  EXPECT_FALSE(title(3).enabled());

  act(15).click();  // the end of a chain has no later folders
  EXPECT_EQ(states(), "EEAUUUUUEEEEEEEA");
}

TEST_F(FolderRules, CheckingAFolderRefusedAtTheLimit) {
  act(3).click();  // folders 3 to 7 off: total 11
  typeLength(0, "89");
  length(0).leave();  // total 99
  ASSERT_EQ(total(), 99);
  const int beeps = fx.platform.beeps;
  const std::size_t before = fx.lines().size();
  act(3).click();
  EXPECT_FALSE(act(3).checked());
  EXPECT_FALSE(length(3).enabled());
  EXPECT_EQ(fx.platform.beeps, beeps + 1);
  ASSERT_EQ(fx.lines().size(), before + 1);
  EXPECT_EQ(fx.lines().back(), kRefused);
}

TEST_F(FolderRules, CheckingAFolderThatPassesTheLimitCutsItsLength) {
  act(3).click();  // total 11 (folders 0-2 and 8-F)
  typeLength(0, "79");
  length(0).leave();  // total 89
  ASSERT_EQ(total(), 89);
  length(3).setText("15");
  act(3).click();
  EXPECT_TRUE(act(3).checked());
  EXPECT_EQ(length(3).text(), "10");
  EXPECT_EQ(total(), 99);
  EXPECT_EQ(fx.lines().back(), kTrim);
  EXPECT_TRUE(act(4).enabled());
  EXPECT_FALSE(act(4).checked());
}

TEST_F(FolderRules, LoadedOverfullConfigurationNeverCutsBelowOne) {
  for (int k = 0; k < 16; ++k) length(k).setText("50");  // total 800, as a file could hold
  typeLength(2, "10");
  length(2).leave();
  EXPECT_EQ(length(2).text(), "1");
  EXPECT_EQ(fx.lines().back(), kTrim);
}

TEST_F(FolderRules, TitlesArePaddedToNine) {
  title(4).edit("AB", 2);
  title(4).leave();
  EXPECT_EQ(title(4).text(), "AB       ");
  title(0).leave();
  EXPECT_EQ(title(0).text(), "FOLDER 00 ");
}

TEST_F(FolderRules, EmptyLengthOfACheckedFolderFailsTheConversion) {
  typeLength(6, "");
  length(2).leave();
  ASSERT_EQ(fx.platform.errors.size(), 1u);
  EXPECT_EQ(fx.platform.errors[0], "'' is not a valid integer value");
}

TEST_F(FolderRules, MessageTypesWithdrawAndReopenTheFolders) {
  TForm1& f = fx.f();
  f.comboBox("msgtype2").choose(0);
  f.comboBox("msgtype3").choose(0);
  EXPECT_EQ(states(), std::string(16, 'E'));
  f.comboBox("msgtype4").choose(0);
  EXPECT_EQ(states(), std::string(16, 'U'));
  for (int k = 0; k < 16; ++k) {
    EXPECT_FALSE(title(k).enabled());
    EXPECT_EQ(length(k).text(), "1");
  }
  f.comboBox("msgtype3").choose(1);
  EXPECT_EQ(states(), "AUUUUUUUAUUUUUUU");
  EXPECT_FALSE(title(0).enabled());
  EXPECT_FALSE(length(8).enabled());
  f.comboBox("msgtype5").choose(1);  // another public address: nothing visible changes
  EXPECT_EQ(states(), "AUUUUUUUAUUUUUUU");
}

TEST_F(FolderRules, RowsNotInUseNeverCountAsPublic) {
  for (const char* row : {"addr2en", "addr3en"}) fx.f().checkBox(row).click();
  EXPECT_EQ(states(), std::string(16, 'E'));
  fx.f().checkBox("addr4en").click();
  EXPECT_EQ(states(), std::string(16, 'U'));
  fx.f().checkBox("addr3en").click();
  EXPECT_EQ(states(), "AUUUUUUUAUUUUUUU");
}

}  // namespace
}  // namespace ccp
