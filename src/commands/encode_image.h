#pragma once

namespace ccp {

class TForm1;

// Writes the window's settings into the configuration image: pads the texts the pager keeps at
// full width, writes every field of the settings record with a provisional checksum, rebuilds
// the decoder block from the build's default block and ends with the synthesizer words.
// A setting that is not a number throws ConversionError where it is read; the steps before it
// stay done.
void EncodeImage(TForm1& form);

}  // namespace ccp
