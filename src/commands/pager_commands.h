#pragma once

namespace ccp {

class TForm1;

// The two pager commands of the main menu.
void ReadFromPagerClick(TForm1& form);
void WriteToPagerClick(TForm1& form);

void bindPagerCommands(TForm1& form);

}  // namespace ccp
