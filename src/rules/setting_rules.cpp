#include "rules/setting_rules.h"

#include <string>

#include "image/synth.h"
#include "rules/frequency_field.h"
#include "rules/rule_support.h"
#include "shell/conversion.h"
#include "shell/form.h"

namespace ccp::rules {

namespace {

constexpr std::size_t kFrequencyWidth = 9;
constexpr std::size_t kGreetingWidth = 14;
constexpr std::size_t kSerialWidth = 8;
const char* const kLongSpacing = "6.25KHz";

bool isHexUpper(char c) {
  return isDigit(c) || (c >= 'A' && c <= 'F');
}
bool isAlnum(char c) {
  return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The point follows the third digit by itself: the digit typed while the field holds two
// characters goes to the end, and the key becomes the point.
void channelfreqKeyPress(TForm1& form, char& key) {
  if (key == kBackspace) return;
  if (!isDigit(key)) {
    key = '\0';
    form.beep();
    return;
  }
  TextField& freq = form.textField("channelfreq");
  if (freq.text().size() != 2) return;
  freq.setCaret(freq.text().size());
  freq.insertTyped(std::string(1, key));
  key = '.';
}

// Pads the frequency text, stores its synthesizer words and shows what they stand for.
void applyFrequencyText(TForm1& form) {
  TextField& freq = form.textField("channelfreq");
  std::string text = freq.text();
  while (text.size() < kFrequencyWidth) text += text.size() == 3 ? "." : "0";
  freq.setText(text);
  EncodeFrequency(form);
  DecodeFrequency(form);
}

}  // namespace

void channelfreqExit(TForm1& form) {
  // Stored words that define no frequency stay as they are until a frequency is typed.
  if (form.textField("channelfreq").text() == kNoFrequencyText) return;
  applyFrequencyText(form);
}

void channelspaceChange(TForm1& form) {
  const int version = toInt(form.textField("firmwareversion"));
  const bool restricted =
      version == 1 || (version == 2 && form.textField("subversion").text().empty());
  CheckBox& handprogram = form.checkBox("handprogram");
  if (restricted && form.comboBox("channelspace").index() != 0) {
    handprogram.setChecked(false);
    handprogram.setEnabled(false);
  } else {
    handprogram.setEnabled(true);
  }
  // A new spacing needs a frequency to encode: a field that shows none fails its conversion,
  // and the stored words stay as they are.
  applyFrequencyText(form);
}

// Versions are compared as texts, character by character: "" and "1" and "12" are all below
// "2".
void firmwareversionChange(TForm1& form) {
  const std::string version = form.textField("firmwareversion").text();
  const int spacing = form.comboBox("channelspace").index();
  form.checkBox("handprogram").setEnabled(version >= "3" || spacing == 0 || spacing == 1);

  const bool identityShown = version >= "2";
  for (const char* name : {"serial", "rangetime", "L_serial", "L_rangetime", "L_rangetimeSec"}) {
    form.findControl(name)->setVisible(identityShown);
  }
  if (!identityShown) return;

  const bool longTimes = version >= "4";
  form.checkBox("outrangespecial").setVisible(longTimes);
  form.checkBox("lowbatteryspecial").setVisible(longTimes);
  const struct {
    const char* name;
    int shortDefault;
  } timeLists[] = {{"alerttime", 2}, {"msgdisptime", 3}};
  for (const auto& entry : timeLists) {
    ComboBox& list = form.comboBox(entry.name);
    if (longTimes) {
      if (list.count() == 4) list.insertItem(4, "64 sec");
    } else {
      list.removeItem(4);
      list.setIndex(entry.shortDefault);
    }
  }
}

void contrastExit(TForm1& form) {
  TextField& contrast = form.textField("contrast");
  if (toInt(contrast) >= 64) contrast.setText("63");
  if (toInt(contrast) < 8) contrast.setText("8");
}

void rangetimeExit(TForm1& form) {
  TextField& rangetime = form.textField("rangetime");
  if (toInt(rangetime) >= 255) rangetime.setText("255");
  if (toInt(rangetime) <= 0) rangetime.setText("000");
}

void lcdholdtimeChange(TForm1& form) {
  TextField& holdtime = form.textField("lcdholdtime");
  if (holdtime.text().empty()) return;
  if (toInt(holdtime) > 255) holdtime.setText("255");
}

void hellomsg1Exit(TForm1& form) {
  padWithBlanks(form.textField("hellomsg1"), kGreetingWidth);
}

void repeatcallcheckChange(TForm1& form) {
  form.comboBox("repeatcallreject").setEnabled(form.comboBox("repeatcallcheck").index() != 2);
}

void serialExit(TForm1& form) {
  TextField& serial = form.textField("serial");
  padWithBlanks(serial, kSerialWidth);
  if (form.config().edition != Edition::Factory || serial.text() != kServiceCode) return;
  for (const char* name : {"L_PubHeader", "chineseheader", "engheader", "clearheader", "L_BS",
                           "BS1", "BS2", "BS3", "L_Acheck", "addrcheck", "L_Dcheck", "datacheck"}) {
    form.findControl(name)->setVisible(true);
  }
  // Recognising the code again must not add a second entry: a duplicate would let the user
  // store a spacing code that has no frequency step.
  ComboBox& spacing = form.comboBox("channelspace");
  for (const std::string& item : spacing.items()) {
    if (item == kLongSpacing) return;
  }
  spacing.appendItem(kLongSpacing);
}

void bindSettingRules(TForm1& form) {
  TextField& freq = form.textField("channelfreq");
  freq.onKeyPress = [&form](char& key) { channelfreqKeyPress(form, key); };
  freq.onExit = [&form] { channelfreqExit(form); };
  form.comboBox("channelspace").onChange = [&form] { channelspaceChange(form); };
  form.textField("firmwareversion").onChange = [&form] { firmwareversionChange(form); };
  form.textField("subversion").onKeyPress = keyFilter(
      form, [](char c) { return c >= 'A' && c <= 'F'; }, "A-F and back space key only");
  form.textField("tonepatternA").onKeyPress =
      keyFilter(form, isHexUpper, "0-9, A-F and back space key only");
  TextField& serial = form.textField("serial");
  serial.onKeyPress = keyFilter(form, isAlnum, "0-9, A-Z, a-z and back space key only");
  serial.onExit = [&form] { serialExit(form); };
  form.textField("contrast").onExit = [&form] { contrastExit(form); };
  form.textField("rangetime").onExit = [&form] { rangetimeExit(form); };
  form.textField("lcdholdtime").onChange = [&form] { lcdholdtimeChange(form); };
  form.textField("hellomsg1").onExit = [&form] { hellomsg1Exit(form); };
  form.comboBox("repeatcallcheck").onChange = [&form] { repeatcallcheckChange(form); };
  const KeyRule noKeyPress = [](char& key) { key = '\0'; };
  for (const char* name : {"alerttime", "baudrate", "dateformat", "language"}) {
    form.comboBox(name).onKeyPress = noKeyPress;
  }
}

}  // namespace ccp::rules
