#pragma once

namespace ccp {

class TForm1;

// What the encoding does when the channel field shows no frequency after a load: a pager write
// refuses it (the frequency fails its conversion), a save stores the loaded synthesizer bytes
// back as they were.
enum class UnshownFrequency { Refuse, KeepLoaded };

// Writes the window's settings into the configuration image: pads the texts the pager keeps at
// full width, writes every field of the settings record with a provisional checksum, rebuilds
// the decoder block from the build's default block and ends with the synthesizer words.
// A setting that is not a number throws ConversionError where it is read; the steps before it
// stay done.
void EncodeImage(TForm1& form, UnshownFrequency unshown = UnshownFrequency::Refuse);

}  // namespace ccp
