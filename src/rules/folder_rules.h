#pragma once

namespace ccp {

class TForm1;

namespace rules {

void bindFolderRules(TForm1& form);

// The message slots the folders share.
inline constexpr int kFolderSlots = 99;

// How far the lengths of the checked folders together lie above 99; 0 when they do not.
int FolderExcess(TForm1& form);
// The slots the checked folders take together, for showing: a length that is no number (one
// being typed) counts as none instead of failing.
int SlotsUsed(TForm1& form);

// The rules of folder k (0 to 15).
void pubboxactClick(TForm1& form, int k);
void pubboxlengthExit(TForm1& form, int k);
void pubboxExit(TForm1& form, int k);

}  // namespace rules
}  // namespace ccp
