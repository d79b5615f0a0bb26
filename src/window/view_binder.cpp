#include "window/view_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "image/pager_charset.h"
#include "shell/form.h"
#include "window/failed_field.h"
#include "window/guard.h"
#include "window/view_style.h"

namespace ccp::qt {

namespace {

// The model's texts are the pager's bytes, one character each, read through its model's table.
// Every character of the tables is a single UTF-16 unit, so widget and model count the caret
// alike.
QString toView(Model model, const std::string& text) {
  return QString::fromStdU32String(pagerChars(model, text));
}

// Nothing when the text has a character the pager cannot hold.
std::optional<std::string> toModel(Model model, const QString& text) {
  PagerBytes bytes = toPagerBytes(model, text.toStdU32String());
  if (bytes.refused) return std::nullopt;
  return std::move(bytes.bytes);
}

QStringList itemsOf(Model model, const ComboBox& box) {
  QStringList items;
  for (const std::string& item : box.items()) items << toView(model, item);
  return items;
}

QStringList itemsOf(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

// The check box does not toggle itself: a user's toggle asks the model, whose click rule may
// refuse it, and the model's state comes back through refresh().
class ModelCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;
  std::function<void()> onUserToggle;

 protected:
  void nextCheckState() override {
    if (onUserToggle) onUserToggle();
  }
};

// The text a conversion reads from a control.
std::string textOf(const Control& control) {
  switch (control.kind()) {
    case ControlKind::TextField:
      return static_cast<const TextField&>(control).text();
    case ControlKind::ComboBox:
      return static_cast<const ComboBox&>(control).text();
    default:
      return {};
  }
}

bool isPrintable(const QString& text) {
  return !text.isEmpty() &&
         std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

// Focus that leaves with the window's activation, a popup or the menu bar has not moved to
// another control: no exit.
bool isExit(Qt::FocusReason reason) {
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
         reason != Qt::MenuBarFocusReason;
}

void refreshField(Model model, const TextField& field, QLineEdit& edit) {
  edit.setReadOnly(field.readOnly());
  const QString text = toView(model, field.text());
  const int caret = static_cast<int>(field.caret());
  // Only the field being edited shows the model's caret; the others show their text from its
  // start (a title longer than its field shows its beginning, not its trailing blank).
  const int shown = edit.hasFocus() ? caret : 0;
  if (edit.text() != text) {
    edit.setText(text);
    edit.setCursorPosition(shown);
  } else if (!edit.hasSelectedText() && edit.cursorPosition() != shown) {
    // A refused key leaves a selection as it was.
    edit.setCursorPosition(shown);
  }
}

}  // namespace

ViewBinder::ViewBinder(TForm1& form, QWidget* window)
    : QObject(window), form_(form), model_(form.config().model), window_(window) {}

QWidget* ViewBinder::widget(std::string_view name, QWidget* parent) {
  Control* control = form_.findControl(name);
  if (control == nullptr) {
    throw std::invalid_argument("the window has no control named '" + std::string(name) + "'");
  }
  QWidget* existing = widgetOf(*control);
  return existing != nullptr ? existing : make(*control, parent);
}

QLineEdit* ViewBinder::field(std::string_view name, QWidget* parent) {
  form_.textField(name);  // checks the kind
  return static_cast<QLineEdit*>(widget(name, parent));
}

QComboBox* ViewBinder::list(std::string_view name, QWidget* parent) {
  form_.comboBox(name);
  return static_cast<QComboBox*>(widget(name, parent));
}

QCheckBox* ViewBinder::check(std::string_view name, QWidget* parent) {
  form_.checkBox(name);
  return static_cast<QCheckBox*>(widget(name, parent));
}

QLabel* ViewBinder::label(std::string_view name, QWidget* parent) {
  form_.label(name);
  return static_cast<QLabel*>(widget(name, parent));
}

bool ViewBinder::hasControl(std::string_view name) const {
  return form_.findControl(name) != nullptr;
}

QWidget* ViewBinder::widgetOf(const Control& control) const {
  auto found = widgets_.find(&control);
  return found == widgets_.end() ? nullptr : found->second;
}

QWidget* ViewBinder::make(Control& control, QWidget* parent) {
  QWidget* made = nullptr;
  switch (control.kind()) {
    case ControlKind::TextField:
      made = makeField(static_cast<TextField&>(control), parent);
      break;
    case ControlKind::ComboBox:
      made = makeList(static_cast<ComboBox&>(control), parent);
      break;
    case ControlKind::CheckBox:
      made = makeCheck(static_cast<CheckBox&>(control), parent);
      break;
    case ControlKind::Label:
      made = new QLabel(toView(model_, static_cast<Label&>(control).caption()), parent);
      break;
  }
  made->setObjectName(QString::fromStdString(control.name()));
  if (!control.hint().empty()) made->setToolTip(toView(model_, control.hint()));
  widgets_[&control] = made;
  // What the rules hide later (rows of a firmware version) keeps its place meanwhile; what
  // the start-up hid for the whole run (a model's missing rows) takes none.
  if (control.visible()) keepPlaceWhenHidden(made);
  // Shown as the model has it before any layout measures it.
  refresh(control);
  return made;
}

QWidget* ViewBinder::makeField(TextField& field, QWidget* parent) {
  // No QLineEdit::setMaxLength: the model limits typing, and program text may be longer.
  auto* edit = new QLineEdit(parent);
  watch(edit, field, true);
  // Typing is intercepted in eventFilter(); what is left (Delete, cut, paste, undo, drop)
  // reaches the model as an edit, which the model may cut or refuse.
  connect(edit, &QLineEdit::textEdited, this, [this, &field, edit](const QString& text) {
    const auto bytes = toModel(model_, text);
    if (!bytes) return refuse(field);
    const auto caret = static_cast<std::size_t>(std::max(0, edit->cursorPosition()));
    run(field, [&] { field.edit(*bytes, caret); });
  });
  return edit;
}

QWidget* ViewBinder::makeList(ComboBox& box, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setInsertPolicy(QComboBox::NoInsert);
  watch(combo, box, true);
  // The user's choice only; the program's index changes are mirrored with signals blocked.
  connect(combo, &QComboBox::activated, this,
          [this, &box](int index) { run(box, [&] { box.choose(index); }); });
  return combo;
}

QWidget* ViewBinder::makeCheck(CheckBox& box, QWidget* parent) {
  auto* check = new ModelCheckBox(toView(model_, box.caption()), parent);
  check->onUserToggle = [this, &box] { run(box, [&] { box.click(); }); };
  return check;
}

void ViewBinder::bindListEditor(ComboBox& box, QComboBox* combo) {
  combo->setEditable(true);
  QLineEdit* editor = combo->lineEdit();
  combo->setCompleter(nullptr);
  watch(editor, box, false);
  connect(editor, &QLineEdit::textEdited, this, [this, &box](const QString& text) {
    const auto bytes = toModel(model_, text);
    if (!bytes) return refuse(box);
    run(box, [&] { box.edit(*bytes); });
  });
}

void ViewBinder::watch(QObject* object, Control& control, bool forExit) {
  watched_[object] = Watched{&control, forExit};
  object->installEventFilter(this);
  connect(object, &QObject::destroyed, this, [this, object] { watched_.erase(object); });
}

void ViewBinder::run(const Control& control, const std::function<void()>& action) {
  guarded(window_, action);
  // The model may have refused without a change to report: show its state either way.
  refresh(control);
}

void ViewBinder::refuse(const Control& control) {
  form_.beep();
  refresh(control);
}

bool ViewBinder::typeKey(Control& control, QObject* watched, const QString& text) {
  const auto converted = toModel(model_, text);
  // A character the pager cannot hold is dropped like a key a rule refuses.
  if (!converted) {
    refuse(control);
    return true;
  }
  const std::string& keys = *converted;
  if (control.kind() == ControlKind::TextField) {
    auto& field = static_cast<TextField&>(control);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit != nullptr) {
      const bool selected = edit->hasSelectedText();
      const int start = selected ? edit->selectionStart() : edit->cursorPosition();
      const auto length = selected ? edit->selectedText().size() : 0;
      field.setSelection(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    }
    run(field, [&] { field.type(keys); });
  } else if (control.kind() == ControlKind::ComboBox) {
    auto& box = static_cast<ComboBox&>(control);
    run(box, [&] { box.type(keys); });
  }
  return true;
}

bool ViewBinder::handleKey(Control& control, QObject* watched, QKeyEvent* event) {
  // Shortcuts (copy, paste, undo, ...) stay with the widget and come back as edits.
  if (event->modifiers() & Qt::ControlModifier) return false;
  if (event->key() == Qt::Key_Backspace) {
    if (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return false;
    return typeKey(control, watched, QString(QChar(kBackspace)));
  }
  if (!isPrintable(event->text())) return false;  // caret keys, Delete, Tab, Enter
  // A character typed with Alt or Meta is typed all the same, and meets the key rule; a menu
  // shortcut (Alt+F) never gets here, as the window takes it before the field sees the key.
  return typeKey(control, watched, event->text());
}

bool ViewBinder::eventFilter(QObject* watched, QEvent* event) {
  auto found = watched_.find(watched);
  if (found == watched_.end()) return false;
  Control& control = *found->second.control;
  switch (event->type()) {
    case QEvent::KeyPress:
      return handleKey(control, watched, static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod: {
      // Composed characters are typed characters too.
      auto* input = static_cast<QInputMethodEvent*>(event);
      if (input->commitString().isEmpty() || !input->preeditString().isEmpty()) return false;
      return typeKey(control, watched, input->commitString());
    }
    case QEvent::FocusOut:
      if (found->second.forExit && isExit(static_cast<QFocusEvent*>(event)->reason())) {
        if (control.kind() == ControlKind::TextField) {
          run(control, [&] { static_cast<TextField&>(control).leave(); });
        } else if (control.kind() == ControlKind::ComboBox) {
          run(control, [&] { static_cast<ComboBox&>(control).leave(); });
        }
      }
      return false;
    case QEvent::Resize:
      // A frame over a failed field keeps its size (no filter of its own: one installed while
      // the field's events are being filtered would see the same event twice).
      if (auto failed = failed_.find(&control);
          failed != failed_.end() && failed->second.frame && watched == widgetOf(control)) {
        failed->second.frame->setGeometry(widgetOf(control)->rect());
      }
      return false;
    default:
      return false;
  }
}

void ViewBinder::markFailed(std::string_view name) {
  const Control* control = form_.findControl(name);
  QWidget* widget = control != nullptr ? widgetOf(*control) : nullptr;
  if (widget == nullptr) return;
  Failed& failed = failed_[control];
  if (failed.frame == nullptr) failed.frame = new FailedFieldFrame(widget);
  failed.text = textOf(*control);
}

void ViewBinder::unmarkIfChanged(const Control& control) {
  auto found = failed_.find(&control);
  if (found == failed_.end() || textOf(control) == found->second.text) return;
  delete found->second.frame;
  failed_.erase(found);
}

void ViewBinder::refresh(const Control& control) {
  unmarkIfChanged(control);
  QWidget* widget = widgetOf(control);
  if (widget == nullptr) return;
  const QSignalBlocker blocker(widget);
  switch (control.kind()) {
    case ControlKind::TextField:
      refreshField(model_, static_cast<const TextField&>(control),
                   *static_cast<QLineEdit*>(widget));
      break;
    case ControlKind::ComboBox: {
      const auto& box = static_cast<const ComboBox&>(control);
      auto* combo = static_cast<QComboBox*>(widget);
      if (box.editable() && !combo->isEditable()) {
        bindListEditor(const_cast<ComboBox&>(box), combo);
      } else if (!box.editable() && combo->isEditable()) {
        combo->setEditable(false);
      }
      const QStringList items = itemsOf(model_, box);
      if (itemsOf(*combo) != items) {
        combo->clear();
        combo->addItems(items);
      }
      combo->setCurrentIndex(box.index());
      if (combo->isEditable()) {
        const QSignalBlocker editorBlocker(combo->lineEdit());
        const QString text = toView(model_, box.text());
        if (combo->currentText() != text) combo->setEditText(text);
      }
      break;
    }
    case ControlKind::CheckBox:
      static_cast<QCheckBox*>(widget)->setChecked(static_cast<const CheckBox&>(control).checked());
      break;
    case ControlKind::Label:
      break;
  }
  widget->setEnabled(control.enabled());
  // A widget not yet placed in the window would show as a window of its own.
  if (widget->parentWidget() != nullptr) widget->setHidden(!control.visible());
}

void ViewBinder::refreshAll() {
  for (const auto& [control, widget] : widgets_) refresh(*control);
}

void ViewBinder::focus(const Control& control) {
  QWidget* widget = widgetOf(control);
  if (widget == nullptr) return;
  // Not inside the focus change that may have asked for it; and only on the page in front:
  // a command that loads settings does not switch pages under the user.
  QTimer::singleShot(0, widget, [widget] {
    if (widget->isVisible() && widget->isEnabled()) widget->setFocus(Qt::OtherFocusReason);
  });
}

}  // namespace ccp::qt
