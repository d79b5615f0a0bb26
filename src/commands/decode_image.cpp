#include "commands/decode_image.h"

#include <span>
#include <string>

#include "image/capcode.h"
#include "image/hex.h"
#include "image/image.h"
#include "image/text_field.h"
#include "rules/bindings.h"
#include "rules/frequency_field.h"
#include "rules/rule_support.h"
#include "rules/setting_rules.h"
#include "shell/form.h"

namespace ccp {

namespace {

using rules::folderName;
using rules::rowName;

bool bit(std::uint8_t byte, int n) {
  return (byte >> n & 1) != 0;
}

// Cleared, then inserted as if typed: the text is cut to the field's maximum length.
void retype(TextField& field, const std::string& text) {
  field.clear();
  field.insertTyped(text);
}

std::string readText(const EepBlock& eep, std::size_t at, std::size_t width) {
  return readTextField(std::span<const std::uint8_t>(eep).subspan(at, width));
}

void decodeSettingsRecord(TForm1& form, const EepBlock& eep) {
  auto select = [&form](const std::string& name, int code) { form.comboBox(name).setIndex(code); };
  auto check = [&form](const std::string& name, bool on) { form.checkBox(name).setChecked(on); };
  auto show = [&form](const std::string& name, std::string text) {
    form.textField(name).setText(std::move(text));
  };

  retype(form.textField("serial"), readText(eep, eep::kSerial, eep::kSerialWidth));
  show("rangetime", std::to_string(eep[eep::kRangeTime]));
  const std::uint8_t special = eep[eep::kSpecialFlags];
  check("outrangespecial", bit(special, 7));
  check("lowbatteryspecial", bit(special, 6));
  for (std::size_t i = 0; i < eep::kTonePatterns.size(); ++i) {
    show(eep::kTonePatternControls[i], bytesToHex(std::span<const std::uint8_t>(eep).subspan(
                                           eep::kTonePatterns[i], eep::kTonePatternBytes)));
  }
  const std::uint8_t urgent = eep[eep::kUrgentCall];
  if (isHebrewModel(form.config())) {
    check("urgentcall", bit(urgent, 7));
    select("urgcalltype", urgent >> 4 & 7);
  } else {
    check("urgentcall", bit(urgent, 6));
    select("urgcalltype", urgent >> 4 & 3);
  }
  show("lcdholdtime", std::to_string(eep[eep::kLcdHoldTime]));
  for (int n = 1; n <= kAddressCount; ++n) {
    select(rowName("msgtype", n), bit(eep[eep::kMessageTypes], n - 1));
  }
  select("menulanguage", eep[eep::kLanguages] >> 4);
  select("language", eep[eep::kLanguages] & 0x0F);
  show("contrast", std::to_string(eep[eep::kContrast]));

  const std::uint8_t display = eep[eep::kDisplayFlags];
  select("autospace", bit(display, 6));
  select("dateformat", bit(display, 5));
  select("pubcallno", bit(display, 4));
  select("lowcell", bit(display, 3));
  check("unread_alert", bit(display, 2));
  select("numset", bit(display, 1));
  select("pubfoldermode", bit(display, 0));
  retype(form.textField("password"), readText(eep, eep::kPassword, eep::kPasswordWidth));

  const std::uint8_t call = eep[eep::kCallFlags];
  check("handprogram", bit(call, 7));
  select("urgcalladdr", call >> 4 & 7);
  select("lowcell", bit(call, 3));  // the pager's copy wins over the one in 0x22
  check("ota", bit(call, 2));
  select("repeatcallcheck", call & 3);
  select("addrcheck", eep[eep::kAddrCheck]);
  select("datacheck", eep[eep::kDataCheck]);

  retype(form.textField("hellomsg1"), readText(eep, eep::kHelloMessage, eep::kHelloMessageWidth));
  for (int n = 1; n <= kAddressCount; ++n) {
    const std::string row = "addr" + std::to_string(n) + "format";
    const std::uint8_t formats = eep[eep::addressFormat(n)];
    select(row + "A", formats & 3);
    select(row + "B", formats >> 2 & 3);
    select(row + "C", formats >> 4 & 3);
    select(row + "D", formats >> 6 & 3);
  }
  show("chineseheader", charFieldText(eep[eep::kChineseHeader]));
  show("engheader", charFieldText(eep[eep::kEngHeader]));
  show("clearheader", charFieldText(eep[eep::kClearHeader]));
  select("channelspace", eep[eep::kSynthControl] >> 4);
}

// Each folder goes through its check box, so the activation rule sees the folders decoded
// before it and the lengths still shown for the later ones.
void decodeFolders(TForm1& form, const EepBlock& eep) {
  for (int k = 0; k < kFolderCount; ++k) {
    retype(form.textField(folderName("pubbox", k)),
           readText(eep, eep::folderTitle(k), eep::kFolderTitleWidth));
  }
  for (int k = 0; k < kFolderCount; ++k) {
    const int start = eep[eep::folderStart(k)];
    const int end = eep[eep::folderEnd(k)];
    const bool active = start != 0xFF;
    form.checkBox(folderName("pubboxact", k)).setChecked(active);
    TextField& length = form.textField(folderName("pubboxlength", k));
    form.textField(folderName("pubbox", k)).setEnabled(active);
    length.setEnabled(active);
    if (active) length.setText(std::to_string(end - start + 1));
  }
}

void decodeIdentity(TForm1& form, const EepBlock& eep) {
  form.textField("firmwareversion").setText(std::to_string(eep[eep::kFirmwareVersion]));
  form.textField("subversion").setText(charFieldText(eep[eep::kSubversion]));
  rules::firmwareversionChange(form);
  // After the firmware rule, which adds or removes the "64 sec" entries.
  const std::uint8_t special = eep[eep::kSpecialFlags];
  const std::uint8_t urgent = eep[eep::kUrgentCall];
  form.comboBox("msgdisptime").setIndex((bit(special, 4) ? 4 : 0) + (urgent >> 2 & 3));
  form.comboBox("alerttime").setIndex((bit(special, 5) ? 4 : 0) + (urgent & 3));

  const std::uint8_t chip = eep[eep::kChipFlags];
  form.comboBox("urgcallmode").setIndex(bit(chip, 7));
  form.checkBox("qsound").setChecked(bit(chip, 6));
  form.comboBox("pll").setIndex(pllItemIndex(form.config(), chip >> 4 & 3));
  form.comboBox("repeatcallreject").setIndex(eep[eep::kRepeatCallReject]);
}

void decodeDecoderBlock(TForm1& form, const DecoderBlock& decoder) {
  form.comboBox("polarity").setIndex(bit(decoder[dec::kPolarity], 7));
  ComboBox& baudrate = form.comboBox("baudrate");
  switch (decoder[dec::kBaudRate] & dec::kBaudRateMask) {
    case 0x00:
      baudrate.setIndex(0);
      break;
    case 0x20:
      baudrate.setIndex(1);
      break;
    case 0x30:
      baudrate.setIndex(2);
      break;
    default:
      break;  // code 01 has no entry and keeps the selection
  }
  for (int n = 1; n <= kAddressCount; ++n) {
    form.checkBox(rowName("addr", n) + "en").setChecked(readAddress(decoder, n).enabled);
  }
  for (int n = 1; n <= kAddressCount; ++n) {
    retype(form.textField(rowName("address", n)), std::to_string(readAddress(decoder, n).capcode));
  }
}

}  // namespace

void DecodeImage(TForm1& form) {
  const Image& image = form.image();
  decodeSettingsRecord(form, image.eep);
  decodeFolders(form, image.eep);
  decodeIdentity(form, image.eep);
  decodeDecoderBlock(form, image.decoder);
  DecodeLoadedFrequency(form);
}

void acceptLoadedImage(TForm1& form, std::string line) {
  Image& image = form.image();
  image.eep = image.eepRead;
  image.decoder = image.decoderRead;
  form.logLine(std::move(line));
  DecodeImage(form);
  rules::afterImageLoaded(form);
}

}  // namespace ccp
