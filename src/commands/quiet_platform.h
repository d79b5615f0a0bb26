#pragma once

// A desktop that shows nothing, for a window that no one sees, such as the one a customer's list
// is checked on: its error boxes are counted, the last one's message kept to be said as the
// checker's own words.

#include <optional>
#include <string>
#include <string_view>

#include "commands/error_boxes.h"
#include "shell/platform.h"

namespace ccp {

class QuietPlatform : public Platform, public ErrorBoxes {
 public:
  void beep() override {}
  void showError(const std::string& message, const std::string&) override {
    ++errorBoxes_;
    lastError_ = message;
  }
  std::optional<std::string> askOpenPath(std::string_view) override { return std::nullopt; }
  std::optional<std::string> askSavePath(std::string_view) override { return std::nullopt; }

  int errorBoxes() const override { return errorBoxes_; }
  std::string lastErrorBox() const override { return lastError_; }

 private:
  int errorBoxes_ = 0;
  std::string lastError_;
};

}  // namespace ccp
