#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ccp {

// The services of the desktop that the program uses. Waiting belongs to the Clock.
class Platform {
 public:
  virtual ~Platform() = default;
  // The system's default alert sound, once.
  virtual void beep() = 0;
  // The standard error box for an error that ends a user action.
  virtual void showError(const std::string& message) = 0;
  // File dialogs: the chosen full path, or nothing when the user cancels.
  virtual std::optional<std::string> askOpenPath(std::string_view filter) = 0;
  virtual std::optional<std::string> askSavePath(std::string_view filter) = 0;
  // The open dialog, starting in `folder`.
  virtual std::optional<std::string> askOpenPathIn(std::string_view /*folder*/,
                                                   std::string_view filter) {
    return askOpenPath(filter);
  }
  // A pager transfer under way: step text and done out of total; done == total ends it.
  virtual void showProgress(std::string_view /*step*/, int /*done*/, int /*total*/) {}
};

}  // namespace ccp
