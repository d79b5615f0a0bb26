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
  dialogFilters.emplace_back(filter);
  return next(openAnswers);
}

std::optional<std::string> FakePlatform::askSavePath(std::string_view filter) {
  dialogFilters.emplace_back(filter);
  return next(saveAnswers);
}

void FakePlatform::showProgress(const ProgressReport& report) {
  progress.push_back({std::string(report.phase), report.percent, report.secondsLeft});
  if (onProgress) onProgress(progress.back());
}

}  // namespace ccp::testkit
