#include "rules/address_rules.h"

#include <string>
#include <vector>

#include "image/capcode.h"
#include "image/plain_text.h"
#include "rules/msgtype_rules.h"
#include "rules/rule_support.h"
#include "shell/conversion.h"
#include "shell/form.h"

namespace ccp::rules {

namespace {

constexpr std::size_t kDigits = kCapcodeDigits;

void setRowEnabled(TForm1& form, int n, bool enabled) {
  for (const char* base : {"address", "autoinc", "msgtype"}) {
    form.findControl(rowName(base, n))->setEnabled(enabled);
  }
  for (char tone : {'A', 'B', 'C', 'D'}) {
    form.comboBox("addr" + std::to_string(n) + "format" + tone).setEnabled(enabled);
  }
}

std::string rangeMessage(int n) {
  std::vector<std::string> ranges;
  for (const CapcodeRange& r : kCapcodeRanges) {
    ranges.push_back(std::to_string(r.first) + "-" + std::to_string(r.last));
  }
  return "Address [" + std::to_string(n) + "] range out, should be within " + joined(ranges, "; ");
}

}  // namespace

void addrEnClick(TForm1& form, int n) {
  if (form.checkBox(rowName("addr", n) + "en").checked()) {
    setRowEnabled(form, n, true);  // the frame stays disabled
  } else {
    setRowEnabled(form, n, false);
    form.textField(rowName("frame", n)).setEnabled(false);
  }
  msgtypeChange(form);
}

void addressChange(TForm1& form, int n) {
  TextField& address = form.textField(rowName("address", n));
  TextField& frame = form.textField(rowName("frame", n));
  if (address.text().empty()) {
    frame.setText(" ");
    return;
  }
  const int capcode = toInt(address);
  if (validCapcode(capcode)) {
    frame.setText(std::to_string(capcode % 8));
    return;
  }
  if (address.text().size() != kDigits) return;  // still being typed
  form.beep();
  form.logLine(rangeMessage(n));
  address.setFocus();
}

void addressExit(TForm1& form, int n) {
  TextField& address = form.textField(rowName("address", n));
  // One zero at a time: every intermediate text is a change of its own.
  while (address.text().size() < kDigits) address.setText("0" + address.text());
  addressChange(form, n);
}

void autoincExit(TForm1& form, int n) {
  ComboBox& autoinc = form.comboBox(rowName("autoinc", n));
  if (autoinc.text().empty()) autoinc.setFocus();
}

void bindAddressRules(TForm1& form) {
  KeyRule digitsOnly =
      keyFilter(form, isDigit, "Number Key and back space key only");  // lengthKeyPress
  KeyRule autoincKeyPress = keyFilter(
      form, [](char c) { return c >= '0' && c <= '8'; }, "");
  for (int n = 1; n <= 6; ++n) {
    form.checkBox(rowName("addr", n) + "en").onClick = [&form, n] { addrEnClick(form, n); };
    TextField& address = form.textField(rowName("address", n));
    address.onChange = [&form, n] { addressChange(form, n); };
    address.onExit = [&form, n] { addressExit(form, n); };
    address.onKeyPress = digitsOnly;
    ComboBox& autoinc = form.comboBox(rowName("autoinc", n));
    autoinc.onExit = [&form, n] { autoincExit(form, n); };
    autoinc.onKeyPress = autoincKeyPress;
  }
  for (const char* name : {"contrast", "lcdholdtime", "password", "firmwareversion", "rangetime"}) {
    form.textField(name).onKeyPress = digitsOnly;
  }
  for (int k = 0; k < 16; ++k)
    form.textField(folderName("pubboxlength", k)).onKeyPress = digitsOnly;
}

}  // namespace ccp::rules
