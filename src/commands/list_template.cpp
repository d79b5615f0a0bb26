#include "commands/list_template.h"

#include <cerrno>
#include <cstring>

#include "commands/decode_image.h"
#include "commands/file_commands.h"
#include "files/file_io.h"
#include "files/outcome_lines.h"
#include "image/checksum.h"
#include "rules/bindings.h"
#include "shell/form.h"

namespace ccp {

TemplateLoad loadListTemplate(TForm1& form, const std::string& path) {
  // The window's log line says that a file could not be read; the system says why.
  if (!readFileHead(path, kFileSize)) {
    return {std::nullopt, path + ": could not be read: " + std::strerror(errno)};
  }
  OpenConfigFile(form, path);
  const auto& log = form.log().lines();
  if (log.empty() || log.back() != kFileLoadedLine) {
    return {std::nullopt, path + ": " + (log.empty() ? std::string("not loaded") : log.back())};
  }
  const Image& image = form.image();
  const std::uint8_t marker = image.eepRead[eep::kModelMarker];
  if (!modelMatches(form.config(), marker)) {
    const Model own = form.config().model;
    const Model other = own == Model::QPX730E ? Model::QPX730H : Model::QPX730E;
    return {std::nullopt, path + ": a template of the " + modelName(other) +
                              ": this program writes " + modelName(own) + " pagers"};
  }
  return {ListTemplate{path, image.eepRead, image.decoderRead}, {}};
}

void showTemplate(TForm1& form, const ListTemplate& loaded) {
  Image& image = form.image();
  image.eepRead = loaded.eep;
  image.decoderRead = loaded.decoder;
  image.eep = loaded.eep;
  image.decoder = loaded.decoder;
  DecodeImage(form);
  rules::afterImageLoaded(form);
}

std::string templateBytes(const ListTemplate& loaded) {
  std::string bytes(loaded.eep.begin(), loaded.eep.end());
  bytes.append(loaded.decoder.begin(), loaded.decoder.end());
  return bytes;
}

}  // namespace ccp
