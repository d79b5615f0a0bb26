// The window's command line: --help and --version without a window, a file given to it opened
// once started as File > Open opens it, and ccp show agreeing with that window setting by
// setting.
#include "window/program_arguments.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>
#include <sstream>

#include "cli/cli.h"
#include "files/temp_folder.h"
#include "form_fixture.h"
#include "window/main_window.h"
#include "window/qt_platform.h"

namespace ccp {

namespace {

// ccp without a Programmer: only its file commands run here.
class FilesOnly : public cli::CliServices {
 public:
  explicit FilesOnly(BuildConfig config) : CliServices(config, PortKind::Hardware) {}
  cli::Connection connect(const cli::PortRequest&) override {
    qFatal("a file command asked for the Programmer");
  }
  std::string dataFolder() override { qFatal("a file command asked for the data folder"); }
};

struct CliRun {
  int status;
  std::string out;
};

CliRun ccp(const BuildConfig& config, const std::vector<std::string>& words) {
  std::istringstream in;
  std::ostringstream out, err;
  cli::Console console{in, out, err};
  FilesOnly services(config);
  return {cli::runCli(words, console, services), out.str()};
}

}  // namespace

class ProgramArgumentsTest : public QObject {
  Q_OBJECT

 private slots:
  void helpAndVersionEndBeforeAnyWindow();
  void aFileAndPortDevicesAreTakenAndWrongUsageEnds();
  void aGivenFileOpensAsFileOpenWouldAndShowAgreesWithTheWindow();
};

void ProgramArgumentsTest::helpAndVersionEndBeforeAnyWindow() {
  const QString program = QStringLiteral("/usr/bin/capcode-programmer");
  // Qt's own options are still among the raw arguments: --help wins over them.
  auto start = qt::parseWindowArguments({program, "-platform", "xcb", "--help"}, test::kE);
  QCOMPARE(start.exitStatus, std::optional<int>(0));
  QVERIFY(start.text.startsWith(QStringLiteral("Usage: capcode-programmer [options] [FILE]")));
  QVERIFY(!start.textIsError);

  start = qt::parseWindowArguments({program, "--version"}, test::kH);
  QCOMPARE(start.exitStatus, std::optional<int>(0));
  QCOMPARE(start.text,
           QStringLiteral("QPX730H CCP V1.4\nQPX730H, customer edition, parallel port build\n"));
}

void ProgramArgumentsTest::aFileAndPortDevicesAreTakenAndWrongUsageEnds() {
  const QString program = QStringLiteral("capcode-programmer");
  auto start = qt::parseWindowArguments({program}, test::kE);
  QVERIFY(!start.exitStatus);
  QVERIFY(!start.file);

  start = qt::parseWindowArguments({program, "--lpt2", "0xd010", "pager.eep"}, test::kE);
  QVERIFY(!start.exitStatus);
  QCOMPARE(start.file, std::optional<QString>(QDir::current().absoluteFilePath("pager.eep")));
  QVERIFY(start.ports.lpt2 == (NamedDevice{NamedDevice::Kind::Address, 0xd010}));
  QVERIFY(!start.ports.lpt1);

  for (const QStringList& wrong :
       {QStringList{program, "a.eep", "b.eep"}, QStringList{program, "--bogus"},
        QStringList{program, "--lpt1"}, QStringList{program, "--lpt1", "parport0"}}) {
    start = qt::parseWindowArguments(wrong, test::kE);
    QCOMPARE(start.exitStatus, std::optional<int>(2));
    QVERIFY(start.textIsError);
  }
}

void ProgramArgumentsTest::aGivenFileOpensAsFileOpenWouldAndShowAgreesWithTheWindow() {
  test::TempFolder folder;
  const std::string file = folder.file("given.eep");
  {
    // A file of non-default settings, saved by a window.
    testkit::FakePlatform platform;
    testkit::FakePort port;
    test::NoWaitClock clock;
    TForm1 form(test::kE, platform, port, clock);
    platform.saveAnswers.push_back(file);
    form.menuItem("Save1").trigger();
  }
  const CliRun set = ccp(
      test::kE, {"set", file, "contrast=30", "language=FRENCH", "addr2en=off", "pubboxact5=off",
                 "hellomsg1=HELLO", "msgtype1=Public", "addr4formatC=Tone", "address3=1234567"});
  QCOMPARE(set.status, cli::kDone);

  // As main() does it: started, shown, then the file relative to the working folder.
  qt::QtPlatform desktop;
  testkit::FakePort port;
  test::NoWaitClock clock;
  TForm1 form(test::kE, desktop, port, clock);
  qt::MainWindow window(form);
  window.attachPlatform(desktop);
  window.show();
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(folder.path().string()));
  const qt::WindowStart start =
      qt::parseWindowArguments({QStringLiteral("capcode-programmer"), "./given.eep"}, test::kE);
  QDir::setCurrent(previous);
  QVERIFY(start.file);
  window.openFile(*start.file);

  const auto& lines = form.log().lines();
  QCOMPARE(lines.size(), std::size_t{4});
  QCOMPARE(lines[2], "Load data from " + file);
  QCOMPARE(lines[3], std::string("File loaded"));
  QVERIFY(window.findChild<QPlainTextEdit*>("Memo1")->toPlainText().endsWith("File loaded"));
  QVERIFY(QApplication::activeModalWidget() == nullptr);  // no dialog was shown

  const CliRun show = ccp(test::kE, {"show", "--json", file});
  QCOMPARE(show.status, cli::kDone);
  const QJsonObject pages = QJsonDocument::fromJson(QByteArray::fromStdString(show.out)).object();
  QCOMPARE(pages.keys(), QStringList({"Address/Folder", "Setting"}));
  int compared = 0;
  for (const QString& page : pages.keys()) {
    const QJsonObject settings = pages[page].toObject();
    for (auto it = settings.begin(); it != settings.end(); ++it, ++compared) {
      QWidget* widget = window.findChild<QWidget*>(it.key());
      QVERIFY2(widget != nullptr, qPrintable(it.key()));
      if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        QVERIFY2(box->isChecked() == it.value().toBool(), qPrintable(it.key()));
      } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        QCOMPARE(list->currentText(), it.value().toString());
      } else {
        QCOMPARE(qobject_cast<QLineEdit*>(widget)->text(), it.value().toString());
      }
    }
  }
  QCOMPARE(compared, static_cast<int>(form.controls().size()) - 10);  // all but the ten labels
  QCOMPARE(window.findChild<QLineEdit*>("contrast")->text(), QStringLiteral("30"));
  QCOMPARE(window.findChild<QComboBox*>("language")->currentText(), QStringLiteral("FRENCH"));
}

}  // namespace ccp

QTEST_MAIN(ccp::ProgramArgumentsTest)
#include "program_arguments_test.moc"
