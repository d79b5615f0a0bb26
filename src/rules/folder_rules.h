#pragma once

namespace ccp {

class TForm1;

namespace rules {

void bindFolderRules(TForm1& form);

// How far the lengths of the checked folders together lie above 99; 0 when they do not.
int FolderExcess(TForm1& form);

// The rules of folder k (0 to 15).
void pubboxactClick(TForm1& form, int k);
void pubboxlengthExit(TForm1& form, int k);
void pubboxExit(TForm1& form, int k);

}  // namespace rules
}  // namespace ccp
