// The application's clock never waits less than asked; the placeholder port refuses access.
#include "shell/qt/app_services.h"

#include <QtTest>
#include <chrono>

namespace ccp {

class AppServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void clockWaitsAtLeastTheTimeAsked();
  void portRefusesAccess();
};

void AppServicesTest::clockWaitsAtLeastTheTimeAsked() {
  using std::chrono::microseconds;
  const auto clock = makeApplicationClock();
  auto elapsed = [](auto wait) {
    const auto start = std::chrono::steady_clock::now();
    wait();
    return std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now() - start);
  };
  for (int i = 0; i < 20; ++i) {
    QVERIFY(elapsed([&] { clock->waitUs(50); }) >= microseconds(50));
  }
  QVERIFY(elapsed([&] { clock->waitMs(2); }) >= microseconds(2000));
  QVERIFY(elapsed([&] { clock->sleepMs(3); }) >= microseconds(3000));
}

void AppServicesTest::portRefusesAccess() {
  QVERIFY(!makeApplicationPort()->obtainAccess());
}

}  // namespace ccp

QTEST_MAIN(ccp::AppServicesTest)
#include "app_services_test.moc"
