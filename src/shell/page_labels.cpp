#include "shell/page_labels.h"

namespace ccp::pages {

namespace {

const PageRow kLeftRows[] = {
    {"LCD hold time", {{"lcdholdtime"}}},
    {"contrast", {{"contrast"}}},
    {"Date format", {{"dateformat"}}},
    {"Auto spacing", {{"autospace"}}},
    {"Msg display time", {{"msgdisptime"}}},
    {"Alert time", {{"alerttime"}}},
    {"Low cell delay", {{"lowcell"}}},
    {"L_rangetime", {{"rangetime"}, {"L_rangetimeSec"}}},
    {"Baud rate", {{"baudrate"}}},
    {"Data", {{"polarity"}}},
    {"Channel freq", {{"channelfreq"}, {"MHz@", true}, {"channelspace"}}},
    {"L_pll", {{"pll"}}},
};

const PageRow kMiddleRows[] = {
    {"L_serial", {{"serial"}}},
    {"L_urgcalladdr", {{"urgcalladdr"}}},
    {"L_password", {{"password"}}},
    {"Urgent call type", {{"urgcalltype"}}},
    {"Urgent call mode", {{"urgcallmode"}}},
    {"Public folder mode", {{"pubfoldermode"}}},
    {"Public call no.", {{"pubcallno"}}},
    {"Repeat call check", {{"repeatcallcheck"}}},
    {"Repeat call rejection", {{"repeatcallreject"}}},
    {"Num Char. Set", {{"numset"}}},
    {"Character Set", {{"language"}}},
    {"Menu language", {{"menulanguage"}}},
};

const char* const kChecks[] = {"handprogram", "urgentcall",      "unread_alert",     "ota",
                               "qsound",      "outrangespecial", "lowbatteryspecial"};

const PageRow kServiceRows[] = {
    {"L_PubHeader", {{"chineseheader"}, {"engheader"}, {"clearheader"}}},
    {"L_BS", {{"BS1"}, {"BS2"}, {"BS3"}}},
    {"L_Acheck", {{"addrcheck"}}},
    {"L_Dcheck", {{"datacheck"}}},
};

const PageRow kFirmwareRow = {"Firmware version", {{"firmwareversion"}, {"subversion"}}};

}  // namespace

std::string addressControl(const AddressColumn& column, int row) {
  return column.prefix + std::to_string(row) + column.suffix;
}

std::span<const PageRow> settingLeftRows() {
  return kLeftRows;
}

std::span<const PageRow> settingMiddleRows() {
  return kMiddleRows;
}

std::span<const char* const> settingChecks() {
  return kChecks;
}

std::span<const PageRow> settingServiceRows() {
  return kServiceRows;
}

const PageRow& settingFirmwareRow() {
  return kFirmwareRow;
}

}  // namespace ccp::pages
