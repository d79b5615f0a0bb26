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

int withRegister(Run& run, const RegisterBody& body, RegisterCreation creation) {
  const RegisterChoice choice = registerChoice(run);
  RegisterConnection connection = connectRegister(choice.use, run.services.dataFolder(), creation);
  connection.words = commandLineWords();
  try {
    PagerRegister& reg = connection.get();
    if (const std::string notice = connection.takeNotice(); !notice.empty()) run.error(notice);
    return body(reg, choice);
  } catch (const RegisterError& error) {
    run.error(error.what());
    return kFailed;
  }
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
