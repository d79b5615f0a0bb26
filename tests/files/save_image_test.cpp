#include <gtest/gtest.h>

#include "files/temp_folder.h"
#include "form_fixture.h"
#include "image/checksum.h"
#include "image/layout.h"

namespace ccp {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool save(test::FormFixture& fx, const std::string& path) {
  fx.platform.saveAnswers.push_back(path);
  fx.f().menuItem("Save1").trigger();
  return fx.lines().back() == "ok!";
}

// A loaded file's model marker and the bytes the encoding does not set stay out of a saved file.
TEST(SaveImage, SavedFileHoldsZerosWhereTheEncodingWritesNothing) {
  for (const BuildConfig& config : {test::kE, test::kH, test::kEFactory}) {
    test::TempFolder dir;
    test::FormFixture fx(config);
    const std::string clean = dir.file("clean.eep");
    ASSERT_TRUE(save(fx, clean));
    Bytes file = test::readBytes(clean);
    ASSERT_EQ(file.size(), kFileSize);

    // The same settings, with a foreign model marker and every unset byte filled.
    file[eep::kModelMarker] = kModelMarkerQpx730H;
    for (std::size_t at : eep::kPreserved) file[at] = static_cast<std::uint8_t>(0xC0 + at);
    for (std::size_t at = kSettingsRecordSize; at < kEepSize; ++at) {
      file[at] = static_cast<std::uint8_t>(at | 0x01);
    }
    EepBlock eep;
    std::copy_n(file.begin(), kEepSize, eep.begin());
    storeChecksum(eep);
    file[eep::kChecksum] = eep[eep::kChecksum];
    const std::string loaded = dir.file("loaded.eep");
    test::writeBytes(loaded, file);
    fx.platform.openAnswers.push_back(loaded);
    fx.f().menuItem("Open1").trigger();
    ASSERT_EQ(fx.lines().back(), "File loaded");
    ASSERT_EQ(fx.f().image().eep[eep::kModelMarker], kModelMarkerQpx730H);

    const std::string saved = dir.file("saved.eep");
    ASSERT_TRUE(save(fx, saved));
    const Bytes out = test::readBytes(saved);
    ASSERT_EQ(out.size(), kFileSize);
    EXPECT_EQ(out[eep::kModelMarker], 0x00);
    for (std::size_t at : eep::kPreserved) EXPECT_EQ(out[at], 0x00) << "byte " << at;
    for (std::size_t at = kSettingsRecordSize; at < kEepSize; ++at) {
      ASSERT_EQ(out[at], 0x00) << "byte " << at;
    }
    EXPECT_EQ(out, test::readBytes(clean));  // nothing else of the loaded bytes remains either
  }
}

}  // namespace
}  // namespace ccp
