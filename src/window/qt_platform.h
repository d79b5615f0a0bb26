#pragma once

#include <QPointer>
#include <functional>

#include "commands/error_boxes.h"
#include "shell/platform.h"
#include "window/file_history.h"

class QLabel;
class QMainWindow;
class QProgressBar;

namespace ccp::qt {

// The desktop services on Qt: system beep, error box, file dialogs that start in the last
// folder used and remember the files chosen, and a progress bar and notices in the status bar
// of the main window. It counts the error boxes it shows, so that a change typed into the window
// (a row of a customer's list) knows it was refused.
class QtPlatform : public Platform, public ErrorBoxes {
 public:
  // The window that parents the dialogs and shows progress; until it exists, dialogs have no
  // parent and progress is not shown.
  void attach(QMainWindow* window);

  void beep() override;
  void showError(const std::string& message, const std::string& field) override;
  std::optional<std::string> askOpenPath(std::string_view filter) override;
  std::optional<std::string> askSavePath(std::string_view filter) override;
  std::optional<std::string> askOpenPathIn(std::string_view folder,
                                           std::string_view filter) override;
  void showProgress(const ProgressReport& report) override;
  void showNotice(const std::string& text) override;
  int errorBoxes() const override { return errorBoxes_; }
  // Kept, as a row of a customer's list keeps why it was refused long after the box closed.
  std::string lastErrorBox() const override { return lastErrorBox_; }

  // Runs `command` with the open dialog answered by `path` without showing it: a recent or a
  // dropped file opens as if chosen there.
  void openWithoutDialog(const QString& path, const std::function<void()>& command);
  FileHistory& history() { return history_; }

  // Told of the control named by an error box before the box shows.
  std::function<void(const std::string& field)> onFailedField;

 private:
  QPointer<QMainWindow> window_;
  QPointer<QLabel> step_;
  QPointer<QProgressBar> bar_;
  FileHistory history_;
  QString openAnswer_;         // the path the open dialog answers with; empty: ask
  std::string pendingNotice_;  // shown once a window is attached
  int errorBoxes_ = 0;
  std::string lastErrorBox_;
};

}  // namespace ccp::qt
