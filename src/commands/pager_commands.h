#pragma once

namespace ccp {

class TForm1;

// The two pager commands of the main menu.
void ReadFromPagerClick(TForm1& form);
void WriteToPagerClick(TForm1& form);

// The image Write to pager sends, before its checksum is stored: in the customer edition the
// pager's EEPROM bytes in the EEP read buffer with the pager's firmware identity taken into the
// window, in the factory edition a cleared block with the build's model marker; then the window
// encoded into it.
void prepareWriteImage(TForm1& form);

void bindPagerCommands(TForm1& form);

}  // namespace ccp
