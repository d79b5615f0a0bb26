#include "commands/file_commands.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "commands/decode_image.h"
#include "commands/encode_image.h"
#include "commands/menu_hold.h"
#include "files/config_file.h"
#include "files/file_io.h"
#include "files/outcome_lines.h"
#include "image/checksum.h"
#include "shell/form.h"
#include "shell/platform.h"

namespace ccp {

namespace {

void fail(TForm1& form, const char* line) {
  form.logLine(line);
  form.beep();
}

// The log keeps its own line; the notice adds the file and the system's reason.
void failWithFile(TForm1& form, const char* line, const char* what, const std::string& path) {
  const int error = errno;
  fail(form, line);
  form.platform().showNotice("could not " + std::string(what) + " " + path + ": " +
                             std::strerror(error));
}

}  // namespace

void Open1Click(TForm1& form) {
  const MenuHold hold(form);
  const std::optional<std::string> path = form.platform().askOpenPath(kConfigFileFilter);
  if (path) OpenConfigFile(form, *path);
}

void OpenConfigFile(TForm1& form, const std::string& path) {
  form.logLine("Load data from " + path);
  const auto bytes = readFileHead(path, kFileSize);
  if (!bytes) return failWithFile(form, "Load file error", "load", path);

  // The model marker is not examined: a file of either model loads.
  Image& image = form.image();
  splitConfigFile(*bytes, image.eepRead, image.decoderRead);
  if (!checksumOk(image.eepRead)) return fail(form, "File checksum error!!!");
  acceptLoadedImage(form, kFileLoadedLine);
}

void Save1Click(TForm1& form) {
  const MenuHold hold(form);
  const std::optional<std::string> path = form.platform().askSavePath(kConfigFileFilter);
  if (!path) return;
  form.logLine("Save data to " + *path);
  Image& image = form.image();
  // Bytes the encoding does not set are saved as zeros, whatever a pager read brought in.
  image.eep.fill(0);
  // A setting that is not a number ends the command here: no file touched. A loaded channel
  // that the window cannot show is saved as it was loaded.
  EncodeImage(form, UnshownFrequency::KeepLoaded);

  EepBlock stored = image.eep;
  storeChecksum(stored);
  if (!replaceFile(*path, configFileBytes(stored, image.decoder))) {
    return failWithFile(form, kWriteErrorLine, "write", *path);
  }
  image.eep[eep::kChecksum] = stored[eep::kChecksum];
  form.logLine(kSavedLine);
}

void bindFileCommands(TForm1& form) {
  form.menuItem("Open1").onClick = [&form] { Open1Click(form); };
  form.menuItem("Save1").onClick = [&form] { Save1Click(form); };
}

}  // namespace ccp
