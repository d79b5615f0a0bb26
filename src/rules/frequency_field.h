#pragma once

namespace ccp {

class TForm1;

// The channel frequency, spacing and chip of the window into the synthesizer control byte and
// words of the image. A frequency the synthesizer cannot be set to (below the intermediate
// frequency, or a divider too large for the chip) changes nothing and ends the action like a
// conversion failure.
void EncodeFrequency(TForm1& form);

// The stored divider back into the frequency text of the window, as typed into the cleared field.
void DecodeFrequency(TForm1& form);

}  // namespace ccp
