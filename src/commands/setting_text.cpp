#include "commands/setting_text.h"

#include <cstdint>
#include <cstdio>

#include "image/pager_charset.h"
#include "image/plain_text.h"
#include "shell/form.h"

namespace ccp {

namespace {

std::string hexEscape(std::uint32_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned>(byte));
  return text;
}

// A control character: \x7f below 0x80, \u0085 above, apart from a stray byte (\x85).
std::string controlEscape(char32_t c) {
  if (c < 0x80) return hexEscape(c);
  char text[16];
  std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(c));
  return text;
}

}  // namespace

std::string escaped(std::string_view utf8) {
  std::string text;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    const std::optional<char32_t> c = nextUtf8Char(utf8, at);
    if (!c) {
      text += hexEscape(static_cast<unsigned char>(utf8[start]));
    } else if (isControlChar(*c)) {
      text += controlEscape(*c);
    } else {
      if (*c == U'\\') text += '\\';
      text.append(utf8.substr(start, at - start));
    }
  }
  return text;
}

TypedText typedText(Model model, std::string_view utf8) {
  std::u32string chars;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::optional<char32_t> c = nextUtf8Char(utf8, at);
    if (!c) return {{}, "it is not UTF-8 text"};
    if (isControlChar(*c)) return {{}, "no key types the control character " + controlEscape(*c)};
    chars.push_back(*c);
  }
  PagerBytes bytes = toPagerBytes(model, chars);
  if (bytes.refused) {
    std::string c;
    appendUtf8(c, *bytes.refused);
    return {{}, "the pager has no character '" + c + "'"};
  }
  return {std::move(bytes.bytes), std::nullopt};
}

std::string shownValue(const TForm1& form, const Control& control) {
  switch (control.kind()) {
    case ControlKind::TextField:
      return utf8Text(form.config().model, static_cast<const TextField&>(control).text());
    case ControlKind::ComboBox:
      return utf8Text(form.config().model, static_cast<const ComboBox&>(control).text());
    case ControlKind::CheckBox:
      return static_cast<const CheckBox&>(control).checked() ? "on" : "off";
    case ControlKind::Label:
      break;
  }
  return {};
}

std::string printedValue(ControlKind kind, const std::string& value) {
  const bool quote = kind == ControlKind::TextField &&
                     (value.empty() || value.front() == ' ' || value.back() == ' ');
  return quote ? '"' + escaped(value) + '"' : escaped(value);
}

}  // namespace ccp
