#include <algorithm>
#include <cmath>
#include <optional>

#include "image/synth.h"
#include "image/synth_tables.h"

namespace ccp {
namespace {

using synth::kBands;
using synth::kChips;

// Rounds half up on the first decimal of q alone: 100.5 gives 101, 100.49 gives 100. The
// remainder takes the sign of t, as the pager's tools always computed it. Empty when q is far
// beyond any divider a chip can hold, so no integer conversion can overflow.
std::optional<std::int64_t> roundQuotient(double q) {
  double t = std::trunc(10.0 * q);
  if (!(std::fabs(t) < 1e15)) return std::nullopt;
  auto ti = static_cast<std::int64_t>(t);
  if (ti % 10 >= 5) ti += 10;
  return ti / 10;
}

const synth::Band& bandFor(double mhz) {
  return *std::find_if(kBands.begin(), kBands.end(),
                       [mhz](const synth::Band& b) { return mhz >= b.fromMHz; });
}

void putWord(std::uint32_t word, std::uint8_t* bytes) {
  bytes[0] = static_cast<std::uint8_t>(word >> 16);
  bytes[1] = static_cast<std::uint8_t>(word >> 8);
  bytes[2] = static_cast<std::uint8_t>(word);
}

SynthEncoding refused(SynthStatus status) {
  return {status, 0, {}, 0};
}

}  // namespace

SynthEncoding encodeSynthesizer(double mhz, int spacingIndex, int pllIndex) {
  if (spacingIndex < 0 || spacingIndex >= kSpacingCount) return refused(SynthStatus::NoStep);
  // The negated test also refuses NaN.
  if (!(mhz >= synth::kIntermediateMHz)) {
    return refused(SynthStatus::BelowIntermediateFrequency);
  }
  const double stepKHz = synth::kStepHz[spacingIndex] / 1000.0;
  const synth::Band& band = bandFor(mhz);
  const double q = (mhz - synth::kIntermediateMHz) * 1000.0 / (band.multiplier * stepKHz);

  const bool chipKnown = pllIndex >= 0 && pllIndex < kPllChipCount;
  // Without a chip no words are written, but a divider no chip could hold is refused all the
  // same: the control byte alone would describe a channel the pager cannot tune.
  const std::int64_t limit =
      chipKnown ? synth::dividerLimit(kChips[pllIndex]) : synth::kWidestDividerLimit;
  std::optional<std::int64_t> n = roundQuotient(q);
  if (!n || *n >= limit) return refused(SynthStatus::DividerTooLarge);
  if (synth::tunedHz(spacingIndex, band, *n) >= synth::kShownHzLimit) {
    return refused(SynthStatus::BeyondField);
  }

  SynthEncoding result;
  result.control = static_cast<std::uint8_t>(spacingIndex << 4 | band.code);
  result.divider = *n;
  if (!chipKnown) {
    result.status = SynthStatus::ControlOnly;
    return result;
  }
  const synth::ChipLayout& chip = kChips[pllIndex];
  const int reference = synth::kReferenceBaseKHz / static_cast<int>(chip.stepFactor * stepKHz);
  putWord(static_cast<std::uint32_t>(*n) << chip.dividerShift, &result.words[0]);
  putWord(static_cast<std::uint32_t>(reference) << chip.referenceShift | chip.referenceTail,
          &result.words[3]);
  result.status = SynthStatus::Stored;
  return result;
}

void storeSynthesizer(Image& image, const SynthEncoding& encoding) {
  if (isRefused(encoding.status)) return;
  image.eep[eep::kSynthControl] = encoding.control;
  if (encoding.status == SynthStatus::Stored) {
    std::copy(encoding.words.begin(), encoding.words.end(),
              image.decoder.begin() + dec::kDividerWord);
  }
}

SynthesizerBytes synthesizerBytes(const Image& image) {
  SynthesizerBytes bytes;
  bytes.control = image.eep[eep::kSynthControl];
  const auto words = image.decoder.begin() + dec::kDividerWord;
  std::copy(words, words + static_cast<std::ptrdiff_t>(bytes.words.size()), bytes.words.begin());
  return bytes;
}

void putSynthesizerBytes(Image& image, const SynthesizerBytes& bytes) {
  image.eep[eep::kSynthControl] = bytes.control;
  std::copy(bytes.words.begin(), bytes.words.end(), image.decoder.begin() + dec::kDividerWord);
}

}  // namespace ccp
