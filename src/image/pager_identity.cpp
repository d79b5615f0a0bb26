#include "image/pager_identity.h"

#include <span>

#include "image/capcode.h"
#include "image/synth.h"
#include "image/text_field.h"

namespace ccp {

PagerIdentity pagerIdentity(const BuildConfig& config, const EepBlock& eep,
                            const DecoderBlock& decoder) {
  PagerIdentity identity;
  identity.serial = readTextField(std::span(eep).subspan(eep::kSerial, eep::kSerialWidth));
  identity.serial.erase(identity.serial.find_last_not_of(' ') + 1);
  for (int n = 1; n <= kAddressCount; ++n) {
    const DecoderAddress address = readAddress(decoder, n);
    identity.capcodes[n - 1] = capcodeText(address.capcode);
    identity.enabled[n - 1] = address.enabled;
  }
  Image image(config);
  image.eep = eep;
  image.decoder = decoder;
  const int pllIndex = pllItemIndex(config, (eep[eep::kChipFlags] >> 4) & 0x03);
  identity.frequency = decodeSynthesizer(image, pllIndex);
  return identity;
}

}  // namespace ccp
