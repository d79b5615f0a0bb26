#include "commands/encode_image.h"

#include <span>
#include <string>

#include "image/checksum.h"
#include "image/folder_slots.h"
#include "image/hex.h"
#include "image/image.h"
#include "image/text_field.h"
#include "rules/folder_rules.h"
#include "rules/frequency_field.h"
#include "rules/rule_support.h"
#include "rules/setting_rules.h"
#include "shell/conversion.h"
#include "shell/form.h"

namespace ccp {

namespace {

using rules::folderName;
using rules::rowName;

// Lists are read by code(), so a code that a decoding could not show is stored back unchanged.
int code(TForm1& form, const std::string& name) {
  return form.comboBox(name).code();
}
bool checked(TForm1& form, const std::string& name) {
  return form.checkBox(name).checked();
}
const std::string& text(TForm1& form, const std::string& name) {
  return form.textField(name).text();
}
std::uint8_t value(TForm1& form, const std::string& name) {
  return static_cast<std::uint8_t>(toInt(form.textField(name)));
}
std::uint8_t low8(int v) {
  return static_cast<std::uint8_t>(v);
}

void setBit(std::uint8_t& byte, std::uint8_t mask, bool on) {
  byte = on ? (byte | mask) : (byte & ~mask);
}

void writeText(EepBlock& eep, std::size_t at, std::size_t width, const std::string& text) {
  writeTextField(std::span<std::uint8_t>(eep).subspan(at, width), text);
}

constexpr int kLongTime = 4;  // "64 sec": flagged in EEP 0x0A instead of the two-bit code

// A long time sets its flag; codes beyond "64 sec" (read from an image, not shown) keep their
// low bits, so they survive a save unchanged.
void writeTime(EepBlock& eep, int timeCode, std::uint8_t longFlag, int shift) {
  const bool isLong = timeCode >= kLongTime;
  setBit(eep[eep::kSpecialFlags], longFlag, isLong);
  const int low = isLong ? timeCode - kLongTime : timeCode;
  eep[eep::kUrgentCall] = low8((eep[eep::kUrgentCall] & ~(3 << shift)) | (low & 3) << shift);
}

void encodeSettingsRecord(TForm1& form, EepBlock& eep) {
  rules::serialExit(form);
  writeText(eep, eep::kSerial, eep::kSerialWidth, text(form, "serial"));
  eep[eep::kRangeTime] = value(form, "rangetime");
  eep[eep::kSpecialFlags] = checked(form, "outrangespecial") ? 0x80 : 0x00;
  setBit(eep[eep::kSpecialFlags], 0x40, checked(form, "lowbatteryspecial"));
  for (std::size_t i = 0; i < eep::kTonePatterns.size(); ++i) {
    hexToBytes(text(form, eep::kTonePatternControls[i]),
               std::span<std::uint8_t>(eep).subspan(eep::kTonePatterns[i], eep::kTonePatternBytes));
  }
  // The Hebrew model keeps eight urgent call types; the other has four and the flag one bit lower.
  const int urgentType = code(form, "urgcalltype");
  if (isHebrewModel(form.config())) {
    eep[eep::kUrgentCall] =
        low8((checked(form, "urgentcall") ? 0x80 : 0x00) | (urgentType * 16 & 0x70));
  } else {
    eep[eep::kUrgentCall] =
        low8((checked(form, "urgentcall") ? 0x40 : 0x00) | (urgentType * 16 & 0x30));
  }
  writeTime(eep, code(form, "alerttime"), 0x20, 0);
  writeTime(eep, code(form, "msgdisptime"), 0x10, 2);
  eep[eep::kLcdHoldTime] = value(form, "lcdholdtime");

  int types = 0;
  for (int n = 1; n <= kAddressCount; ++n)
    types |= (code(form, rowName("msgtype", n)) & 1) << (n - 1);
  eep[eep::kMessageTypes] = low8(types);
  eep[eep::kLanguages] =
      low8((code(form, "menulanguage") * 16 & 0xF0) | (code(form, "language") & 0x0F));
  eep[eep::kContrast] = value(form, "contrast");

  const int lowcell = code(form, "lowcell") & 1;
  std::uint8_t display = low8(code(form, "autospace") * 64 & 0x40);
  display |=
      low8((code(form, "dateformat") & 1) << 5 | (code(form, "pubcallno") & 1) << 4 | lowcell << 3);
  setBit(display, 0x04, checked(form, "unread_alert"));
  display |= low8((code(form, "numset") & 1) << 1 | (code(form, "pubfoldermode") & 1));
  eep[eep::kDisplayFlags] = display;

  writeText(eep, eep::kPassword, eep::kPasswordWidth, text(form, "password"));

  std::uint8_t call = checked(form, "handprogram") ? 0x80 : 0x00;
  call |= low8((code(form, "urgcalladdr") * 16 & 0x70) | lowcell << 3);
  setBit(call, 0x04, checked(form, "ota"));
  call |= low8(code(form, "repeatcallcheck") & 3);
  eep[eep::kCallFlags] = call;
  eep[eep::kAddrCheck] = low8(code(form, "addrcheck"));
  eep[eep::kDataCheck] = low8(code(form, "datacheck"));

  rules::hellomsg1Exit(form);
  writeText(eep, eep::kHelloMessage, eep::kHelloMessageWidth, text(form, "hellomsg1"));
  for (int n = 1; n <= kAddressCount; ++n) {
    const std::string row = "addr" + std::to_string(n) + "format";
    eep[eep::addressFormat(n)] = low8(code(form, row + "A") + 4 * code(form, row + "B") +
                                      16 * code(form, row + "C") + 64 * code(form, row + "D"));
  }
  eep[eep::kChineseHeader] = charFieldByte(text(form, "chineseheader"));
  eep[eep::kEngHeader] = charFieldByte(text(form, "engheader"));
  eep[eep::kClearHeader] = charFieldByte(text(form, "clearheader"));

  for (int k = 0; k < kFolderCount; ++k) rules::pubboxExit(form, k);
  for (int k = 0; k < kFolderCount; ++k) {
    writeText(eep, eep::folderTitle(k), eep::kFolderTitleWidth,
              text(form, folderName("pubbox", k)));
  }
  FolderSlots folders{};
  for (int k = 0; k < kFolderCount; ++k) {
    folders[k].active = checked(form, folderName("pubboxact", k));
    if (folders[k].active) folders[k].length = toInt(form.textField(folderName("pubboxlength", k)));
  }
  writeFolderSlots(eep, folders);

  eep[eep::kFirmwareVersion] = value(form, "firmwareversion");
  eep[eep::kSubversion] = charFieldByte(text(form, "subversion"));
  std::uint8_t chip = low8(code(form, "urgcallmode") << 7);
  if (checked(form, "qsound")) chip |= 0x40;
  chip |= low8(pllChipCode(form.config(), code(form, "pll")) * 16 & 0x30);
  eep[eep::kChipFlags] = chip;
  eep[eep::kRepeatCallReject] = low8(code(form, "repeatcallreject"));
  const auto id = buildIdentification(form.config());
  std::copy(id.begin(), id.end(), eep.begin() + eep::kBuildId);
  // Provisional: the synthesizer control byte is written later, and whoever stores the block
  // stores the complement over the final bytes.
  eep[eep::kChecksum] = imageChecksum(eep);
}

void encodeDecoderBlock(TForm1& form, DecoderBlock& decoder) {
  decoder[dec::kPolarity] =
      low8((decoder[dec::kPolarity] & 0x7F) | (code(form, "polarity") * 128 & 0x80));
  std::uint8_t& baud = decoder[dec::kBaudRate];
  baud &= low8(~dec::kBaudRateMask);
  const int rate = code(form, "baudrate");
  if (rate == 1) baud |= 0x20;
  if (rate == 2) baud |= 0x30;
  // Every flag byte is prepared before any capcode is read, so a capcode that fails to convert
  // leaves all enable bits already written.
  for (int n = 1; n <= kAddressCount; ++n) {
    std::uint8_t& flags = decoder[dec::capcodeFlags(n)];
    flags &= dec::kAddressDefaultBits;
    if (checked(form, rowName("addr", n) + "en")) flags |= dec::kAddressEnableBit;
  }
  for (int n = 1; n <= kAddressCount; ++n) {
    const auto c = static_cast<std::uint32_t>(toInt(form.textField(rowName("address", n))));
    decoder[dec::capcodeFlags(n)] |= low8(static_cast<int>(c << 3));  // bits 4-0 into 7-3
    decoder[dec::capcodeMiddle(n)] = low8(static_cast<int>(c >> 5));
    decoder[dec::capcodeHigh(n)] = low8(static_cast<int>(c >> 13));
  }
}

}  // namespace

void EncodeImage(TForm1& form, UnshownFrequency unshown) {
  Image& image = form.image();
  encodeSettingsRecord(form, image.eep);
  resetDecoderBlock(image, form.config());
  encodeDecoderBlock(form, image.decoder);
  if (unshown == UnshownFrequency::KeepLoaded && KeepUnshownFrequency(form)) return;
  EncodeFrequency(form);
}

}  // namespace ccp
