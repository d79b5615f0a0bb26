#include "ports/port_choice.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

using Kind = NamedDevice::Kind;

TEST(PortChoice, ParsesPpdevDevicesAndHexadecimalAddresses) {
  const std::pair<const char*, NamedDevice> cases[] = {
      {"/dev/parport0", {Kind::Ppdev, 0}}, {"/dev/parport12", {Kind::Ppdev, 12}},
      {"0xd010", {Kind::Address, 0xD010}}, {"0XE800", {Kind::Address, 0xE800}},
      {"0x378", {Kind::Address, 0x378}},   {"0x1", {Kind::Address, 1}},
      {"0xfffd", {Kind::Address, 0xFFFD}}, {"0x00378", {Kind::Address, 0x378}},
  };
  for (const auto& [text, device] : cases) {
    const ParsedDevice parsed = parsePortDevice(text);
    ASSERT_TRUE(parsed.device) << text << ": " << parsed.error;
    EXPECT_EQ(*parsed.device, device) << text;
    EXPECT_TRUE(parsed.error.empty()) << text;
  }
}

TEST(PortChoice, RefusesTextThatNamesNoPort) {
  const char* const cases[] = {
      "",
      "/dev/parport",
      "/dev/parportx",
      "/dev/parport-1",
      "/dev/parport0 ",
      "/dev/lp0",
      "parport0",
      "d010",
      "378",
      "0x",
      "0x0",
      "0xfffe",
      "0x10000",
      "0x100000000",
      "0xd01g",
      " 0x378",
      "0x-378",
      "0x+378",
  };
  for (const char* text : cases) {
    const ParsedDevice parsed = parsePortDevice(text);
    EXPECT_FALSE(parsed.device) << "'" << text << "'";
    EXPECT_NE(parsed.error.find(std::string("'") + text + "'"), std::string::npos)
        << "the error quotes the text: " << parsed.error;
  }
}

TEST(PortChoice, DeviceTextReadsBackAsTheSameDevice) {
  const NamedDevice devices[] = {{Kind::Ppdev, 3}, {Kind::Address, 0xD010}};
  for (const NamedDevice& device : devices)
    EXPECT_EQ(parsePortDevice(deviceText(device)).device, device) << deviceText(device);
  EXPECT_EQ(deviceText({Kind::Address, 0x378}), "0x378");
}

}  // namespace
}  // namespace ccp
