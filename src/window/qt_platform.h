#pragma once

#include <QPointer>
#include <functional>

#include "shell/platform.h"

class QLabel;
class QMainWindow;
class QProgressBar;

namespace ccp::qt {

// The desktop services on Qt: system beep, error box, file dialogs and a progress bar in the
// status bar of the main window.
class QtPlatform : public Platform {
 public:
  // The window that parents the dialogs and shows progress; until it exists, dialogs have no
  // parent and progress is not shown.
  void attach(QMainWindow* window);

  void beep() override;
  void showError(const std::string& message, const std::string& field) override;
  std::optional<std::string> askOpenPath(std::string_view filter) override;
  std::optional<std::string> askSavePath(std::string_view filter) override;
  void showProgress(const ProgressReport& report) override;

  // Told of the control named by an error box before the box shows.
  std::function<void(const std::string& field)> onFailedField;

 private:
  QPointer<QMainWindow> window_;
  QPointer<QLabel> step_;
  QPointer<QProgressBar> bar_;
};

}  // namespace ccp::qt
