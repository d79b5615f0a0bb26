#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <string>
#include <string_view>

#include "image/build_config.h"
#include "shell/controls.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QWidget;

namespace ccp {
class TForm1;
}

namespace ccp::qt {

// Makes one widget per model control, named after it, and binds the two both ways: the view
// shows the model's state, and everything the user does reaches the model as a user action,
// which decides what happens (key rules, maximum length, refusals).
class ViewBinder : public QObject {
  Q_OBJECT

 public:
  explicit ViewBinder(TForm1& form, QWidget* window);

  // The widget of the control or named label `name`, made and bound on the first request.
  QWidget* widget(std::string_view name, QWidget* parent);
  QLineEdit* field(std::string_view name, QWidget* parent);
  QComboBox* list(std::string_view name, QWidget* parent);
  QCheckBox* check(std::string_view name, QWidget* parent);
  QLabel* label(std::string_view name, QWidget* parent);

  bool hasControl(std::string_view name) const;
  QWidget* widgetOf(const Control& control) const;
  // Shows the model state of one control, or of all of them.
  void refresh(const Control& control);
  void refreshAll();
  // Keyboard focus moved by the program.
  void focus(const Control& control);
  // Frames the widget of the control whose text could not be read as a number, until its
  // text changes. The focus stays where it is.
  void markFailed(std::string_view name);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* make(Control& control, QWidget* parent);
  QWidget* makeField(TextField& field, QWidget* parent);
  QWidget* makeList(ComboBox& box, QWidget* parent);
  QWidget* makeCheck(CheckBox& box, QWidget* parent);
  void bindListEditor(ComboBox& box, QComboBox* widget);
  void watch(QObject* object, Control& control, bool forExit);
  bool typeKey(Control& control, QObject* watched, const QString& text);
  bool handleKey(Control& control, QObject* watched, QKeyEvent* event);
  void run(const Control& control, const std::function<void()>& action);
  // Text with a character the pager cannot hold: dropped with a beep.
  void refuse(const Control& control);
  void unmarkIfChanged(const Control& control);

  TForm1& form_;
  Model model_;
  QWidget* window_;
  std::map<const Control*, QWidget*> widgets_;
  struct Watched {
    Control* control;
    bool forExit;
  };
  std::map<QObject*, Watched> watched_;
  struct Failed {
    QPointer<QWidget> frame;
    std::string text;  // the text that failed
  };
  std::map<const Control*, Failed> failed_;
};

}  // namespace ccp::qt
