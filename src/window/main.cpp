#include <QApplication>

#include "app/app_services.h"
#include "image/build_config.h"
#include "shell/form.h"
#include "window/main_window.h"
#include "window/qt_platform.h"

namespace {

// The build configuration this program was built for.
constexpr ccp::BuildConfig kBuild {
#if defined(CCP_BUILD_MODEL_QPX730H)
  ccp::Model::QPX730H,
#else
  ccp::Model::QPX730E,
#endif
#if defined(CCP_BUILD_EDITION_factory)
      ccp::Edition::Factory,
#else
      ccp::Edition::Customer,
#endif
};

constexpr ccp::PortKind kPort =
#if defined(CCP_BUILD_PORT_simulator)
    ccp::PortKind::Simulator;
#else
    ccp::PortKind::Hardware;
#endif

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("capcode-programmer"));
  // Where the recent files and the last folder are remembered.
  QApplication::setOrganizationName(QStringLiteral("capcode-programmer"));

  ccp::qt::QtPlatform platform;
  ccp::ApplicationServices services(kBuild, kPort);
  // A transfer holds the window for seconds: keep it painted, but take no input meanwhile.
  services.setIdleHook([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  ccp::TForm1 form(kBuild, platform, services.port(), services.clock());

  ccp::qt::MainWindow window(form);
  window.attachPlatform(platform);
  if (kPort == ccp::PortKind::Simulator) window.showSimulated();
  window.showCentred();
  return QApplication::exec();
}
