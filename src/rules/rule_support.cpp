#include "rules/rule_support.h"

#include "shell/form.h"

namespace ccp::rules {

KeyRule keyFilter(TForm1& form, std::function<bool(char)> allowed, std::string message) {
  return [&form, allowed = std::move(allowed), message = std::move(message)](char& key) {
    if (key == kBackspace || allowed(key)) return;
    key = '\0';
    if (!message.empty()) form.logLine(message);
    form.beep();
  };
}

void padWithBlanks(TextField& field, std::size_t width) {
  if (field.text().size() < width)
    field.setText(field.text() + std::string(width - field.text().size(), ' '));
}

}  // namespace ccp::rules
