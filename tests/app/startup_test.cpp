#include <gtest/gtest.h>

#include "form_fixture.h"

namespace ccp {
namespace {

using test::FormFixture;

std::vector<std::string> itemsOf(ComboBox& list) {
  return list.items();
}

TEST(StartUp, PortOutcomesLogAndDisableThePagerCommands) {
  struct Case {
    bool access;
    std::uint8_t status;
    std::vector<std::string> lines;
    int beeps;
    bool commandsEnabled;
  } cases[] = {
      {true,
       0x20,
       {"QPX730E CCP V1.4, support firmware version 1-4", "Port init success."},
       0,
       true},
      {false,
       0x20,
       {"QPX730E CCP V1.4, support firmware version 1-4",
        "Driver missing or disable, can't access the paraller port."},
       1,
       false},
      {true,
       0xDF,
       {"QPX730E CCP V1.4, support firmware version 1-4", "Port init success.",
        "Programmer not conected or power not plug in, please check"},
       1,
       false},
  };
  for (const auto& c : cases) {
    FormFixture fx(test::kE, c.access, c.status);
    EXPECT_EQ(fx.lines(), c.lines);
    EXPECT_EQ(fx.platform.beeps, c.beeps);
    EXPECT_EQ(fx.f().menuItem("WriteToPager").enabled(), c.commandsEnabled);
    EXPECT_EQ(fx.f().menuItem("ReadFromPager").enabled(), c.commandsEnabled);
    EXPECT_TRUE(fx.f().menuItem("Open1").enabled());
    EXPECT_TRUE(fx.f().menuItem("Save1").enabled());
    EXPECT_EQ(fx.port.accessRequests, 1);
    // Nothing is written to the port at start; the presence test reads LPT1's status only.
    EXPECT_TRUE(fx.port.writes.empty());
    const std::vector<std::uint16_t> presenceReads =
        c.access ? std::vector<std::uint16_t>{889} : std::vector<std::uint16_t>{};
    EXPECT_EQ(fx.port.reads, presenceReads);
  }
}

TEST(StartUp, TitlesAndFactoryReminder) {
  struct Case {
    BuildConfig config;
    const char* title;
    const char* lastLine;
    int beeps;
  } cases[] = {
      {test::kE, "QPX730E Capcode Programmer-Customer version", "Port init success.", 0},
      {test::kEFactory, "QPX730E Capcode Programmer-Factory version",
       "Before programming the pager, corrected firmware version muse be entried.", 1},
      {test::kH, "QPX730H Capcode Programmer-Customer version", "Port init success.", 0},
      {test::kHFactory, "QPX730H Capcode Programmer-Factory version", "Port init success.", 0},
  };
  for (const auto& c : cases) {
    FormFixture fx(c.config);
    EXPECT_EQ(fx.f().title(), c.title);
    EXPECT_EQ(fx.lines().back(), c.lastLine);
    EXPECT_EQ(fx.platform.beeps, c.beeps);
  }
  FormFixture h(test::kH);
  EXPECT_EQ(h.lines().front(), "QPX730H CCP V1.4");
}

TEST(StartUp, ModelChanges) {
  FormFixture e(test::kE);
  FormFixture h(test::kH);
  const std::vector<std::string> formatsE = {"Numeric", "Alpha", "Disable", "Tone"};
  const std::vector<std::string> formatsH = {"Numeric", "Alpha", "Hebrew", "Disable"};
  for (int n = 1; n <= 6; ++n) {
    for (char tone : {'A', 'B', 'C', 'D'}) {
      std::string name = "addr" + std::to_string(n) + "format" + tone;
      EXPECT_EQ(itemsOf(e.f().comboBox(name)), formatsE) << name;
      EXPECT_EQ(itemsOf(h.f().comboBox(name)), formatsH) << name;
      EXPECT_EQ(e.f().comboBox(name).index(), 1);
      EXPECT_EQ(h.f().comboBox(name).text(), "Alpha");
    }
  }
  EXPECT_EQ(h.f().comboBox("language").items(), (std::vector<std::string>{"English", "Hebrew"}));
  EXPECT_EQ(h.f().comboBox("language").text(), "English");
  EXPECT_EQ(h.f().comboBox("menulanguage").text(), "Hebrew");
  EXPECT_EQ(e.f().comboBox("language").text(), "U.K.");
  EXPECT_EQ(e.f().comboBox("language").count(), 10);
  EXPECT_EQ(e.f().comboBox("menulanguage").count(), 11);

  EXPECT_FALSE(e.f().comboBox("urgcalladdr").visible());
  EXPECT_FALSE(e.f().label("L_urgcalladdr").visible());
  EXPECT_TRUE(h.f().comboBox("urgcalladdr").visible());
  EXPECT_TRUE(h.f().label("L_urgcalladdr").visible());
  EXPECT_TRUE(e.f().comboBox("pll").visible());
  EXPECT_FALSE(h.f().comboBox("pll").visible());
  EXPECT_FALSE(h.f().label("L_pll").visible());

  EXPECT_EQ(e.f().textField("hellomsg1").text(), "---QPX730E ---");
  EXPECT_EQ(h.f().textField("hellomsg1").text(), "---QPX730H ---");
  EXPECT_EQ(e.f().textField("channelfreq").text(), "457.00000");
  EXPECT_TRUE(e.f().textField("channelfreq").enabled());
  EXPECT_EQ(h.f().textField("channelfreq").text(), "152.24000");
  EXPECT_FALSE(h.f().textField("channelfreq").enabled());
  EXPECT_FALSE(h.f().comboBox("channelspace").enabled());
  h.f().textField("channelfreq").type("1");
  EXPECT_EQ(h.f().textField("channelfreq").text(), "152.24000");
}

TEST(StartUp, EditionChanges) {
  struct Case {
    BuildConfig config;
    bool firmwareEditable;
    bool pllEnabled;
  } cases[] = {{test::kE, false, false},
               {test::kEFactory, true, true},
               {test::kH, false, true},
               {test::kHFactory, true, true}};
  for (const auto& c : cases) {
    FormFixture fx(c.config);
    EXPECT_EQ(fx.f().textField("firmwareversion").enabled(), c.firmwareEditable);
    EXPECT_EQ(fx.f().textField("subversion").enabled(), c.firmwareEditable);
    EXPECT_EQ(fx.f().comboBox("pll").enabled(), c.pllEnabled);
  }
}

TEST(StartUp, FirmwareRuleAddsTheLongTimesOnce) {
  for (BuildConfig config : {test::kE, test::kEFactory, test::kH, test::kHFactory}) {
    FormFixture fx(config);
    for (const char* name : {"alerttime", "msgdisptime"}) {
      ComboBox& list = fx.f().comboBox(name);
      EXPECT_EQ(list.count(), 5);
      EXPECT_EQ(list.itemText(4), "64 sec");
    }
    EXPECT_EQ(fx.f().comboBox("alerttime").text(), "16 sec");
    EXPECT_EQ(fx.f().comboBox("msgdisptime").text(), "32 sec");
    EXPECT_TRUE(fx.f().checkBox("handprogram").enabled());
    EXPECT_TRUE(fx.f().checkBox("outrangespecial").visible());
    EXPECT_TRUE(fx.f().textField("serial").visible());
  }
}

TEST(StartUp, DefaultsThatStandOut) {
  FormFixture fx;
  TForm1& f = fx.f();
  EXPECT_EQ(f.textField("pubbox0").text(), "FOLDER 00 ");
  EXPECT_EQ(f.textField("pubbox0").maxLength(), 9u);
  EXPECT_EQ(f.textField("pubboxF").text(), "FOLDER 15");
  EXPECT_EQ(f.textField("pubboxA").text(), "FOLDER 10");
  for (int n = 1; n <= 6; ++n) {
    const std::string row = std::to_string(n);
    EXPECT_EQ(f.textField("address" + row).text(), std::to_string(2004000 + 8 * (n - 1)));
    TextField& frame = f.textField("frame" + row);
    EXPECT_EQ(frame.text(), "0");
    EXPECT_FALSE(frame.enabled());
    frame.type("5");
    EXPECT_EQ(frame.text(), "0");
    EXPECT_TRUE(f.checkBox("addr" + row + "en").checked());
    EXPECT_EQ(f.comboBox("autoinc" + row).text(), "0");
  }
  const int msgtypes[] = {0, 1, 1, 1, 0, 0};
  for (int n = 1; n <= 6; ++n)
    EXPECT_EQ(f.comboBox("msgtype" + std::to_string(n)).index(), msgtypes[n - 1]);
  EXPECT_EQ(f.comboBox("msgtype2").hint(), "Select Private will disable message folder 1-4");
  for (const char* name :
       {"chineseheader", "engheader", "clearheader", "BS1", "BS2", "BS3", "addrcheck", "datacheck",
        "L_PubHeader", "L_BS", "L_Acheck", "L_Dcheck"}) {
    EXPECT_FALSE(f.findControl(name)->visible()) << name;
  }
  EXPECT_EQ(f.comboBox("BS2").count(), 16);
  EXPECT_EQ(f.comboBox("addrcheck").text(), "0x7");
  EXPECT_TRUE(f.checkBox("unread_alert").checked());
  EXPECT_EQ(f.checkBox("lowbatteryspecial").caption(), "Special Low battery option ");
  EXPECT_EQ(f.comboBox("channelspace").hint(),
            "Hand program only support 25KHz channel space in firmware  version 1, 2");
  EXPECT_THROW(f.textField("nosuchfield"), std::invalid_argument);
  EXPECT_THROW(f.textField("addr1en"), std::invalid_argument);
}

TEST(Menu, ItemsCaptionsAndCommands) {
  FormFixture fx;
  TForm1& f = fx.f();
  EXPECT_EQ(f.menuItem("WriteToPager").caption(), "&WR_To_Pager");
  EXPECT_EQ(f.menuItem("ReadFromPager").caption(), "&RD_From_Pager");
  EXPECT_TRUE(f.menuItem("LPT11").checked());
  EXPECT_FALSE(f.menuItem("LPT21").checked());
  f.menuItem("About1").trigger();
  f.menuItem("About1").trigger();
  EXPECT_EQ(fx.lines().size(), 4u);
  EXPECT_EQ(fx.lines().back(), "QPX730E CCP V1.4, support firmware version 1-4");

  f.menuItem("LPT21").trigger();
  EXPECT_EQ(f.portBase(), 632);
  EXPECT_TRUE(f.menuItem("LPT21").checked());
  EXPECT_FALSE(f.menuItem("LPT11").checked());
  f.menuItem("LPT11").trigger();
  EXPECT_EQ(f.portBase(), 888);

  bool closed = false;
  f.onCloseRequested = [&closed] { closed = true; };
  f.menuItem("Exit1").trigger();
  EXPECT_TRUE(closed);
}

TEST(Menu, PortSwitchKeepsCommandsDisabledAfterFailedPresenceTest) {
  FormFixture fx(test::kE, true, 0x00);
  fx.f().menuItem("LPT21").trigger();
  EXPECT_FALSE(fx.f().menuItem("WriteToPager").enabled());
  EXPECT_FALSE(fx.f().menuItem("ReadFromPager").enabled());
  EXPECT_EQ(fx.port.reads.size(), 1u);
}

}  // namespace
}  // namespace ccp
