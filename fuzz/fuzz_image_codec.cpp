// Any 560-byte image with its checksum made good, shown in a fresh window of each build as a
// loaded file is (DecodeImage and the rules after a load), then encoded again. The encoding
// keeps the pager's upper half and preserved bytes, stamps the build identification, and
// encoding what it shows is stable: the encoded image, shown again, encodes to itself.

#include <algorithm>

#include "commands/decode_image.h"
#include "commands/encode_image.h"
#include "fuzz_support.h"
#include "image/checksum.h"
#include "image/folder_slots.h"
#include "image/layout.h"
#include "rules/bindings.h"

namespace {

using namespace ccp;

struct Encoded {
  bool ok = false;
  EepBlock eep{};
  DecoderBlock decoder{};
};

// Shows the image as File > Open does after the checksum passed, then encodes it over the
// shown image. ok is false when a setting shown is not a number (an error box, as on Save).
Encoded showAndEncode(const BuildConfig& config, const EepBlock& eep, const DecoderBlock& dec) {
  fuzz::Window w(config);
  TForm1& form = *w.form;
  Image& image = form.image();
  image.eepRead = image.eep = eep;
  image.decoderRead = image.decoder = dec;
  form.runUserAction([&form] {
    DecodeImage(form);
    rules::afterImageLoaded(form);
  });
  // Whatever the bytes, showing them raises no error box: words that define no frequency the
  // field can show leave "---.-----" there and the load completes.
  if (!w.platform.errors.empty()) {
    fuzz::check(false, "showing an image raised an error box: " + w.platform.errors.front());
  }
  const EepBlock shown = image.eep;
  form.runUserAction([&form] { EncodeImage(form); });
  if (!w.platform.errors.empty()) return {};
  const EepBlock& out = image.eep;
  fuzz::check(
      std::equal(out.begin() + kSettingsRecordSize, out.end(), shown.begin() + kSettingsRecordSize),
      "encoding changed the upper half");
  for (std::size_t at : eep::kPreserved)
    fuzz::check(out[at] == shown[at], "encoding changed preserved byte " + std::to_string(at));
  const auto id = buildIdentification(config);
  fuzz::check(std::equal(id.begin(), id.end(), out.begin() + eep::kBuildId),
              "no build identification");
  Encoded e{true, out, image.decoder};
  storeChecksum(e.eep);
  return e;
}

// A folder table the window could have written: runs of at least one slot, 99 in all.
bool foldersAsWritten(const EepBlock& eep) {
  const FolderSlots folders = readFolderSlots(eep);
  int total = 0;
  for (const FolderSlot& f : folders) {
    if (f.active && f.length < 1) return false;
    total += f.active ? f.length : 0;
  }
  EepBlock rewritten = eep;
  writeFolderSlots(rewritten, folders);
  return total <= 99 && rewritten == eep;
}

// Equal outside the folder table.
bool equalButFolders(const EepBlock& a, const EepBlock& b) {
  const auto from = static_cast<std::ptrdiff_t>(eep::kFolderSlots);
  const auto to = from + static_cast<std::ptrdiff_t>(eep::kFolderSlotsSize);
  return std::equal(a.begin(), a.begin() + from, b.begin()) &&
         std::equal(a.begin() + to, a.begin() + eep::kChecksum, b.begin() + to);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kFileSize) return -1;  // not worth keeping in the corpus
  EepBlock eep;
  DecoderBlock decoder;
  std::copy_n(data, eep.size(), eep.begin());
  std::copy_n(data + eep.size(), decoder.size(), decoder.begin());
  storeChecksum(eep);
  for (const BuildConfig& config : fuzz::kBuilds) {
    const Encoded first = showAndEncode(config, eep, decoder);
    if (!first.ok) continue;
    const Encoded second = showAndEncode(config, first.eep, first.decoder);
    fuzz::check(second.ok, "an encoded image does not encode again");
    // A damaged folder table (runs of no length, more than 99 slots) is trimmed by the folder
    // rules as it is shown, possibly again on the second showing; the rest must be stable.
    if (foldersAsWritten(eep)) {
      fuzz::check(second.eep == first.eep, "EEP block not stable under show and encode");
    } else {
      fuzz::check(equalButFolders(second.eep, first.eep), "EEP block not stable outside folders");
    }
    fuzz::check(second.decoder == first.decoder, "decoder block not stable under show and encode");
  }
  return 0;
}
