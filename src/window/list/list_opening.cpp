#include "window/list/list_opening.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "commands/quiet_platform.h"
#include "ports/refusing_port.h"
#include "ports/steady_clock.h"
#include "shell/form.h"

namespace ccp::qt {

namespace {

// The records of the list's rows that are done: their capcodes are the list's own.
std::set<long long> ownRecords(RegisterConnection& connection, const std::string& name) {
  return connection.use([&](PagerRegister& reg) {
    std::set<long long> own;
    if (const auto list = reg.findList(name)) {
      for (const ListRowStatus& row : reg.listRows(list->id)) {
        if (row.state == ListRowState::Done && row.recordId) own.insert(*row.recordId);
      }
    }
    return own;
  });
}

std::string counted(std::size_t n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

std::string listFileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string checkSummary(const std::string& name, const ListCheckResult& result) {
  return name + ": " + counted(result.rows, "pager") + ", " + counted(result.errors(), "error") +
         ", " + counted(result.warnings(), "warning") +
         (result.errors() == 0 ? ": ready to write" : ": nothing may be written");
}

CheckedListFiles checkListFiles(const std::string& listPath, const std::string& templatePath,
                                const BuildConfig& config, PagerRecords& records) {
  CheckedListFiles checked;
  const RegisterUse& use = records.registerUse();
  if (!use.refused.empty()) {
    checked.problem = refusalText(use);
    return checked;
  }
  if (!records.registerConnection().named()) {
    checked.problem =
        "a list is kept in the register: no data folder to keep one in, and none named";
    return checked;
  }
  QuietPlatform platform;
  RefusingPort noPort;
  SteadyClock idleClock;  // a window for files never waits
  TForm1 form(config, platform, noPort, idleClock);
  const TemplateLoad loaded = loadListTemplate(form, templatePath);
  if (!loaded.loaded) {
    checked.problem = loaded.why + "; no list checked";
    return checked;
  }
  checked.loaded = *loaded.loaded;
  std::ifstream file(listPath, std::ios::binary);
  if (!file) {
    checked.problem = "could not read " + listPath + ": " + std::strerror(errno);
    return checked;
  }
  RegisterConnection& connection = records.registerConnection();
  ListCheckRequest request;
  request.name = listFileName(listPath);
  request.uniqueRows = records.registerSettings().uniqueRows;
  request.entry = &checked.entry;
  request.holders = [&connection](const std::vector<RowUse>& uses) {
    return connection.use([&uses](PagerRegister& reg) { return reg.holdersInTheWay(uses); });
  };
  try {
    request.ownRecords = ownRecords(connection, request.name);
  } catch (const RegisterError& error) {
    checked.problem = std::string("the register cannot be asked: ") + error.what();
    return checked;
  }
  checked.result = checkList(file, form, platform, checked.loaded, request);
  return checked;
}

ListTaking takeListIn(PagerRecords& records, const ListEntry& entry, bool newVersion) {
  const Stamp by{records.registerUse().station, std::chrono::system_clock::now(), {}};
  return records.registerConnection().use(
      [&](PagerRegister& reg) { return reg.takeList(entry, newVersion, by); });
}

}  // namespace ccp::qt
