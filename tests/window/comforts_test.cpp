// What the window adds for a technician's comfort: shortcuts and recent files, dropping a file,
// one progress bar per command, a steady layout, the field an error box names, the simulator's
// note. None of it changes a log line, a message or a rule.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <map>

#include "rules/setting_rules.h"
#include "shell/conversion.h"
#include "window_fixture.h"

namespace ccp {

namespace {

// Closes every message box that shows while it lives, and keeps their texts.
class BoxAnswer {
 public:
  BoxAnswer() {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible()) {
          texts << box->text();
          box->accept();
        }
      }
    });
    poll_.start(10);
  }
  QStringList texts;

 private:
  QTimer poll_;
};

// Rejects every file dialog that shows while it lives, and counts them.
class DialogRefusal {
 public:
  DialogRefusal() {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        ++shown;
        folder = dialog->directory().absolutePath();
        dialog->reject();
      }
    });
    poll_.start(10);
  }
  int shown = 0;
  QString folder;  // where the last dialog started

 private:
  QTimer poll_;
};

std::vector<std::string> linesSince(TForm1& form, std::size_t count) {
  const auto& lines = form.log().lines();
  return {lines.begin() + static_cast<std::ptrdiff_t>(count), lines.end()};
}

// What File > Open logs for a file chosen in its dialog.
std::vector<std::string> openedThroughTheDialog(const QString& path) {
  test::FormFixture fx;
  fx.platform.openAnswers.push_back(path.toStdString());
  const std::size_t before = fx.lines().size();
  fx.f().menuItem("Open1").trigger();
  return linesSince(fx.f(), before);
}

QRect placeOf(QWidget* widget, QWidget* window) {
  return {widget->mapTo(window, QPoint(0, 0)), widget->size()};
}

// Where each shown control of the page stands in the window, by name.
std::map<QString, QRect> placesOn(QWidget* page, QWidget* window) {
  std::map<QString, QRect> places;
  for (QWidget* widget : page->findChildren<QWidget*>()) {
    if (widget->objectName().isEmpty() || !widget->isVisible()) continue;
    places[widget->objectName()] = placeOf(widget, window);
  }
  return places;
}

// The captions, controls and groups that show on the page: none may overlap another.
QList<QWidget*> shownParts(QWidget* page) {
  QList<QWidget*> parts;
  for (QWidget* widget : page->findChildren<QWidget*>()) {
    const bool part =
        qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget) ||
        qobject_cast<QComboBox*>(widget) ||
        (qobject_cast<QLineEdit*>(widget) && !qobject_cast<QComboBox*>(widget->parent()));
    if (part && widget->isVisible()) parts << widget;
  }
  return parts;
}

QString nameOf(QWidget* widget) {
  auto* label = qobject_cast<QLabel*>(widget);
  return widget->objectName().isEmpty() && label != nullptr ? label->text() : widget->objectName();
}

void settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  QCoreApplication::processEvents();
}

bool framed(QWidget* field) {
  auto* frame = field->findChild<QWidget*>(QStringLiteral("failedFieldFrame"));
  return frame != nullptr && !frame->isHidden() && frame->geometry() == field->rect();
}

}  // namespace

class ComfortsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void menuCommandsHaveTheirShortcuts();
  void recentFilesOpenAsFileOpenDoes();
  void aDroppedFileOpensAsFileOpenDoes();
  void theFieldAnErrorNamesIsFramedUntilItsTextChanges();
  void rowsTheRulesHideOrShowMoveNothingElse();
  void theWindowGrowsIntoTheLogAndShrinksNoFurtherThanItsParts();
  void labelsShareOneFontAndFrameDigitsReadClearly();
  void slotsUsedFollowTheFolders();
  void theSimulatorBuildSaysSoBesideTheProgress();

 private:
  // A configuration file saved by the program, with the given contrast.
  QString configFile(const QString& name, int contrast);

  QTemporaryDir settings_;
  QTemporaryDir files_;
};

void ComfortsTest::initTestCase() {
  // Never the user's own settings.
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
  QCoreApplication::setOrganizationName(QStringLiteral("capcode-programmer-test"));
  QVERIFY(settings_.isValid() && files_.isValid());
}

QString ComfortsTest::configFile(const QString& name, int contrast) {
  const QString path = files_.filePath(name);
  test::FormFixture fx;
  fx.f().textField("contrast").setText(std::to_string(contrast));
  fx.platform.saveAnswers.push_back(path.toStdString());
  fx.f().menuItem("Save1").trigger();
  return path;
}

