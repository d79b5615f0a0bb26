#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace ccp {
class TForm1;
}

namespace ccp::qt {

class RegisterWindow;

// The Register menu of the window: the pager register beside the main window, its settings and
// the release of a capcode by hand, each reaching the register through a connection of its own.
class RegisterView : public QObject {
 public:
  // Binds and enables the Register menu's items; a child of the window.
  RegisterView(TForm1& form, QWidget& window);
  ~RegisterView() override;

  // A pager command ended: the register's window, if open, shows what it added.
  void commandEnded();
  // Told when Register settings... saved new settings.
  std::function<void()> onSettingsSaved;

 private:
  void showRegister();
  template <typename Dialog>
  Dialog* showDialog();

  TForm1& form_;
  QWidget& window_;
  QPointer<RegisterWindow> register_;
};

}  // namespace ccp::qt
