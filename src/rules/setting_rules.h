#pragma once

namespace ccp {

class TForm1;

namespace rules {

void bindSettingRules(TForm1& form);

void channelfreqExit(TForm1& form);
void channelspaceChange(TForm1& form);
void firmwareversionChange(TForm1& form);
void contrastExit(TForm1& form);
void rangetimeExit(TForm1& form);
void lcdholdtimeChange(TForm1& form);
void hellomsg1Exit(TForm1& form);
void repeatcallcheckChange(TForm1& form);
void serialExit(TForm1& form);

// The serial number that reveals the service fields in the factory edition.
inline constexpr const char* kServiceCode = "Wrenfold";

}  // namespace rules
}  // namespace ccp
