#pragma once

namespace ccp {

class TForm1;

namespace rules {

void bindAddressRules(TForm1& form);

// The rules of address row n (1 to 6).
void addrEnClick(TForm1& form, int n);
void addressChange(TForm1& form, int n);
void addressExit(TForm1& form, int n);
void autoincExit(TForm1& form, int n);

inline constexpr long long kHighestCapcode = 2097143;
inline constexpr int kCapcodeDigits = 7;  // as an address field shows one

// Valid capcodes: 8 to kHighestCapcode without the two blocks of eight whose address codewords can
// look like the idle and the synchronisation codewords.
bool validCapcode(long long capcode);

}  // namespace rules
}  // namespace ccp
