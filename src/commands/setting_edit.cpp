#include "commands/setting_edit.h"

#include <algorithm>
#include <functional>

#include "commands/setting_names.h"
#include "commands/setting_text.h"
#include "image/pager_charset.h"
#include "image/plain_text.h"
#include "shell/form.h"

namespace ccp {

namespace {

bool isSetting(const std::string& name) {
  const auto& places = settingPlaces();
  return std::any_of(places.begin(), places.end(),
                     [&name](const SettingPlace& p) { return p.name == name; });
}

std::optional<std::string> unreachable(const Control& control) {
  if (!control.visible()) return control.name() + " is not shown in the window";
  if (!control.enabled()) return control.name() + " cannot be changed: it is disabled";
  return std::nullopt;
}

// Watches a field's key rule for the keys it drops, as long as it lives.
class DroppedKeys {
 public:
  explicit DroppedKeys(TextField& field) : field_(field), rule_(field.onKeyPress) {
    field.onKeyPress = [this](char& key) {
      const char typed = key;
      if (rule_) rule_(key);
      if (key == '\0' && !first) first = typed;
    };
  }
  ~DroppedKeys() { field_.onKeyPress = std::move(rule_); }
  DroppedKeys(const DroppedKeys&) = delete;
  DroppedKeys& operator=(const DroppedKeys&) = delete;

  std::optional<char> first;

 private:
  TextField& field_;
  KeyRule rule_;
};

// The first key the rule dropped, if any.
std::optional<char> typeKeys(TextField& field, const std::string& value) {
  DroppedKeys dropped(field);
  field.setSelection(0, field.text().size());
  if (value.empty()) field.type(std::string(1, kBackspace));
  for (std::size_t i = 0; i < value.size() && !dropped.first; ++i) {
    const std::string typedSoFar = value.substr(0, i + 1);
    const bool filledIn =
        i > 0 && field.caret() >= typedSoFar.size() && field.text().starts_with(typedSoFar);
    if (!filledIn) field.type(value.substr(i, 1));
  }
  return dropped.first;
}

// Whether the window objected since the change began: a line its rules logged, an error box.
using Objected = std::function<bool()>;

std::optional<std::string> typeInto(Model model, TextField& field, const std::string& value,
                                    const Objected& objected) {
  if (field.readOnly()) return field.name() + " is read-only";
  if (auto why = unreachable(field)) return why;
  const TypedText typed = typedText(model, value);
  if (typed.refusal) return typed.refusal;
  // The field would drop the keys past its maximum length.
  if (field.maxLength() != 0 && typed.bytes.size() > field.maxLength()) {
    return field.name() + " takes at most " + std::to_string(field.maxLength()) + " characters";
  }
  field.setFocus();
  if (const auto key = typeKeys(field, typed.bytes)) {
    return field.name() + " does not take the key '" + escaped(utf8Text(model, {&*key, 1})) + "'";
  }
  // A rule that refused the text as it was typed keeps the focus there, as the window does: a
  // user would not leave the field for its exit rule to say the same again.
  if (objected()) return std::nullopt;
  field.leave();
  return std::nullopt;
}

std::optional<std::string> chooseIn(ComboBox& list, const std::string& value) {
  if (auto why = unreachable(list)) return why;
  const auto& items = list.items();
  const auto found = std::find(items.begin(), items.end(), value);
  if (found == items.end()) {
    std::string known;
    for (const std::string& item : items) known += (known.empty() ? "\"" : ", \"") + item + '"';
    return list.name() + " has no item \"" + escaped(value) + "\"; its items: " + known;
  }
  list.setFocus();
  list.choose(static_cast<int>(found - items.begin()));
  list.leave();
  return std::nullopt;
}

std::optional<std::string> clickTo(CheckBox& box, const std::string& value) {
  if (value != "on" && value != "off") return box.name() + " takes on or off";
  if (auto why = unreachable(box)) return why;
  box.setFocus();
  if (box.checked() != (value == "on")) box.click();
  return std::nullopt;
}

std::optional<std::string> change(Model model, Control& control, const std::string& value,
                                  const Objected& objected) {
  switch (control.kind()) {
    case ControlKind::TextField:
      return typeInto(model, static_cast<TextField&>(control), value, objected);
    case ControlKind::ComboBox:
      return chooseIn(static_cast<ComboBox&>(control), value);
    case ControlKind::CheckBox:
      return clickTo(static_cast<CheckBox&>(control), value);
    case ControlKind::Label:
      break;
  }
  return control.name() + " is not a setting";
}

}  // namespace

std::optional<Assignment> parseAssignment(const std::string& word) {
  const auto equals = word.find('=');
  if (equals == std::string::npos || equals == 0) return std::nullopt;
  return Assignment{word.substr(0, equals), word.substr(equals + 1)};
}

std::optional<std::string> changeAsUser(TForm1& form, const ErrorBoxes& boxes,
                                        const Assignment& assignment) {
  Control* control = form.findControl(assignment.name);
  if (control == nullptr || !isSetting(assignment.name)) {
    return "no setting named '" + escaped(assignment.name) + "' (ccp set --names lists them)";
  }
  const auto& log = form.log().lines();
  const std::size_t lines = log.size();
  const int errorBoxes = boxes.errorBoxes();
  const Objected objected = [&] { return log.size() != lines || boxes.errorBoxes() != errorBoxes; };
  const std::optional<std::string> why =
      change(form.config().model, *control, assignment.value, objected);
  // The window's own words come first.
  if (log.size() != lines) {
    std::vector<std::string> logged;
    for (std::size_t i = lines; i < log.size(); ++i) {
      if (i == lines || log[i] != log[i - 1]) logged.push_back(log[i]);
    }
    return joined(logged, "; ");
  }
  if (boxes.errorBoxes() != errorBoxes) {
    const std::string message = boxes.lastErrorBox();
    if (message.empty()) return "the window showed an error (above)";
    return "the window showed an error: " + message;
  }
  return why;
}

std::optional<std::string> correction(TForm1& form, const Assignment& assignment) {
  const Control& control = *form.findControl(assignment.name);
  const std::string now = shownValue(form, control);
  if (now == assignment.value) return std::nullopt;
  return assignment.name + ": " + printedValue(control.kind(), assignment.value) + " became " +
         printedValue(control.kind(), now);
}

}  // namespace ccp
