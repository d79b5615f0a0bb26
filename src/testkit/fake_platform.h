#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/platform.h"

namespace ccp::testkit {

// Records every beep, error box and dialog; answers the dialogs from a script.
class FakePlatform : public Platform {
 public:
  void beep() override { ++beeps; }
  void showError(const std::string& message) override { errors.push_back(message); }
  std::optional<std::string> askOpenPath(std::string_view filter) override;
  std::optional<std::string> askSavePath(std::string_view filter) override;
  std::optional<std::string> askOpenPathIn(std::string_view folder,
                                           std::string_view filter) override;
  void showProgress(std::string_view step, int done, int total) override;

  int beeps = 0;
  std::vector<std::string> errors;
  // Next answers of the dialogs; nothing queued (or an empty optional) is a cancel.
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::vector<std::string> dialogFilters;
  std::vector<std::string> dialogFolders;  // where askOpenPathIn was asked to start
  struct Progress {
    std::string step;
    int done;
    int total;
  };
  std::vector<Progress> progress;
  // Called by every dialog and every progress report, before it answers: a test looks at the
  // window there, while a command runs.
  std::function<void()> duringCommand;
};

}  // namespace ccp::testkit
