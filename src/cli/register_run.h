#pragma once

// What the register commands of ccp share: the register the run names, opened; times, capcodes
// and the words ccp says its ways on in.

#include <functional>
#include <optional>
#include <string>

#include "commands/holder_lines.h"
#include "commands/register_connection.h"
#include "register/pager_register.h"

namespace ccp::cli {

struct Run;
struct RegisterChoice;

// The command line's words for the ways on: its options, settings and commands.
const FaceWords& commandLineWords();

using ConnectionBody = std::function<int(RegisterConnection&)>;
// Runs `body` on a connection to the register `use` names, whose notice names the ways on in
// the command line's words; a register that cannot be reached ends the command.
int withConnection(Run& run, const RegisterUse& use, RegisterCreation creation,
                   const ConnectionBody& body);

using RegisterBody = std::function<int(PagerRegister&, const RegisterChoice&)>;
// Runs `body` on the register the run names, opened first (made, unless `creation` says not
// to); what opening did (a journal taken in) goes to standard error, and a register that
// cannot be reached ends the command.
int withRegister(Run& run, const RegisterBody& body,
                 RegisterCreation creation = RegisterCreation::Make);

// "2026-12-07 11:25:00" in local time.
std::string shown(WallTime at);
std::string orDash(const std::string& text);
// An operand that is a capcode a pager may have; nothing for any other text.
std::optional<int> capcodeOperand(const std::string& text);

}  // namespace ccp::cli
