#include <gtest/gtest.h>

#include "form_fixture.h"

namespace ccp {
namespace {

using test::FormFixture;

void retype(TextField& field, const std::string& text) {
  field.edit("", 0);
  field.type(text);
}

TEST(ChannelFrequency, ThePointFollowsTheThirdDigit) {
  FormFixture fx;
  TextField& freq = fx.f().textField("channelfreq");
  freq.edit("", 0);
  freq.type("457");
  EXPECT_EQ(freq.text(), "457.");
  EXPECT_EQ(freq.caret(), 4u);
  freq.type(".x");
  EXPECT_EQ(freq.text(), "457.");
  EXPECT_EQ(fx.platform.beeps, 2);
  EXPECT_TRUE(fx.lines().size() == 2);  // no log line for a refused key
  freq.leave();
  EXPECT_EQ(freq.text(), "457.00000");
}

TEST(ChannelFrequency, LeavingPadsThenSnapsToTheSynthesizerGrid) {
  struct Case {
    const char* typed;
    const char* shown;
  } cases[] = {{"45", "450.00000"}, {"433.92", "433.92500"}, {"152.24", "152.23750"}};
  for (const auto& c : cases) {
    FormFixture fx;
    TextField& freq = fx.f().textField("channelfreq");
    freq.edit(c.typed, 0);
    freq.leave();
    EXPECT_EQ(freq.text(), c.shown) << c.typed;
  }
}

TEST(ChannelFrequency, TextWithoutPointGetsZerosOnly) {
  FormFixture fx;
  TextField& freq = fx.f().textField("channelfreq");
  freq.edit("4570", 4);
  freq.leave();
  // "4570" + "00000" is 457000000 MHz: far beyond every chip layout, so it is refused.
  ASSERT_EQ(fx.platform.errors.size(), 1u);
  EXPECT_EQ(fx.platform.errors[0], "'457000000' is not a valid channel frequency");
  EXPECT_EQ(freq.text(), "457000000");
}

TEST(ChannelFrequency, FrequencyBelowTheIntermediateOrTooHighToShowIsRefusedAndChangesNothing) {
  // 999.99999 snaps to 1000 MHz, which the field's three digits before the point cannot show.
  for (const std::string typed : {"010.00000", "999.99999"}) {
    FormFixture fx;
    Image before = fx.f().image();
    TextField& freq = fx.f().textField("channelfreq");
    freq.edit(typed, 9);
    freq.leave();
    ASSERT_EQ(fx.platform.errors.size(), 1u);
    EXPECT_EQ(fx.platform.errors[0], "'" + typed + "' is not a valid channel frequency");
    EXPECT_EQ(freq.text(), typed);
    EXPECT_EQ(fx.f().image().eep, before.eep);
    EXPECT_EQ(fx.f().image().decoder, before.decoder);
  }
}

TEST(ChannelSpacing, HandProgramFollowsRestrictedFirmware) {
  struct Case {
    const char* version;
    const char* subversion;
    bool restricted;
  } cases[] = {{"1", "", true}, {"2", "", true}, {"2", "A", false}, {"3", "", false}};
  for (const auto& c : cases) {
    FormFixture fx(test::kEFactory);
    TForm1& f = fx.f();
    retype(f.textField("firmwareversion"), c.version);
    retype(f.textField("subversion"), c.subversion);
    CheckBox& hand = f.checkBox("handprogram");
    hand.setChecked(true);
    f.comboBox("channelspace").choose(2);
    EXPECT_EQ(hand.enabled(), !c.restricted) << c.version << c.subversion;
    EXPECT_EQ(hand.checked(), !c.restricted) << c.version << c.subversion;
    f.comboBox("channelspace").choose(0);
    EXPECT_TRUE(hand.enabled());
    EXPECT_EQ(f.textField("channelfreq").text(), "457.00000");
  }
}

TEST(ChannelSpacing, ChangingTheSpacingReEncodesTheFrequency) {
  FormFixture fx;
  TForm1& f = fx.f();
  f.textField("channelfreq").edit("152.24000", 9);
  f.comboBox("channelspace").choose(0);
  EXPECT_EQ(f.textField("channelfreq").text(), "152.23750");
  EXPECT_EQ(f.image().eep[0x47], 0x00);
  f.comboBox("channelspace").choose(1);
  EXPECT_EQ(f.image().eep[0x47], 0x10);
}

TEST(ChannelSpacing, EmptyFirmwareVersionFailsBeforeAnythingChanges) {
  FormFixture fx(test::kEFactory);
  retype(fx.f().textField("firmwareversion"), "");
  fx.f().comboBox("channelspace").choose(2);
  ASSERT_EQ(fx.platform.errors.size(), 1u);
  EXPECT_EQ(fx.platform.errors[0], "'' is not a valid integer value");
  EXPECT_EQ(fx.f().image().eep[0x47], 0x00);
}

TEST(FirmwareVersion, OptionSetsFollowTheVersionText) {
  FormFixture fx(test::kEFactory);
  TForm1& f = fx.f();
  ComboBox& alert = f.comboBox("alerttime");
  ComboBox& display = f.comboBox("msgdisptime");
  alert.choose(4);
  retype(f.textField("firmwareversion"), "3");
  EXPECT_EQ(alert.count(), 4);
  EXPECT_EQ(alert.text(), "16 sec");
  EXPECT_EQ(display.count(), 4);
  EXPECT_EQ(display.text(), "32 sec");
  EXPECT_FALSE(f.checkBox("outrangespecial").visible());
  EXPECT_FALSE(f.checkBox("lowbatteryspecial").visible());
  EXPECT_TRUE(f.textField("serial").visible());

  retype(f.textField("firmwareversion"), "1");
  for (const char* name : {"serial", "rangetime", "L_serial", "L_rangetime", "L_rangetimeSec"}) {
    EXPECT_FALSE(f.findControl(name)->visible()) << name;
  }
  retype(f.textField("firmwareversion"), "4");
  EXPECT_EQ(alert.count(), 5);
  EXPECT_EQ(alert.itemText(4), "64 sec");
  EXPECT_EQ(display.count(), 5);
  EXPECT_TRUE(f.checkBox("lowbatteryspecial").visible());
  EXPECT_TRUE(f.textField("rangetime").visible());
}

// The version is compared as text: "2" shows the identity fields, "3" frees "Hand program"
// from the spacing, "4" brings the long times; "12" is below "2".
TEST(FirmwareVersion, BoundariesAtTwoThreeAndFour) {
  struct Case {
    const char* version;
    bool handEnabled;  // with the spacing "12.5KHz"
    bool identityShown;
    bool longTimes;  // as left by start-up's "4" when the identity is hidden
  } cases[] = {{"", false, false, true},  {"1", false, false, true}, {"12", false, false, true},
               {"2", false, true, false}, {"3", true, true, false},  {"4", true, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("version '") + c.version + "'");
    FormFixture fx(test::kEFactory);
    TForm1& f = fx.f();
    f.comboBox("channelspace").choose(2);
    TextField& version = f.textField("firmwareversion");
    version.setText("");
    version.setText(c.version);
    EXPECT_EQ(f.checkBox("handprogram").enabled(), c.handEnabled);
    for (const char* name : {"serial", "rangetime", "L_serial", "L_rangetime", "L_rangetimeSec"})
      EXPECT_EQ(f.findControl(name)->visible(), c.identityShown) << name;
    EXPECT_EQ(f.checkBox("outrangespecial").visible(), c.longTimes);
    EXPECT_EQ(f.checkBox("lowbatteryspecial").visible(), c.longTimes);
    EXPECT_EQ(f.comboBox("alerttime").count(), c.longTimes ? 5 : 4);
    EXPECT_EQ(f.comboBox("msgdisptime").count(), c.longTimes ? 5 : 4);
  }
}

TEST(FirmwareVersion, HandProgramByVersionTextOnlyDisables) {
  FormFixture fx(test::kEFactory);
  TForm1& f = fx.f();
  CheckBox& hand = f.checkBox("handprogram");
  hand.setChecked(true);
  f.comboBox("channelspace").choose(1);  // "20KHz" with version 4
  retype(f.textField("firmwareversion"), "2");
  EXPECT_TRUE(hand.enabled());  // "20KHz" passes this rule
  f.comboBox("channelspace").setIndex(2);
  retype(f.textField("firmwareversion"), "1");
  EXPECT_FALSE(hand.enabled());
  EXPECT_TRUE(hand.checked());
}

TEST(KeyRules, FiltersAndTheirMessages) {
  struct Case {
    const char* field;
    const char* accepted;
    const char* refused;
    const char* message;  // nullptr: no log line
  } cases[] = {
      {"subversion", "C", "c", "A-F and back space key only"},
      {"tonepatternA", "0A9F", "g", "0-9, A-F and back space key only"},
      {"serial", "aZ09", "-", "0-9, A-Z, a-z and back space key only"},
  };
  for (const auto& c : cases) {
    FormFixture fx(test::kEFactory);
    TextField& field = fx.f().textField(c.field);
    const int beeps = fx.platform.beeps;
    field.edit("", 0);
    field.type(c.accepted);
    EXPECT_EQ(field.text(), c.accepted) << c.field;
    field.type(c.refused);
    EXPECT_EQ(field.text(), c.accepted) << c.field;
    EXPECT_EQ(fx.platform.beeps, beeps + 1) << c.field;
    EXPECT_EQ(fx.lines().back(), c.message) << c.field;
  }
  FormFixture fx;
  for (const char* list : {"alerttime", "baudrate", "dateformat", "language"}) {
    ComboBox& box = fx.f().comboBox(list);
    const int index = box.index();
    box.type("1a\b");
    EXPECT_EQ(box.index(), index) << list;
  }
  EXPECT_EQ(fx.platform.beeps, 0);
  // Other tone patterns take any character.
  TextField& b = fx.f().textField("tonepatternB");
  b.edit("", 0);
  b.type("zz");
  EXPECT_EQ(b.text(), "zz");
}

TEST(Clamps, ContrastRangeTimeAndHoldTime) {
  struct Case {
    const char* field;
    const char* typed;
    const char* result;
  } cases[] = {{"contrast", "7", "8"},      {"contrast", "64", "63"},    {"contrast", "99", "63"},
               {"contrast", "8", "8"},      {"contrast", "63", "63"},    {"rangetime", "0", "000"},
               {"rangetime", "300", "255"}, {"rangetime", "254", "254"}, {"rangetime", "1", "1"}};
  for (const auto& c : cases) {
    FormFixture fx;
    TextField& field = fx.f().textField(c.field);
    field.edit(c.typed, 0);
    field.leave();
    EXPECT_EQ(field.text(), c.result) << c.field << " " << c.typed;
  }
  FormFixture fx;
  TextField& hold = fx.f().textField("lcdholdtime");
  hold.edit("", 0);
  hold.type("30");
  EXPECT_EQ(hold.text(), "30");
  hold.type("0");
  EXPECT_EQ(hold.text(), "255");
}

TEST(Clamps, EmptyContrastShowsTheErrorAndKeepsTheField) {
  FormFixture fx;
  TextField& contrast = fx.f().textField("contrast");
  contrast.edit("", 0);
  contrast.leave();
  ASSERT_EQ(fx.platform.errors.size(), 1u);
  EXPECT_EQ(fx.platform.errors[0], "'' is not a valid integer value");
  EXPECT_EQ(contrast.text(), "");
}

TEST(Padding, GreetingAndSerial) {
  FormFixture fx;
  TextField& hello = fx.f().textField("hellomsg1");
  hello.edit("HELLO", 5);
  hello.leave();
  EXPECT_EQ(hello.text(), "HELLO         ");
  TextField& serial = fx.f().textField("serial");
  serial.edit("123", 3);
  serial.leave();
  EXPECT_EQ(serial.text(), "123     ");
}

TEST(RepeatCall, DisableTurnsOffTheRejectionTime) {
  FormFixture fx;
  fx.f().comboBox("repeatcallcheck").choose(2);
  EXPECT_FALSE(fx.f().comboBox("repeatcallreject").enabled());
  fx.f().comboBox("repeatcallcheck").choose(1);
  EXPECT_TRUE(fx.f().comboBox("repeatcallreject").enabled());
}

TEST(ServiceCode, FactoryEditionShowsTheServiceFieldsOnce) {
  const char* service[] = {"L_PubHeader", "chineseheader", "engheader", "clearheader",
                           "L_BS",        "BS1",           "BS2",       "BS3",
                           "L_Acheck",    "addrcheck",     "L_Dcheck",  "datacheck"};
  struct Case {
    BuildConfig config;
    const char* serial;
    bool shown;
  } cases[] = {{test::kEFactory, "Wrenfold", true},
               {test::kHFactory, "Wrenfold", true},
               {test::kEFactory, "wrenfold", false},
               {test::kE, "Wrenfold", false}};
  for (const auto& c : cases) {
    FormFixture fx(c.config);
    TextField& serial = fx.f().textField("serial");
    const std::size_t lines = fx.lines().size();
    for (int round = 0; round < 3; ++round) {
      serial.edit(c.serial, 8);
      serial.leave();
    }
    EXPECT_EQ(serial.text(), c.serial);
    for (const char* name : service)
      EXPECT_EQ(fx.f().findControl(name)->visible(), c.shown) << name;
    ComboBox& spacing = fx.f().comboBox("channelspace");
    EXPECT_EQ(spacing.count(), c.shown ? 5 : 4);
    if (c.shown) {
      EXPECT_EQ(spacing.itemText(4), "6.25KHz");
    }
    EXPECT_EQ(fx.lines().size(), lines);
  }
}

}  // namespace
}  // namespace ccp
