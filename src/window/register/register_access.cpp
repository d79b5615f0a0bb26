#include "window/register/register_access.h"

#include <stdexcept>

#include "app/data_folder.h"
#include "app/register_place.h"
#include "files/time_stamp.h"

namespace ccp::qt {

RegisterReach reachRegister() {
  RegisterReach reach;
  reach.problem = failureOf([&reach] {
    reach.use = userRegisterUse(userRegisterSettings());
    // Settings that stop the pager commands stop the register's views too.
    if (!reach.use.refused.empty()) throw std::runtime_error(refusalText(reach.use));
    reach.connection.emplace(
        connectRegister(reach.use, userDataFolder(), RegisterCreation::DoNotMake));
    reach.store = &reach.connection->get();
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
  return shown(shownTimeStamp(localTime(at)));
}

}  // namespace ccp::qt
