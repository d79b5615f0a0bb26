#pragma once

namespace ccp {

class TForm1;

// The channel frequency, spacing and chip of the window into the synthesizer control byte and
// words of the image. A frequency the synthesizer cannot be set to (below the intermediate
// frequency, or a divider too large for the chip), or that the field cannot show (1000 MHz or
// more), changes nothing and ends the action like a conversion failure.
void EncodeFrequency(TForm1& form);

// The stored divider back into the frequency text of the window, as typed into the cleared field.
void DecodeFrequency(TForm1& form);

// DecodeFrequency for an image just loaded: words that define no frequency the field can show
// are remembered as loaded, until a frequency is encoded over them.
void DecodeLoadedFrequency(TForm1& form);

// Save's way with a loaded channel that the field cannot show: while the field still shows no
// frequency, the loaded synthesizer bytes go back into the image unchanged. False (and nothing
// done) otherwise.
bool KeepUnshownFrequency(TForm1& form);

}  // namespace ccp
