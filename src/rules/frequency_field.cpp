#include "rules/frequency_field.h"

#include "image/synth.h"
#include "shell/conversion.h"
#include "shell/form.h"

namespace ccp {

void EncodeFrequency(TForm1& form) {
  const TextField& field = form.textField("channelfreq");
  const std::string text = field.text();
  const double mhz = toFloat(field);
  const SynthEncoding encoding =
      encodeSynthesizer(mhz, form.comboBox("channelspace").code(), form.comboBox("pll").code());
  // A frequency the field cannot show back is as impossible as one the chip cannot hold.
  if (encoding.status == SynthStatus::BelowIntermediateFrequency ||
      encoding.status == SynthStatus::DividerTooLarge ||
      encoding.status == SynthStatus::BeyondField) {
    throw ConversionError("'" + text + "' is not a valid channel frequency", field.name());
  }
  // A spacing code without a frequency step leaves the stored words as they are.
  storeSynthesizer(form.image(), encoding);
  if (!isRefused(encoding.status)) form.image().unshownSynthesizer.reset();
}

void DecodeFrequency(TForm1& form) {
  TextField& freq = form.textField("channelfreq");
  const std::string text = decodeSynthesizer(form.image(), form.comboBox("pll").code());
  freq.clear();
  freq.insertTyped(text);
  if (freq.text().size() < kFrequencyTextWidth) freq.setText(padFrequencyText(freq.text()));
}

void DecodeLoadedFrequency(TForm1& form) {
  DecodeFrequency(form);
  Image& image = form.image();
  if (form.textField("channelfreq").text() == kNoFrequencyText) {
    image.unshownSynthesizer = synthesizerBytes(image);
  } else {
    image.unshownSynthesizer.reset();
  }
}

bool KeepUnshownFrequency(TForm1& form) {
  Image& image = form.image();
  if (!image.unshownSynthesizer || form.textField("channelfreq").text() != kNoFrequencyText) {
    return false;
  }
  putSynthesizerBytes(image, *image.unshownSynthesizer);
  return true;
}

}  // namespace ccp
