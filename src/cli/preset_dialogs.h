#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_io.h"
#include "shell/platform.h"

namespace ccp {

class TForm1;

// The desktop, except that a file dialog can be answered beforehand: a path given on the
// command line is chosen as the user would choose it in the dialog. Each preset answers one
// dialog; every other request goes on to the desktop, except the notices, which are kept for
// the command to say where they belong.
class PresetDialogs : public Platform {
 public:
  explicit PresetDialogs(Platform& desktop) : desktop_(desktop) {}

  // The path as a file dialog would return it (dialogPath()).
  void presetOpen(std::string_view path) { open_ = dialogPath(path); }
  void presetSave(std::string_view path) { save_ = dialogPath(path); }
  // A preset no dialog took must not answer a later one the user opens.
  void clearPresets() {
    open_.reset();
    save_.reset();
  }

  void beep() override { desktop_.beep(); }
  void showError(const std::string& message, const std::string& field) override {
    desktop_.showError(message, field);
  }
  std::optional<std::string> askOpenPath(std::string_view filter) override;
  std::optional<std::string> askSavePath(std::string_view filter) override;
  void showProgress(const ProgressReport& report) override { desktop_.showProgress(report); }
  void showNotice(const std::string& text) override { notices_.push_back(text); }
  // The notices given since the last call.
  std::vector<std::string> takeNotices() { return std::exchange(notices_, {}); }
  bool stopRequested() override { return desktop_.stopRequested(); }

 private:
  Platform& desktop_;
  std::optional<std::string> open_;
  std::optional<std::string> save_;
  std::vector<std::string> notices_;
};

// File > Open and File > Save of the form, answered with `path`, as the user would run them.
void openFileAsUser(TForm1& form, PresetDialogs& dialogs, std::string_view path);
void saveFileAsUser(TForm1& form, PresetDialogs& dialogs, std::string_view path);

}  // namespace ccp
