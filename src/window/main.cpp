#include <QApplication>
#include <cstdio>
#include <iostream>

#include "app/app_services.h"
#include "app/data_folder.h"
#include "app/program_build.h"
#include "ports/realtime_text.h"
#include "shell/form.h"
#include "window/application_names.h"
#include "window/input_block.h"
#include "window/main_window.h"
#include "window/program_arguments.h"
#include "window/qt_platform.h"

namespace {

int printAndEnd(const ccp::qt::WindowStart& start) {
  std::fputs(start.text.toLocal8Bit().constData(), start.textIsError ? stderr : stdout);
  return *start.exitStatus;
}

}  // namespace

int main(int argc, char* argv[]) {
  // --help and --version are answered before any window exists: they need no display.
  QStringList raw;
  for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
  if (const auto early = ccp::qt::parseWindowArguments(raw, ccp::kProgramBuild, ccp::kProgramPort);
      early.exitStatus == 0) {
    return printAndEnd(early);
  }

  QApplication app(argc, argv);
  ccp::qt::nameApplication();
  ccp::qt::giveApplicationIcon();
  // What Qt left of the arguments once it took its own.
  const auto start = ccp::qt::parseWindowArguments(QApplication::arguments(), ccp::kProgramBuild,
                                                   ccp::kProgramPort);
  if (start.exitStatus) return printAndEnd(start);

  ccp::qt::QtPlatform platform;
  // The simulator build keeps its simulated pager in the data folder between runs.
  ccp::ApplicationServices services(ccp::kProgramBuild, ccp::kProgramPort, start.ports,
                                    {ccp::simulatedPagerFile()});
  // A transfer holds the window for seconds: keep it painted, but take no input meanwhile.
  services.setIdleHook(ccp::qt::keepWindowPainted);
  ccp::TForm1 form(ccp::kProgramBuild, platform, services.port(), services.clock());
  services.keepSimulatedPagerWhenVerified(form.log());

  ccp::qt::MainWindow window(form);
  window.attachPlatform(platform);
  if (ccp::kProgramPort == ccp::PortKind::Simulator) window.showSimulated();
  // Tried once now as a transfer would try it, so the technician sees it before the first pager.
  window.showTransferPriority(QString::fromStdString(
      ccp::tryTransferPriority(services.clock(), services.clock().realtimePriority())));
  window.showCentred();
  // A file given to the program opens once start-up is done, as File > Open would open it.
  if (start.file) window.openFile(*start.file);
  const int status = QApplication::exec();
  // Closed, the window can only say on its standard error that the pager could not be kept.
  const std::string problem = services.keepSimulatedPager();
  if (!problem.empty()) std::cerr << "capcode-programmer: " << problem << '\n';
  return status;
}
