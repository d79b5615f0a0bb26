#include "testkit/fake_platform.h"

namespace ccp::testkit {

namespace {
std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
  if (answers.empty()) return std::nullopt;
  auto answer = answers.front();
  answers.pop_front();
  return answer;
}
}  // namespace

std::optional<std::string> FakePlatform::askOpenPath(std::string_view filter) {
  if (duringCommand) duringCommand();
  dialogFilters.emplace_back(filter);
  return next(openAnswers);
}

std::optional<std::string> FakePlatform::askSavePath(std::string_view filter) {
  if (duringCommand) duringCommand();
  dialogFilters.emplace_back(filter);
  return next(saveAnswers);
}

std::optional<std::string> FakePlatform::askOpenPathIn(std::string_view folder,
                                                       std::string_view filter) {
  dialogFolders.emplace_back(folder);
  return askOpenPath(filter);
}

void FakePlatform::showProgress(const ProgressReport& report) {
  if (duringCommand) duringCommand();
  progress.push_back({std::string(report.phase), report.percent, report.secondsLeft});
  if (onProgress) onProgress(progress.back());
}

}  // namespace ccp::testkit
