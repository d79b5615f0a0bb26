#pragma once

#include <functional>
#include <string_view>

namespace ccp {

// Told after each page or record of a transfer, so a window can show how far it got. It runs
// between bus steps and only ever adds time; no wait of the transfer is shortened by it.
using Progress = std::function<void(std::string_view step, int done, int total)>;

// The stretches of the transfers, each reported under its own name.
enum class LinkStep { DecoderWrite, DecoderRead, EepromRead, EepromWrite, EepromVerify };

constexpr std::string_view linkStepName(LinkStep step) {
  switch (step) {
    case LinkStep::DecoderWrite:
      return "Decoder write";
    case LinkStep::DecoderRead:
      return "Decoder read";
    case LinkStep::EepromRead:
      return "EEPROM read";
    case LinkStep::EepromWrite:
      return "EEPROM write";
    case LinkStep::EepromVerify:
      return "EEPROM verify";
  }
  return "";
}

inline constexpr LinkStep kLinkSteps[] = {LinkStep::DecoderWrite, LinkStep::DecoderRead,
                                          LinkStep::EepromRead, LinkStep::EepromWrite,
                                          LinkStep::EepromVerify};

}  // namespace ccp
