#pragma once

#include <QMainWindow>

#include "shell/form.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTabWidget;

namespace ccp::qt {

class QtPlatform;
class ViewBinder;

// The program's one window: the two pages, the message log and the menu bar, all showing the
// form's model and passing the user's actions to it.
class MainWindow : public QMainWindow, private FormObserver {
  Q_OBJECT

 public:
  explicit MainWindow(TForm1& form, QWidget* parent = nullptr);
  ~MainWindow() override;

  // About 685 by 538 pixels, centred on the desktop.
  void showCentred();
  // The desktop services of this window: they show progress in its status bar, parent their
  // dialogs here and point out the field an error box names.
  void attachPlatform(QtPlatform& platform);
  // Opens a configuration file exactly as File > Open does when the file is chosen in its
  // dialog. Needs the attached platform.
  void openFile(const QString& path);
  // The status bar says for good that no real Programmer is behind this window.
  void showSimulated();
  // How the transfers will run ("real-time", ...): said in the status bar now and again at
  // Help > About.
  void showTransferPriority(const QString& text);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // FormObserver
  void controlChanged(Control& control) override;
  void focusMoved(Control& control) override;

  void buildMenus();
  QAction* bindMenuItem(MenuItem& item, QAction* action, bool checkable);
  void buildRecentFiles();
  void showRecentFiles(QMenu* recent);
  void acceptFileDrops();
  void buildLog();
  void showSlotsUsed();
  void appendLogLine(const std::string& line);

  TForm1& form_;
  ViewBinder* binder_;
  QTabWidget* pages_;
  QPlainTextEdit* log_;
  QLabel* slotsUsed_ = nullptr;
  QtPlatform* platform_ = nullptr;
};

}  // namespace ccp::qt
