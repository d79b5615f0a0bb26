#pragma once

namespace ccp {

class TForm1;

// Parallel Port > Test Programmer: powers the pager's lines as a transfer does and checks, one
// log line each, the Programmer's presence, the SDA loop-back, and whether the EEPROM and the
// decoder acknowledge their device bytes; then puts the lines back at rest. Nothing is written
// to the pager.
void TestProgrammerClick(TForm1& form);

}  // namespace ccp
