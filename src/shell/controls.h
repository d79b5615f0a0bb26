#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ccp {

class Control;

// What a control needs from the window that owns it.
class ControlHost {
 public:
  virtual ~ControlHost() = default;
  // Runs a user action; a conversion failure inside it ends the action and is shown in the
  // platform's error box.
  virtual void runUserAction(const std::function<void()>& action) = 0;
  virtual void moveFocusTo(Control& control) = 0;
  // The view mirrors the control's new state.
  virtual void controlChanged(Control& control) = 0;
};

enum class ControlKind { TextField, ComboBox, CheckBox, Label };

// Backspace as a typed character.
inline constexpr char kBackspace = '\b';

class Control {
 public:
  Control(ControlHost& host, std::string name, ControlKind kind)
      : host_(host), name_(std::move(name)), kind_(kind) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  const std::string& hint() const { return hint_; }
  void setHint(std::string hint) { hint_ = std::move(hint); }

  bool enabled() const { return enabled_; }
  bool visible() const { return visible_; }
  // Neither raises an event.
  void setEnabled(bool enabled);
  void setVisible(bool visible);
  // Program operation: moves the keyboard focus here.
  void setFocus() { host_.moveFocusTo(*this); }

 protected:
  void changed() { host_.controlChanged(*this); }
  ControlHost& host_;

 private:
  std::string name_;
  ControlKind kind_;
  std::string hint_;
  bool enabled_ = true;
  bool visible_ = true;
};

// A key rule sees each typed character before it reaches the control; it may replace it, or
// drop it by setting it to '\0'.
using KeyRule = std::function<void(char& key)>;
using Handler = std::function<void()>;

// Text field and read-only field. A maximum length limits typing and text inserted as if
// typed; text set by the program as a whole may be longer.
class TextField : public Control {
 public:
  TextField(ControlHost& host, std::string name)
      : Control(host, std::move(name), ControlKind::TextField) {}

  const std::string& text() const { return text_; }
  std::size_t maxLength() const { return maxLength_; }  // 0: no limit
  std::size_t caret() const { return caret_; }
  bool readOnly() const { return readOnly_; }

  // Program operations; never catch.
  void setText(std::string text);
  void clear() { setText(""); }
  void setCaret(std::size_t position);
  // The view's caret and selected characters after it; no event. The next typed character
  // that its key rule lets through replaces the selection (Backspace deletes it). Any change
  // of the text ends the selection.
  void setSelection(std::size_t start, std::size_t length);
  // Inserts at the caret as if typed: cut to the room the maximum length leaves; key rules do
  // not run. One change.
  void insertTyped(std::string_view text);
  void setMaxLength(std::size_t length) { maxLength_ = length; }
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  // User actions, each through the dispatch boundary.
  void type(std::string_view chars);  // kBackspace deletes before the caret
  // A non-typing edit (delete, cut, paste, undo): the whole new text, cut to the maximum
  // length, with its caret. Key rules do not see it.
  void edit(std::string text, std::size_t caret);
  void leave();

  Handler onChange;
  Handler onExit;
  KeyRule onKeyPress;

  // Used by the view and by list typing: one typed character after its key rule.
  void typeOne(char key);

 private:
  void assign(std::string text, std::size_t caret);
  void replaceSelection(char key);

  std::string text_;
  std::size_t maxLength_ = 0;
  std::size_t caret_ = 0;
  std::size_t selection_ = 0;
  bool readOnly_ = false;
};

// Drop-down list. Its selection is an item index, -1 when no item is selected. An editable
// list also has a text part that the user may type into.
class ComboBox : public Control {
 public:
  ComboBox(ControlHost& host, std::string name)
      : Control(host, std::move(name), ControlKind::ComboBox) {}

  int index() const { return index_; }
  // What the encoding stores: the selected index, or the out-of-range index the program last
  // asked for (a code read from a file or a pager that no entry shows), so that code survives
  // until the user chooses an entry. -1 when neither.
  int code() const { return index_ >= 0 ? index_ : unshownIndex_; }
  int count() const { return static_cast<int>(items_.size()); }
  const std::string& itemText(int i) const { return items_.at(static_cast<std::size_t>(i)); }
  const std::vector<std::string>& items() const { return items_; }
  // The shown text: the selected item's, or what was typed into an editable list.
  const std::string& text() const { return text_; }
  bool editable() const { return editable_; }
  std::size_t maxLength() const { return maxLength_; }

  // Program operations: no event. An index outside the items leaves no selection.
  void setIndex(int index);
  void clearItems();
  void removeItem(int position);
  void insertItem(int position, std::string item);
  void appendItem(std::string item) { insertItem(count(), std::move(item)); }
  void setItems(std::vector<std::string> items, int index);
  void setEditable(bool editable, std::size_t maxLength) {
    editable_ = editable;
    maxLength_ = maxLength;
  }

  // User actions.
  void choose(int index);
  void type(std::string_view chars);
  void edit(std::string text);
  void leave();

  Handler onChange;
  Handler onExit;
  KeyRule onKeyPress;

 private:
  void typeOne(char key);
  void setTypedText(std::string text);

  std::vector<std::string> items_;
  int index_ = -1;
  int unshownIndex_ = -1;
  std::string text_;
  bool editable_ = false;
  std::size_t maxLength_ = 0;
};

class CheckBox : public Control {
 public:
  CheckBox(ControlHost& host, std::string name, std::string caption)
      : Control(host, std::move(name), ControlKind::CheckBox), caption_(std::move(caption)) {}

  const std::string& caption() const { return caption_; }
  bool checked() const { return checked_; }
  // Program operation: a change of state runs the click rule before this returns.
  void setChecked(bool checked);
  // User action: toggles an enabled box.
  void click();

  Handler onClick;

 private:
  std::string caption_;
  bool checked_ = false;
};

class Label : public Control {
 public:
  Label(ControlHost& host, std::string name, std::string caption)
      : Control(host, std::move(name), ControlKind::Label), caption_(std::move(caption)) {}
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
};

class MenuItem {
 public:
  MenuItem(ControlHost& host, std::string name, std::string caption)
      : host_(host), name_(std::move(name)), caption_(std::move(caption)) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }  // "&" marks the access key
  bool enabled() const { return enabled_; }
  bool checked() const { return checked_; }
  void setEnabled(bool enabled);
  void setChecked(bool checked);
  // User action: runs the command of an enabled item.
  void trigger();

  Handler onClick;
  std::function<void()> viewUpdate;  // set by the view

 private:
  ControlHost& host_;
  std::string name_;
  std::string caption_;
  bool enabled_ = true;
  bool checked_ = false;
};

// The message log: lines are only ever appended.
class MessageLog {
 public:
  void append(std::string line);
  const std::vector<std::string>& lines() const { return lines_; }

  std::function<void(const std::string&)> onAppend;  // set by the view
  // Set by the program around the form: told of each line before the view shows it.
  std::function<void(const std::string&)> beforeShown;

 private:
  std::vector<std::string> lines_;
};

}  // namespace ccp
