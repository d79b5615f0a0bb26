#include "rules/address_rules.h"

#include <gtest/gtest.h>

#include "form_fixture.h"

namespace ccp {
namespace {

using test::FormFixture;

const std::string kRangeMessage1 =
    "Address [1] range out, should be within 8-2007663; 2007672-2045055; 2045064-2097143";

class AddressRules : public ::testing::Test {
 protected:
  TextField& address(int n) { return fx.f().textField("address" + std::to_string(n)); }
  TextField& frame(int n) { return fx.f().textField("frame" + std::to_string(n)); }
  std::size_t logSize() const { return fx.lines().size(); }
  void empty(TextField& field) {
    while (!field.text().empty()) field.type(std::string(1, kBackspace));
  }

  FormFixture fx;
};

TEST_F(AddressRules, TypingShowsTheFrameAsSoonAsTheTextIsValid) {
  empty(address(1));
  EXPECT_EQ(frame(1).text(), " ");
  address(1).type("2004003");
  EXPECT_EQ(frame(1).text(), "3");
  empty(address(1));
  EXPECT_EQ(frame(1).text(), " ");
}

TEST_F(AddressRules, SeventhDigitOfAnInvalidCapcodeReportsOnce) {
  empty(address(1));
  const std::size_t before = logSize();
  fx.f().textField("address2").setFocus();
  address(1).type("200766");
  EXPECT_EQ(logSize(), before);
  EXPECT_EQ(fx.platform.beeps, 0);
  address(1).type("5");
  ASSERT_EQ(logSize(), before + 1);
  EXPECT_EQ(fx.lines().back(), kRangeMessage1);
  EXPECT_EQ(fx.platform.beeps, 1);
  EXPECT_EQ(fx.f().focused(), &address(1));
  EXPECT_EQ(address(1).text(), "2007665");
  address(1).leave();  // the exit rule runs the change rule again
  EXPECT_EQ(logSize(), before + 2);
  EXPECT_EQ(fx.platform.beeps, 2);
}

TEST_F(AddressRules, LeavingPadsWithLeadingZeros) {
  TextField& a2 = address(2);
  empty(a2);
  a2.type("5");
  const std::size_t before = logSize();
  a2.leave();
  EXPECT_EQ(a2.text(), "0000005");
  ASSERT_EQ(logSize(), before + 2);
  EXPECT_EQ(fx.lines().back(),
            "Address [2] range out, should be within 8-2007663; 2007672-2045055; 2045064-2097143");
  EXPECT_EQ(fx.platform.beeps, 2);
  EXPECT_EQ(fx.f().focused(), &a2);

  TextField& a3 = address(3);
  empty(a3);
  a3.type("2004");
  const std::size_t quiet = logSize();
  a3.leave();
  EXPECT_EQ(a3.text(), "0002004");
  EXPECT_EQ(frame(3).text(), "4");
  EXPECT_EQ(logSize(), quiet);

  empty(a3);
  a3.leave();
  EXPECT_EQ(a3.text(), "0000000");
}

TEST_F(AddressRules, LengthKeyFilterOnEveryDigitField) {
  for (const char* name :
       {"address1", "pubboxlength3", "contrast", "lcdholdtime", "password", "rangetime"}) {
    TextField& field = fx.f().textField(name);
    const std::string before = field.text();
    const int beeps = fx.platform.beeps;
    field.type("a");
    field.type(" ");
    field.type(".");
    EXPECT_EQ(field.text(), before) << name;
    EXPECT_EQ(fx.platform.beeps, beeps + 3) << name;
    EXPECT_EQ(fx.lines().back(), "Number Key and back space key only");
    field.setCaret(field.text().size());
    field.type(std::string(1, kBackspace));
    EXPECT_EQ(field.text(), before.substr(0, before.size() - 1)) << name;
  }
}

TEST_F(AddressRules, RowEnableDisablesTheWholeRowAndKeepsTheFrameDisabled) {
  CheckBox& en = fx.f().checkBox("addr4en");
  en.click();
  for (const char* name :
       {"address4", "frame4", "autoinc4", "msgtype4", "addr4formatA", "addr4formatD"}) {
    EXPECT_FALSE(fx.f().findControl(name)->enabled()) << name;
  }
  en.click();
  for (const char* name : {"address4", "autoinc4", "msgtype4", "addr4formatB"}) {
    EXPECT_TRUE(fx.f().findControl(name)->enabled()) << name;
  }
  EXPECT_FALSE(frame(4).enabled());
  EXPECT_EQ(address(4).text(), "2004024");
}

TEST_F(AddressRules, AutoincAcceptsZeroToEightAndCannotBeLeftEmpty) {
  ComboBox& autoinc = fx.f().comboBox("autoinc1");
  const std::size_t before = logSize();
  autoinc.type("9");
  EXPECT_EQ(autoinc.text(), "0");
  EXPECT_EQ(fx.platform.beeps, 1);
  EXPECT_EQ(logSize(), before);
  autoinc.type("5");
  EXPECT_EQ(autoinc.text(), "5");
  EXPECT_EQ(autoinc.index(), 5);
  autoinc.type(std::string(1, kBackspace));
  EXPECT_EQ(autoinc.text(), "");
  fx.f().textField("address1").setFocus();
  autoinc.leave();
  EXPECT_EQ(fx.f().focused(), &autoinc);
}

TEST_F(AddressRules, NonNumericTextFailsTheConversionWithTheErrorBox) {
  address(1).edit("12ab", 4);
  ASSERT_EQ(fx.platform.errors.size(), 1u);
  EXPECT_EQ(fx.platform.errors[0], "'12ab' is not a valid integer value");
}

}  // namespace
}  // namespace ccp
