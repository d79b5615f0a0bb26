#include "shell/controls.h"

#include <algorithm>

namespace ccp {

namespace {
void run(const Handler& handler) {
  if (handler) handler();
}
}  // namespace

void Control::setEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  changed();
}

void Control::setVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  changed();
}

// ---- TextField

void TextField::assign(std::string text, std::size_t caret) {
  caret_ = std::min(caret, text.size());
  selection_ = 0;
  if (text == text_) {
    changed();  // the caret may have moved
    return;
  }
  text_ = std::move(text);
  changed();
  run(onChange);
}

void TextField::setText(std::string text) {
  std::size_t end = text.size();
  assign(std::move(text), end);
}

void TextField::setCaret(std::size_t position) {
  caret_ = std::min(position, text_.size());
  selection_ = 0;
  changed();
}

void TextField::setSelection(std::size_t start, std::size_t length) {
  caret_ = std::min(start, text_.size());
  selection_ = std::min(length, text_.size() - caret_);
}

void TextField::replaceSelection(char key) {
  std::string next = text_;
  next.erase(caret_, selection_);
  std::size_t at = caret_;
  if (key != kBackspace && (maxLength_ == 0 || next.size() < maxLength_)) next.insert(at++, 1, key);
  assign(std::move(next), at);
}

void TextField::insertTyped(std::string_view text) {
  std::size_t room = text.size();
  if (maxLength_ != 0) room = maxLength_ > text_.size() ? maxLength_ - text_.size() : 0;
  std::string_view kept = text.substr(0, std::min(room, text.size()));
  std::string next = text_;
  std::size_t at = std::min(caret_, next.size());
  next.insert(at, kept);
  assign(std::move(next), at + kept.size());
}

void TextField::typeOne(char key) {
  if (onKeyPress) onKeyPress(key);
  if (key == '\0') return;
  if (selection_ > 0) {
    replaceSelection(key);
    return;
  }
  if (key == kBackspace) {
    if (caret_ == 0) return;
    std::string next = text_;
    next.erase(caret_ - 1, 1);
    assign(std::move(next), caret_ - 1);
    return;
  }
  insertTyped(std::string_view(&key, 1));
}

void TextField::type(std::string_view chars) {
  for (char key : chars) {
    if (!enabled() || !visible() || readOnly_) return;
    host_.runUserAction([this, key] { typeOne(key); });
  }
}

void TextField::edit(std::string text, std::size_t caret) {
  if (!enabled() || !visible() || readOnly_) return;
  if (maxLength_ != 0 && text.size() > maxLength_ && text.size() > text_.size()) {
    // Pasted text is cut like typed text; a longer program text may stay as it is.
    text.resize(std::max(maxLength_, text_.size()));
  }
  host_.runUserAction([this, &text, caret] { assign(std::move(text), caret); });
}

void TextField::leave() {
  host_.runUserAction([this] { run(onExit); });
}

// ---- ComboBox

void ComboBox::setIndex(int index) {
  index_ = (index >= 0 && index < count()) ? index : -1;
  unshownIndex_ = index_ >= 0 ? -1 : index;
  text_ = index_ >= 0 ? items_[static_cast<std::size_t>(index_)] : std::string();
  changed();
}

void ComboBox::clearItems() {
  items_.clear();
  index_ = -1;
  unshownIndex_ = -1;
  text_.clear();
  changed();
}

void ComboBox::removeItem(int position) {
  if (position < 0 || position >= count()) return;
  items_.erase(items_.begin() + position);
  if (index_ == position) {
    index_ = -1;
    unshownIndex_ = -1;
    text_.clear();
  } else if (index_ > position) {
    --index_;
  }
  changed();
}

void ComboBox::insertItem(int position, std::string item) {
  position = std::clamp(position, 0, count());
  items_.insert(items_.begin() + position, std::move(item));
  if (index_ >= position) ++index_;
  changed();
}

void ComboBox::setItems(std::vector<std::string> items, int index) {
  items_ = std::move(items);
  setIndex(index);
}

void ComboBox::choose(int index) {
  if (!enabled() || !visible() || index < 0 || index >= count()) return;
  host_.runUserAction([this, index] {
    setIndex(index);
    run(onChange);
  });
}

void ComboBox::setTypedText(std::string text) {
  text_ = std::move(text);
  unshownIndex_ = -1;
  auto found = std::find(items_.begin(), items_.end(), text_);
  index_ = found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
  changed();
  run(onChange);
}

void ComboBox::typeOne(char key) {
  if (onKeyPress) onKeyPress(key);
  if (key == '\0' || !editable_) return;
  if (key == kBackspace) {
    if (!text_.empty()) setTypedText(text_.substr(0, text_.size() - 1));
    return;
  }
  // Typing into the text part replaces a full text, as a field whose text is selected does.
  std::string next = text_;
  if (maxLength_ != 0 && next.size() >= maxLength_) next.clear();
  next.push_back(key);
  setTypedText(std::move(next));
}

void ComboBox::type(std::string_view chars) {
  for (char key : chars) {
    if (!enabled() || !visible()) return;
    host_.runUserAction([this, key] { typeOne(key); });
  }
}

void ComboBox::edit(std::string text) {
  if (!enabled() || !visible() || !editable_) return;
  if (maxLength_ != 0 && text.size() > maxLength_) text.resize(maxLength_);
  host_.runUserAction([this, &text] { setTypedText(std::move(text)); });
}

void ComboBox::leave() {
  host_.runUserAction([this] { run(onExit); });
}

// ---- CheckBox

void CheckBox::setChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  changed();
  run(onClick);
}

void CheckBox::click() {
  if (!enabled() || !visible()) return;
  host_.runUserAction([this] { setChecked(!checked_); });
}

// ---- MenuItem

void MenuItem::setEnabled(bool enabled) {
  enabled_ = enabled;
  if (viewUpdate) viewUpdate();
}

void MenuItem::setChecked(bool checked) {
  checked_ = checked;
  if (viewUpdate) viewUpdate();
}

void MenuItem::trigger() {
  if (!enabled_) return;
  host_.runUserAction([this] { run(onClick); });
}

// ---- MessageLog

void MessageLog::append(std::string line) {
  lines_.push_back(std::move(line));
  if (beforeShown) beforeShown(lines_.back());
  if (onAppend) onAppend(lines_.back());
}

}  // namespace ccp
