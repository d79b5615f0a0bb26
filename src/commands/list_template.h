#pragma once

// The template of a customer's list: the configuration file that holds what every pager of the
// list shares. Each row is written as the template loaded, then the row's own values typed in.

#include <optional>
#include <string>

#include "image/layout.h"

namespace ccp {

class TForm1;

struct ListTemplate {
  std::string path;
  EepBlock eep{};
  DecoderBlock decoder{};
};

struct TemplateLoad {
  std::optional<ListTemplate> loaded;
  std::string why;  // when it is none: the window's line, and the system's reason if any
};

// Loads the file into the window as File > Open does. A file that does not load, or that holds
// the other model's pager, is no template of this program's pagers.
TemplateLoad loadListTemplate(TForm1& form, const std::string& path);

// The window shows the template again, as just after its load, without a log line.
void showTemplate(TForm1& form, const ListTemplate& loaded);

// The template's bytes, as a fingerprint is taken over them.
std::string templateBytes(const ListTemplate& loaded);

}  // namespace ccp
