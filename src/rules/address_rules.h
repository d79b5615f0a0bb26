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

}  // namespace rules
}  // namespace ccp
