// The simulator build's services: a Programmer that is granted and present, with a pager of the
// built model in it.
#include "shell/qt/app_services.h"

#include <QtTest>

#include "image/checksum.h"
#include "image/layout.h"
#include "shell/form.h"
#include "sim/simulated_programmer.h"
#include "testkit/fake_platform.h"

namespace ccp {

class AppServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void simulatorStartsWithAPresentProgrammer();
  void simulatedPagerHoldsAValidImageOfItsModel();
};

void AppServicesTest::simulatorStartsWithAPresentProgrammer() {
  ApplicationServices services(BuildConfig{}, PortKind::Simulator);
  testkit::FakePlatform platform;
  TForm1 form(BuildConfig{}, platform, services.port(), services.clock());
  QCOMPARE(form.log().lines().back(), std::string("Port init success."));
  QVERIFY(form.menuItem("WriteToPager").enabled());
  QCOMPARE(platform.beeps, 0);
}

void AppServicesTest::simulatedPagerHoldsAValidImageOfItsModel() {
  for (Model model : {Model::QPX730E, Model::QPX730H}) {
    ApplicationServices services(BuildConfig{model, Edition::Customer}, PortKind::Simulator);
    auto& programmer = dynamic_cast<sim::SimulatedProgrammer&>(services.port());
    EepBlock eep{};
    std::copy(programmer.eeprom().begin(), programmer.eeprom().end(), eep.begin());
    QVERIFY(checksumOk(eep));
    QCOMPARE(eep[eep::kModelMarker], modelMarker(model));
  }
}

}  // namespace ccp

QTEST_MAIN(ccp::AppServicesTest)
#include "app_services_test.moc"
