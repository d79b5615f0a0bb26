#pragma once

// The pager register as the windows of the Register menu reach it: where this station's
// settings say, through a connection of their own, every failure a message to show.

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "commands/register_connection.h"
#include "commands/register_settings.h"
#include "register/pager_register.h"

namespace ccp::qt {

struct RegisterReach {
  RegisterUse use;  // where the register is, who this station is
  std::optional<RegisterConnection> connection;
  PagerRegister* store = nullptr;  // the connection's, open; none: `problem` says why
  QString problem;
};

// Opens the register the settings name. A station's own register that no pager command has
// made yet is not made here (making it is the commands' first use of it): the problem says
// there is none yet.
RegisterReach reachRegister();

// Runs calls to the register; what went wrong, as the user is to be told, or empty.
QString failureOf(const std::function<void()>& work) noexcept;

// The register's texts (stations, serial numbers, outcomes) and times as the window shows them.
QString shown(const std::string& text);
QString shownTime(WallTime at);  // local time, "2026-12-07 11:25:00"

}  // namespace ccp::qt
