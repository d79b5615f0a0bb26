#include "cli/preset_dialogs.h"

#include "shell/form.h"

namespace ccp {

namespace {

std::optional<std::string> take(std::optional<std::string>& preset) {
  std::optional<std::string> answer = std::move(preset);
  preset.reset();
  return answer;
}

}  // namespace

std::optional<std::string> PresetDialogs::askOpenPath(std::string_view filter) {
  if (open_) return take(open_);
  return desktop_.askOpenPath(filter);
}

std::optional<std::string> PresetDialogs::askSavePath(std::string_view filter) {
  if (save_) return take(save_);
  return desktop_.askSavePath(filter);
}

void openFileAsUser(TForm1& form, PresetDialogs& dialogs, std::string_view path) {
  dialogs.presetOpen(path);
  form.menuItem("Open1").trigger();
  dialogs.clearPresets();
}

void saveFileAsUser(TForm1& form, PresetDialogs& dialogs, std::string_view path) {
  dialogs.presetSave(path);
  form.menuItem("Save1").trigger();
  dialogs.clearPresets();
}

}  // namespace ccp
