#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "app/app_services.h"
#include "image/build_config.h"
#include "ports/port_choice.h"

namespace ccp::qt {

// What the window's command line asks for: a file to open once started, or a text to print
// and an exit without any window (--help, --version, wrong usage).
struct WindowStart {
  std::optional<int> exitStatus;  // set: print `text` and end
  QString text;
  bool textIsError = false;  // to standard error
  std::optional<QString> file;
  PortChoice ports;
};

// The program's arguments, its name first. --help and --version win over anything else, so
// they can be answered from the raw arguments before Qt has taken its own options (-platform,
// -style) out of them; the rest is read from what Qt leaves.
WindowStart parseWindowArguments(const QStringList& arguments, const BuildConfig& config);

}  // namespace ccp::qt
