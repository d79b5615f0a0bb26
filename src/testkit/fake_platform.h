#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/platform.h"

namespace ccp::testkit {

// Records every beep, error box, notice and dialog; answers the dialogs from a script.
class FakePlatform : public Platform {
 public:
  void beep() override { ++beeps; }
  void showError(const std::string& message, const std::string& field) override {
    errors.push_back(message);
    errorFields.push_back(field);
  }
  std::optional<std::string> askOpenPath(std::string_view filter) override;
  std::optional<std::string> askSavePath(std::string_view filter) override;
  std::optional<std::string> askOpenPathIn(std::string_view folder,
                                           std::string_view filter) override;
  void showProgress(const ProgressReport& report) override;
  void showNotice(const std::string& text) override { notices.push_back(text); }
  bool stopRequested() override { return stopAsked; }

  int beeps = 0;
  std::vector<std::string> errors;
  std::vector<std::string> errorFields;  // the control each error box named, if any
  std::vector<std::string> notices;      // an empty one clears the last
  bool stopAsked = false;                // as Ctrl-C asks a command to stop
  // Next answers of the dialogs; nothing queued (or an empty optional) is a cancel.
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::vector<std::string> dialogFilters;
  std::vector<std::string> dialogFolders;  // where askOpenPathIn was asked to start
  struct Progress {
    std::string phase;  // empty: the command ended
    int percent;
    int secondsLeft;
  };
  std::vector<Progress> progress;
  // Called by every dialog and every progress report, before it answers: a test looks at the
  // window there, while a command runs.
  std::function<void()> duringCommand;
  std::function<void(const Progress&)> onProgress;  // told of each report as it comes
};

}  // namespace ccp::testkit