void ComfortsTest::menuCommandsHaveTheirShortcuts() {
  test::QtWindowFixture w;
  QVERIFY(w.ready);
  const struct {
    const char* item;
    QKeySequence keys;
  } cases[] = {
      {"Open1", QKeySequence(QStringLiteral("Ctrl+O"))},
      {"Save1", QKeySequence(QStringLiteral("Ctrl+S"))},
      {"Exit1", QKeySequence(QStringLiteral("Ctrl+Q"))},
      {"ReadFromPager", QKeySequence(QStringLiteral("Ctrl+R"))},
      {"WriteToPager", QKeySequence(QStringLiteral("Ctrl+Shift+W"))},
  };
  // Pressed while a field has the focus, as a technician does.
  w.focus(w.find("contrast"));
  for (const auto& c : cases) {
    auto* action = w.find<QAction>(c.item);
    QCOMPARE(action->shortcut(), c.keys);
    int runs = 0;
    w.f().menuItem(c.item).onClick = [&runs] { ++runs; };
    QTest::keySequence(QApplication::focusWidget(), c.keys);
    QCOMPARE(runs, 1);
  }
  // The commands on the menu bar itself name their keys where the pointer rests.
  QVERIFY(w.find<QAction>("WriteToPager")->toolTip().contains(QStringLiteral("Ctrl+Shift+W")));
  QVERIFY(w.find<QAction>("ReadFromPager")->statusTip().contains(QStringLiteral("Ctrl+R")));
  QCOMPARE(w.f().textField("contrast").text(), std::string("48"));  // no key reached the field

  // A disabled command keeps its shortcut from running.
  w.f().menuItem("WriteToPager").setEnabled(false);
  int writes = 0;
  w.f().menuItem("WriteToPager").onClick = [&writes] { ++writes; };
  QTest::keySequence(QApplication::focusWidget(), QKeySequence(QStringLiteral("Ctrl+Shift+W")));
  QCOMPARE(writes, 0);
}

void ComfortsTest::recentFilesOpenAsFileOpenDoes() {
  const QString first = configFile(QStringLiteral("first.eep"), 20);
  const QString second = configFile(QStringLiteral("second.eep"), 30);
  const QString gone = files_.filePath(QStringLiteral("gone.eep"));
  test::QtWindowFixture w;
  QVERIFY(w.ready);
  for (int i = 0; i < 9; ++i) w.platform.history().remember(files_.filePath(QString::number(i)));
  for (const QString& path : {gone, first, second}) w.platform.history().remember(path);

  auto* file = w.find<QAction>("File1")->menu<QMenu*>();
  auto* recent = w.find<QMenu>("RecentFiles");
  QCOMPARE(file->actions().indexOf(recent->menuAction()),
           file->actions().indexOf(w.find<QAction>("Open1")) + 1);
  emit file->aboutToShow();
  // Newest first; the missing files are gone from the list.
  QCOMPARE(recent->actions().size(), 2);
  QVERIFY(recent->actions()[0]->text().endsWith(QDir::toNativeSeparators(second)));
  QVERIFY(recent->actions()[1]->text().endsWith(QDir::toNativeSeparators(first)));
  QCOMPARE(QSettings().value(QStringLiteral("files/recent")).toStringList(),
           (QStringList{second, first}));

  const std::size_t before = w.f().log().lines().size();
  recent->actions()[1]->trigger();
  QCOMPARE(linesSince(w.f(), before), openedThroughTheDialog(first));
  QCOMPARE(w.f().textField("contrast").text(), std::string("20"));
  QCOMPARE(w.platform.history().recentFiles(), (QStringList{first, second}));
  QCOMPARE(w.platform.history().lastFolder(), files_.path());

  // The answer was for that one command: a refused open leaves none for the next Open.
  w.f().menuItem("Open1").setEnabled(false);
  w.window.openFile(second);
  QCOMPARE(w.f().log().lines().size(), before + 2);
  w.f().menuItem("Open1").setEnabled(true);
  DialogRefusal refusal;
  w.find<QAction>("Open1")->trigger();
  QCOMPARE(refusal.shown, 1);
  QCOMPARE(refusal.folder, files_.path());  // the dialog starts in the last folder used
  QCOMPARE(w.f().log().lines().size(), before + 2);

  for (int i = 0; i < 12; ++i) w.platform.history().remember(configFile(QString::number(i), 9));
  QCOMPARE(w.platform.history().recentFiles().size(), qsizetype{qt::FileHistory::kMostRecent});
}

