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
// --version names the build's model, edition and port.
WindowStart parseWindowArguments(const QStringList& arguments, const BuildConfig& config,
                                 PortKind port = PortKind::Hardware);

}  // namespace ccp::qt
