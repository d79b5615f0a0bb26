#include <algorithm>
#include <charconv>
#include <optional>

#include "image/synth.h"
#include "image/synth_tables.h"

namespace ccp {
namespace {

// The frequency divider n tunes to; empty when the control byte defines none.
std::optional<std::int64_t> dividerHz(std::uint8_t control, std::int64_t n) {
  const int spacing = (control & synth::kSpacingMask) >> 4;
  const int bandCode = control & synth::kBandMask;
  if (spacing >= kSpacingCount) return std::nullopt;
  const synth::Band* band = nullptr;
  for (const synth::Band& b : synth::kBands) {
    if (b.code == bandCode) band = &b;
  }
  if (band == nullptr) return std::nullopt;
  return synth::tunedHz(spacing, *band, n);
}

// Empty when the control byte or the chip selection defines no frequency the field can show.
std::optional<double> storedMHz(std::uint8_t control, std::uint8_t b6, std::uint8_t b7,
                                std::uint8_t b8, int pllIndex) {
  if (pllIndex < 0 || pllIndex >= kPllChipCount) return std::nullopt;
  const std::uint32_t word = std::uint32_t{b6} << 16 | std::uint32_t{b7} << 8 | b8;
  const auto hz = dividerHz(control, word >> synth::kChips[pllIndex].dividerShift);
  if (!hz || *hz >= synth::kShownHzLimit) return std::nullopt;
  // Hz to MHz.
  return static_cast<double>(*hz) * 0.000001;
}

}  // namespace

std::string padFrequencyText(std::string_view text) {
  std::string padded(text);
  while (padded.size() < kFrequencyTextWidth) padded += padded.size() == 3 ? '.' : '0';
  return padded;
}

namespace {

constexpr std::size_t kDigitsBeforePoint = 3;

// The field is read back with its point after the third character: a frequency below 100 MHz
// gets leading zeros ("050.5" rather than "50.5"), or the padding would append a digit to its
// whole megahertz and make 50 read as 500.
std::string withThreeDigitsBeforePoint(std::string_view text) {
  const std::size_t digits = std::min(text.find('.'), text.size());
  const std::size_t zeros = digits < kDigitsBeforePoint ? kDigitsBeforePoint - digits : 0;
  return std::string(zeros, '0').append(text);
}

}  // namespace

std::string formatFrequency(double mhz) {
  // to_chars rather than printf("%.15g"): it ignores the C locale, whose decimal comma would
  // break the text. A stored divider gives at most about 420000 MHz, far from the magnitudes
  // where general notation switches to an exponent.
  char buffer[64];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, mhz, std::chars_format::general, 15);
  std::string_view text(buffer, ec == std::errc() ? end - buffer : 0);
  const std::string shown = withThreeDigitsBeforePoint(text);
  return padFrequencyText(std::string_view(shown).substr(0, kFrequencyTextWidth));
}

std::string decodeSynthesizer(std::uint8_t control, std::uint8_t b6, std::uint8_t b7,
                              std::uint8_t b8, int pllIndex) {
  std::optional<double> mhz = storedMHz(control, b6, b7, b8, pllIndex);
  if (!mhz) return std::string(kNoFrequencyText);
  return formatFrequency(*mhz);
}

std::string decodeSynthesizer(const Image& image, int pllIndex) {
  const std::uint8_t* divider = &image.decoder[dec::kDividerWord];
  return decodeSynthesizer(image.eep[eep::kSynthControl], divider[0], divider[1], divider[2],
                           pllIndex);
}

}  // namespace ccp