void ComfortsTest::aDroppedFileOpensAsFileOpenDoes() {
  const QString path = configFile(QStringLiteral("dropped.eep"), 25);
  test::QtWindowFixture w;
  QVERIFY(w.ready);
  QWidget* field = w.find("serial");  // a text field takes the file for the window
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(field, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  const std::size_t before = w.f().log().lines().size();
  QApplication::sendEvent(field, &drop);
  QVERIFY(drop.isAccepted());
  QTRY_COMPARE(linesSince(w.f(), before), openedThroughTheDialog(path));
  QCOMPARE(w.f().textField("contrast").text(), std::string("25"));
  QCOMPARE(w.f().textField("serial").text(), std::string("00000000"));

  // Two files, or text, are not a file to open.
  QMimeData two;
  two.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)});
  QDragEnterEvent twoEnter(QPoint(2, 2), Qt::CopyAction, &two, Qt::LeftButton, Qt::NoModifier);
  twoEnter.ignore();
  QApplication::sendEvent(&w.window, &twoEnter);
  QVERIFY(!twoEnter.isAccepted());
}

void ComfortsTest::theFieldAnErrorNamesIsFramedUntilItsTextChanges() {
  test::QtWindowFixture w;
  QVERIFY(w.ready);
  QWidget* contrast = w.find("contrast");
  QWidget* holdtime = w.find("lcdholdtime");
  w.focus(contrast);
  w.f().textField("contrast").edit("", 0);  // emptied with Delete
  BoxAnswer box;
  w.focus(holdtime);  // the exit rule cannot read the empty text
  QCOMPARE(box.texts, QStringList() << QStringLiteral("'' is not a valid integer value"));
  QVERIFY(framed(contrast));
  QVERIFY(!framed(holdtime));
  // The focus stays where the user put it.
  QCOMPARE(w.window.focusWidget(), holdtime);
  QVERIFY(w.f().focused() != &w.f().textField("contrast"));

  w.f().textField("lcdholdtime").type("1");  // another field's change leaves the frame
  QVERIFY(framed(contrast));
  w.f().textField("contrast").type("2");
  QVERIFY(!framed(contrast));
  QCOMPARE(contrast->findChild<QWidget*>(QStringLiteral("failedFieldFrame")), nullptr);

  // A list's text names its list; the program's change of the text clears the frame too.
  w.f().comboBox("autoinc4").edit("");
  w.f().menuItem("WriteToPager").onClick = [&] {
    throw ConversionError("'' is not a valid integer value", "autoinc4");
  };
  w.find<QAction>("WriteToPager")->trigger();
  QCOMPARE(box.texts.size(), 2);
  QWidget* autoinc = w.find("autoinc4");
  QVERIFY(framed(autoinc));
  w.f().comboBox("autoinc4").setIndex(3);
  QVERIFY(autoinc->findChild<QWidget*>(QStringLiteral("failedFieldFrame")) == nullptr);
}

void ComfortsTest::rowsTheRulesHideOrShowMoveNothingElse() {
  test::QtWindowFixture w(test::kEFactory);
  QVERIFY(w.ready);
  auto* pages = w.find<QTabWidget>("PageControl1");
  QWidget* page = pages->currentWidget();  // "Setting"
  settle();
  const auto before = placesOn(page, &w.window);
  TextField& version = w.f().textField("firmwareversion");
  version.edit("1", 1);  // hides the serial number and the out-range delay with their labels
  settle();
  QVERIFY(w.find("serial")->isHidden());
  QVERIFY(w.find("L_rangetime")->isHidden());
  auto after = placesOn(page, &w.window);
  for (const auto& [name, place] : after) QCOMPARE(place, before.at(name));
  QCOMPARE(after.size() + 5, before.size());

  version.edit("4", 1);
  TextField& serial = w.f().textField("serial");
  serial.setText(rules::kServiceCode);
  serial.leave();  // shows the service fields in the places kept for them
  settle();
  QVERIFY(!w.find("BS2")->isHidden());
  after = placesOn(page, &w.window);
  for (const auto& [name, place] : before) QCOMPARE(after.at(name), place);
  QCOMPARE(after.size(), before.size() + 12);
}

