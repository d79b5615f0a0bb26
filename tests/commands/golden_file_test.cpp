#include <gtest/gtest.h>

#include <string_view>

#include "files/temp_folder.h"
#include "form_fixture.h"

namespace ccp {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The file a freshly started customer build saves, written out from the field tables.
Bytes defaultFile(bool hebrew) {
  Bytes f(560, 0x00);
  auto put = [&f](std::size_t at, std::initializer_list<int> bytes) {
    for (int b : bytes) f[at++] = static_cast<std::uint8_t>(b);
  };
  auto text = [&f](std::size_t at, std::string_view s) {
    std::copy(s.begin(), s.end(), f.begin() + at);
  };
  text(0x01, "00000000");
  put(0x09, {30, 0x00});  // range time; no special display, times below "64 sec"
  put(0x0E, {0xFF, 0xFC, 0xCF, 0xFC, 0xCC, 0xC0, 0xCC, 0xCC, 0xA0, 0x00, 0x80, 0x00, 0xD1, 0xB1});
  put(0x1C, {0x0E, 5, 0x0E});  // 32 sec, 16 sec; hold 5; addresses 2-4 public
  put(0x1F, {hebrew ? 0x10 : 0x07});
  put(0x21, {48, 0x0C});  // contrast; low cell 16 sec, remind alert
  text(0x23, "4781");
  put(0x27, {0x08, 6, 6});
  text(0x30, hebrew ? "---QPX730H ---" : "---QPX730E ---");
  put(0x3E, {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, '+', '-', '*'});  // every tone "Alpha"
  put(0x47, {hebrew ? 0x00 : 0x01});
  for (int k = 0; k < 16; ++k) {
    text(0x48 + 9 * k, "FOLDER " + std::string(k < 10 ? "0" : "") + std::to_string(k));
    put(0xD8 + 2 * k, {k, k});
  }
  put(0xF8, {4, 0x00, 0x20, 0x00, 0x53, 0x04, 0x24});  // KS8809
  unsigned sum = 0;
  for (int i = 0; i < 255; ++i) sum += f[i];
  f[0xFF] = static_cast<std::uint8_t>(0xFF - sum % 256);

  put(0x200, {0x00, 0x6F, 0x00, 0x00, 0x00, 0x00});
  if (hebrew) {
    put(0x206, {0x00, 0x51, 0xC6, 0x00, 0x08, 0x01});  // 152.24000 MHz
  } else {
    put(0x206, {0x00, 0x88, 0x20, 0x00, 0x08, 0x01});  // 457.00000 MHz
  }
  put(0x20C, {0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xA1, 0xA1, 0xA1, 0xA1, 0xA2, 0xA2});
  put(0x218, {0x06, 0x46, 0x86, 0xC6, 0x06, 0x46});
  return f;
}

TEST(GoldenFile, DefaultCustomerBuildsSaveKnownBytes) {
  for (bool hebrew : {false, true}) {
    test::TempFolder dir;
    test::FormFixture fx(hebrew ? test::kH : test::kE);
    const std::string path = dir.file("default.eep");
    fx.platform.saveAnswers.push_back(path);
    fx.f().menuItem("Save1").trigger();
    EXPECT_EQ(test::readBytes(path), defaultFile(hebrew)) << (hebrew ? "QPX730H" : "QPX730E");
    EXPECT_EQ(fx.lines().back(), "ok!");
  }
}

}  // namespace
}  // namespace ccp
