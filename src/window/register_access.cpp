#include "window/register_access.h"

#include <QDateTime>
#include <filesystem>

#include "app/register_place.h"

namespace ccp::qt {

RegisterReach reachRegister() {
  RegisterReach reach;
  reach.problem = failureOf([&reach] {
    reach.use = registerUse(userRegisterSettings().settings);
    if (!reach.use.shared && !std::filesystem::exists(reach.use.location)) {
      throw RegisterError(
          RegisterFault::Invalid,
          "No pager command has kept a record yet: there is no register at " + reach.use.location);
    }
    reach.store = openRegister(reach.use.location);
  });
  return reach;
}

QString failureOf(const std::function<void()>& work) noexcept {
  try {
    work();
    return {};
  } catch (const std::exception& error) {
    return shown(error.what());
  } catch (...) {
    return QStringLiteral("Unexpected error");
  }
}

QString shown(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QString shownTime(WallTime at) {
  const auto seconds = std::chrono::floor<std::chrono::seconds>(at).time_since_epoch().count();
  return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace ccp::qt