void ComfortsTest::theWindowGrowsIntoTheLogAndShrinksNoFurtherThanItsParts() {
  const struct {
    const char* name;
    BuildConfig config;
    bool serviceFields;
  } builds[] = {{"QPX730E customer", test::kE, false},
                {"QPX730H factory, service fields shown", test::kHFactory, true}};
  for (const auto& build : builds) {
    qInfo("%s", build.name);
    test::QtWindowFixture w(build.config);
    QVERIFY(w.ready);
    if (build.serviceFields) {
      w.f().textField("serial").setText(rules::kServiceCode);
      w.f().textField("serial").leave();
    }
    auto* pages = w.find<QTabWidget>("PageControl1");
    auto* log = w.find<QPlainTextEdit>("Memo1");
    w.window.resize(1, 1);
    settle();
    QCOMPARE(w.window.size(), w.window.minimumSize());
    const int pagesHeight = pages->height();
    const int logHeight = log->height();
    QVERIFY(logHeight >= 4 * log->fontMetrics().lineSpacing());
    for (int index = 0; index < pages->count(); ++index) {
      pages->setCurrentIndex(index);
      settle();
      const QList<QWidget*> parts = shownParts(pages->widget(index));
      QVERIFY(parts.size() > 40);
      const QRect pageArea(pages->currentWidget()->mapTo(&w.window, QPoint()),
                           pages->currentWidget()->size());
      for (qsizetype i = 0; i < parts.size(); ++i) {
        const QRect place = placeOf(parts[i], &w.window);
        QVERIFY2(pageArea.contains(place), qPrintable(nameOf(parts[i])));
        for (qsizetype j = i + 1; j < parts.size(); ++j) {
          QVERIFY2(!place.intersects(placeOf(parts[j], &w.window)),
                   qPrintable(nameOf(parts[i]) + " over " + nameOf(parts[j])));
        }
      }
    }
    w.window.resize(w.window.width() + 200, w.window.height() + 300);
    settle();
    QCOMPARE(pages->height(), pagesHeight);
    QCOMPARE(log->height(), logHeight + 300);
  }
}

void ComfortsTest::labelsShareOneFontAndFrameDigitsReadClearly() {
  test::QtWindowFixture w;
  QVERIFY(w.ready);
  QSet<int> sizes;
  for (QWidget* widget : w.find("PageControl1")->findChildren<QWidget*>()) {
    if (qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget) ||
        qobject_cast<QGroupBox*>(widget)) {
      sizes << QFontInfo(widget->font()).pixelSize();
    }
  }
  QCOMPARE(sizes.size(), 1);
  QCOMPARE(*sizes.begin(), QFontInfo(w.window.font()).pixelSize());
  auto* frame = w.find<QLineEdit>("frame3");
  QVERIFY(!frame->isEnabled());
  QCOMPARE(frame->palette().color(QPalette::Disabled, QPalette::Text),
           frame->palette().color(QPalette::Active, QPalette::Text));
}

void ComfortsTest::slotsUsedFollowTheFolders() {
  test::QtWindowFixture w;
  QVERIFY(w.ready);
  auto* slotsUsed = w.find<QLabel>("SlotsUsed");
  QCOMPARE(slotsUsed->text(), QStringLiteral("Slots used: 16 / 99"));
  w.f().textField("pubboxlength0").edit("50", 2);
  QCOMPARE(slotsUsed->text(), QStringLiteral("Slots used: 65 / 99"));
  w.f().checkBox("pubboxactF").click();
  QCOMPARE(slotsUsed->text(), QStringLiteral("Slots used: 64 / 99"));
  w.f().textField("pubboxlength0").edit("", 0);  // being retyped: counts as none
  QCOMPARE(slotsUsed->text(), QStringLiteral("Slots used: 14 / 99"));
}

void ComfortsTest::theSimulatorBuildSaysSoBesideTheProgress() {
  test::QtWindowFixture w;
  QVERIFY(w.ready);
  w.window.showSimulated();
  auto* note = w.window.statusBar()->findChild<QLabel*>(QStringLiteral("SimulatedProgrammer"));
  QVERIFY(note != nullptr);
  QCOMPARE(note->text(), QStringLiteral("Simulated Programmer"));
  QCOMPARE(w.window.windowTitle(), QStringLiteral("QPX730E Capcode Programmer-Customer version"));
  auto* bar = w.window.statusBar()->findChild<QProgressBar*>();
  w.platform.showProgress({"EEPROM write", 70, 2});
  QVERIFY(note->isVisible() && bar->isVisible());
  w.window.statusBar()->showMessage(QStringLiteral("a hint"));  // as a menu's hint does
  QVERIFY(note->isVisible());
  w.platform.showProgress({});
  QVERIFY(note->isVisible() && !bar->isVisible());
}

}  // namespace ccp

QTEST_MAIN(ccp::ComfortsTest)
#include "comforts_test.moc"
