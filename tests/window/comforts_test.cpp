// What the window adds for a technician's comfort: shortcuts and recent files, dropping a file,
// one progress bar per command, a steady layout, the field an error box names, the simulator's
// note. None of it changes a log line, a message or a rule.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

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

bool framed(QWidget* field) {
  auto* frame = field->findChild<QWidget*>(QStringLiteral("failedFieldFrame"));
  return frame != nullptr && !frame->isHidden() && frame->geometry() == field->rect();
}

}  // namespace

class ComfortsTest : public QObject {
  Q_OBJECT

 private slots:
  void theFieldAnErrorNamesIsFramedUntilItsTextChanges();
};

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

}  // namespace ccp

QTEST_MAIN(ccp::ComfortsTest)
#include "comforts_test.moc"
