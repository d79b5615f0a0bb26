#include "cli/register_run.h"

#include "cli/register_choice.h"
#include "cli/subcommands.h"
#include "commands/register_connection.h"
#include "image/capcode.h"

namespace ccp::cli {

namespace {

std::string releaseCommand(int capcode) {
  return "ccp register release " + std::to_string(capcode);
}

}  // namespace

const FaceWords& commandLineWords() {
  static const FaceWords words{"write with --backup (or read-before-write = on)", releaseCommand,
                               "ccp register conflicts"};
  return words;
}

int withConnection(Run& run, const RegisterUse& use, RegisterCreation creation,
                   const ConnectionBody& body) {
  RegisterConnection connection = connectRegister(use, run.services.dataFolder(), creation);
  connection.words = commandLineWords();
  try {
    return body(connection);
  } catch (const RegisterError& error) {
    run.error(error.what());
    return kFailed;
  }
}

int withRegister(Run& run, const RegisterBody& body, RegisterCreation creation) {
  const RegisterChoice choice = registerChoice(run);
  return withConnection(run, choice.use, creation, [&](RegisterConnection& connection) {
    PagerRegister& reg = connection.get();
    if (const std::string notice = connection.takeNotice(); !notice.empty()) run.error(notice);
    return body(reg, choice);
  });
}

std::string shown(WallTime at) {
  return shownTimeStamp(localTime(at));
}

std::string orDash(const std::string& text) {
  return text.empty() ? "-" : text;
}

std::optional<int> capcodeOperand(const std::string& text) {
  const auto capcode = capcodeNumber(text);
  if (!capcode || *capcode > kHighestCapcode) return std::nullopt;
  return capcode;
}

}  // namespace ccp::cli
