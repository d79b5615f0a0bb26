// The widgets pass the user's actions to the model and show what the model decides.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>
#include <string>

#include "window_fixture.h"

namespace ccp {

class ViewBindingTest : public QObject {
  Q_OBJECT

 private slots:
  void typedKeysPassTheKeyRuleAndTheLimit();
  void textsAreThePagersBytesReadThroughItsModelsTable();
  void typedKeyReplacesTheSelectionOnlyWhenTheRuleLetsItThrough();
  void nonTypingEditsReachTheModelWithoutTheKeyRule();
  void altOrMetaWithACharacterMeetsTheKeyRule();
  void fieldWithoutTheFocusShowsTheStartOfProgramText();
  void programTextLongerThanTheLimitShowsWhole();
  void modelChangesShowAtOnceWithoutFiringEvents();
  void listChoiceAndListTyping();
  void checkBoxClickIsDecidedByTheModel();
  void focusLeavingAControlRaisesExitOnlyWhenItMovesInsideTheWindow();
  void programFocusMovesTheWidgetFocus();
};

void ViewBindingTest::typedKeysPassTheKeyRuleAndTheLimit() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  TextField& field = w.f().textField("tonepatternB");
  std::string seen;
  field.onKeyPress = [&seen](char& key) {
    seen.push_back(key);
    if (key == 'x') key = 'Y';
    if (key == 'z') key = '\0';
  };
  field.setText("");
  auto* edit = w.find<QLineEdit>("tonepatternB");
  w.focus(edit);

  QTest::keyClicks(edit, "axzb19");
  QCOMPARE(seen, std::string("axzb19"));
  QCOMPARE(field.text(), std::string("aYb1"));  // 'z' dropped, '9' beyond the limit of 4
  QCOMPARE(edit->text(), QStringLiteral("aYb1"));
  QCOMPARE(edit->cursorPosition(), 4);

  QTest::keyClick(edit, Qt::Key_Left);
  QTest::keyClick(edit, Qt::Key_Backspace);
  QCOMPARE(seen.back(), kBackspace);
  QCOMPARE(field.text(), std::string("aY1"));
  QCOMPARE(edit->text(), QStringLiteral("aY1"));
  QCOMPARE(edit->cursorPosition(), 2);
}

void ViewBindingTest::textsAreThePagersBytesReadThroughItsModelsTable() {
  const struct {
    BuildConfig config;
    QString typed;
    std::string bytes;
    QChar refused;  // a character the model's pager cannot hold
  } cases[] = {
      {test::kE, QStringLiteral("Gr\u00FC\u00DF \u20AC"), "Gr\xFC\xDF \x80", QChar(0x05D0)},
      {test::kH, QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u20AA"), "\xF9\xEC\xE5\xED \xA4",
       QChar(0x00A4)},
  };
  for (const auto& c : cases) {
    test::WindowFixture w(c.config);
    QVERIFY(w.ready);
    TextField& greeting = w.f().textField("hellomsg1");
    greeting.setText("");
    auto* edit = w.find<QLineEdit>("hellomsg1");
    w.focus(edit);
    for (QChar key : c.typed + c.refused) {
      QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(key), Qt::NoModifier);
    }
    QCOMPARE(greeting.text(), c.bytes);
    QCOMPARE(edit->text(), c.typed);
    QCOMPARE(w.fx.platform.beeps, 1);  // the refused key

    // Bytes the program sets, as from a file or a pager, show through the same table.
    greeting.setText(c.bytes + "\x1b");
    QCOMPARE(edit->text(), c.typed + QChar(0x1B));
  }
}

void ViewBindingTest::typedKeyReplacesTheSelectionOnlyWhenTheRuleLetsItThrough() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  TextField& field = w.f().textField("tonepatternB");  // "CFFC", full
  field.onKeyPress = [](char& key) {
    if (key == 'z') key = '\0';
  };
  auto* edit = w.find<QLineEdit>("tonepatternB");
  w.focus(edit);
  edit->setSelection(1, 2);

  QTest::keyClick(edit, 'z');
  QCOMPARE(field.text(), std::string("CFFC"));
  QCOMPARE(edit->selectedText(), QStringLiteral("FF"));

  QTest::keyClick(edit, '0');
  QCOMPARE(field.text(), std::string("C0C"));
  QCOMPARE(edit->text(), QStringLiteral("C0C"));
  QCOMPARE(edit->cursorPosition(), 2);
}

void ViewBindingTest::nonTypingEditsReachTheModelWithoutTheKeyRule() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  TextField& field = w.f().textField("tonepatternC");  // "CCC0"
  int keys = 0;
  int changes = 0;
  field.onKeyPress = [&keys](char&) { ++keys; };
  field.onChange = [&changes] { ++changes; };
  auto* edit = w.find<QLineEdit>("tonepatternC");
  w.focus(edit);
  edit->setCursorPosition(0);

  QTest::keyClick(edit, Qt::Key_Delete);
  QCOMPARE(field.text(), std::string("CC0"));
  QCOMPARE(changes, 1);
  QCOMPARE(keys, 0);

  // Undo is an edit too.
  QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(field.text(), std::string("CCC0"));
  QCOMPARE(changes, 2);
  QCOMPARE(keys, 0);
}

void ViewBindingTest::altOrMetaWithACharacterMeetsTheKeyRule() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  TextField& contrast = w.f().textField("contrast");  // digits only
  const std::string before = contrast.text();
  auto* edit = w.find<QLineEdit>("contrast");
  w.focus(edit);
  const std::size_t lines = w.f().log().lines().size();

  QTest::keyClick(edit, Qt::Key_Q, Qt::AltModifier);
  QTest::keyClick(edit, Qt::Key_Q, Qt::MetaModifier);
  QCOMPARE(contrast.text(), before);
  QCOMPARE(edit->text(), QString::fromStdString(before));
  QCOMPARE(w.fx.platform.beeps, 2);
  QCOMPARE(w.f().log().lines().size(), lines + 2);
  QCOMPARE(w.f().log().lines().back(), std::string("Number Key and back space key only"));

  // A character the rule lets through is typed as usual.
  TextField& serial = w.f().textField("serial");
  serial.setText("");
  w.focus(w.find("serial"));
  QTest::keyClick(w.find("serial"), Qt::Key_Q, Qt::AltModifier);
  QCOMPARE(serial.text(), std::string("q"));

  // A menu's shortcut opens the menu and never reaches the field.
  w.focus(edit);
  QTest::keyClick(edit, Qt::Key_F, Qt::AltModifier);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  QVERIFY(menu != nullptr);
  QCOMPARE(menu->title(), QStringLiteral("&File"));
  menu->close();
  QCOMPARE(contrast.text(), before);
  QCOMPARE(w.fx.platform.beeps, 2);
}

// Only the field being edited follows the model's caret; the others show their beginning.
void ViewBindingTest::fieldWithoutTheFocusShowsTheStartOfProgramText() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  TextField& greeting = w.f().textField("hellomsg1");
  auto* edit = w.find<QLineEdit>("hellomsg1");
  w.focus(w.find("contrast"));
  QTRY_VERIFY(!edit->hasFocus());
  const std::string text = "A greeting far longer than the field shows at once";
  greeting.setText(text);
  QCOMPARE(edit->text(), QString::fromStdString(text));
  QCOMPARE(edit->cursorPosition(), 0);

  w.focus(edit);
  QTRY_VERIFY(edit->hasFocus());
  greeting.setText("Hello");
  QCOMPARE(edit->cursorPosition(), 5);
}

void ViewBindingTest::programTextLongerThanTheLimitShowsWhole() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  auto* title = w.find<QLineEdit>("pubbox0");
  QCOMPARE(w.f().textField("pubbox0").maxLength(), std::size_t{9});
  QCOMPARE(title->text(), QStringLiteral("FOLDER 00 "));

  w.f().textField("serial").setText("0123456789AB");
  QCOMPARE(w.find<QLineEdit>("serial")->text(), QStringLiteral("0123456789AB"));
}

void ViewBindingTest::modelChangesShowAtOnceWithoutFiringEvents() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  TextField& field = w.f().textField("tonepatternD");
  field.setText("1234");
  field.setEnabled(false);
  auto* edit = w.find<QLineEdit>("tonepatternD");
  QCOMPARE(edit->text(), QStringLiteral("1234"));
  QVERIFY(!edit->isEnabled());

  ComboBox& list = w.f().comboBox("pubcallno");
  int changes = 0;
  list.onChange = [&changes] { ++changes; };
  auto* combo = w.find<QComboBox>("pubcallno");
  QSignalSpy activated(combo, &QComboBox::activated);
  list.setIndex(-1);
  QCOMPARE(combo->currentIndex(), -1);
  list.appendItem("Hidden");
  list.setIndex(2);
  QCOMPARE(combo->count(), 3);
  QCOMPARE(combo->currentText(), QStringLiteral("Hidden"));
  list.removeItem(0);
  QCOMPARE(combo->itemText(0), QStringLiteral("Invisible"));
  QCOMPARE(changes, 0);
  QCOMPARE(activated.count(), 0);

  // Service fields start hidden and show when the model shows them.
  for (const char* name : {"chineseheader", "BS1", "L_BS", "L_PubHeader"}) {
    QVERIFY2(w.find(name)->isHidden(), name);
  }
  w.f().textField("chineseheader").setVisible(true);
  w.f().label("L_BS").setVisible(true);
  QVERIFY(!w.find("chineseheader")->isHidden());
  QVERIFY(!w.find("L_BS")->isHidden());

  w.f().checkBox("qsound").setChecked(true);
  QVERIFY(w.find<QCheckBox>("qsound")->isChecked());
}

void ViewBindingTest::listChoiceAndListTyping() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  ComboBox& list = w.f().comboBox("polarity");
  int changes = 0;
  list.onChange = [&changes] { ++changes; };
  auto* combo = w.find<QComboBox>("polarity");
  w.focus(combo);
  QTest::keyClick(combo, Qt::Key_Down);
  QCOMPARE(list.index(), 1);
  QCOMPARE(changes, 1);
  emit combo->activated(0);  // as the popup does
  QCOMPARE(list.index(), 0);
  QCOMPARE(changes, 2);

  // Typed characters go to the list's key rule, not to Qt's search.
  ComboBox& mode = w.f().comboBox("urgcallmode");  // "Normal" "Continuous"
  std::string seen;
  mode.onKeyPress = [&seen](char& key) { seen.push_back(key); };
  QTest::keyClick(w.find<QComboBox>("urgcallmode"), 'c');
  QCOMPARE(seen, std::string("c"));
  QCOMPARE(mode.index(), 0);

  // An editable list takes the typed digit as its text.
  ComboBox& step = w.f().comboBox("autoinc1");
  step.onKeyPress = nullptr;
  auto* stepCombo = w.find<QComboBox>("autoinc1");
  w.focus(stepCombo);
  QTest::keyClick(stepCombo, '5');
  QCOMPARE(step.text(), std::string("5"));
  QCOMPARE(step.index(), 5);
  QCOMPARE(stepCombo->currentText(), QStringLiteral("5"));
}

void ViewBindingTest::checkBoxClickIsDecidedByTheModel() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  CheckBox& box = w.f().checkBox("urgentcall");
  int clicks = 0;
  box.onClick = [&clicks] { ++clicks; };
  auto* check = w.find<QCheckBox>("urgentcall");
  const QPoint indicator(6, check->height() / 2);
  QTest::mouseClick(check, Qt::LeftButton, {}, indicator);
  QVERIFY(box.checked());
  QVERIFY(check->isChecked());
  QCOMPARE(clicks, 1);

  // A click rule that refuses: the box stays as the model has it.
  CheckBox& refusing = w.f().checkBox("qsound");
  refusing.onClick = [&refusing] {
    if (refusing.checked()) refusing.setChecked(false);
  };
  auto* refusingCheck = w.find<QCheckBox>("qsound");
  QTest::keyClick(refusingCheck, Qt::Key_Space);
  QVERIFY(!refusing.checked());
  QVERIFY(!refusingCheck->isChecked());
}

void ViewBindingTest::focusLeavingAControlRaisesExitOnlyWhenItMovesInsideTheWindow() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  int contrastExits = 0;
  int serialExits = 0;
  w.f().textField("contrast").onExit = [&contrastExits] { ++contrastExits; };
  w.f().textField("serial").onExit = [&serialExits] { ++serialExits; };
  auto* contrast = w.find<QLineEdit>("contrast");
  auto* serial = w.find<QLineEdit>("serial");
  w.focus(contrast);
  w.focus(serial);
  QCOMPARE(contrastExits, 1);

  for (Qt::FocusReason reason :
       {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::MenuBarFocusReason}) {
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(serial, &out);
  }
  QCOMPARE(serialExits, 0);
  QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(serial, &tab);
  QCOMPARE(serialExits, 1);
}

void ViewBindingTest::programFocusMovesTheWidgetFocus() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  w.f().textField("password").setFocus();
  QTRY_VERIFY(w.find("password")->hasFocus());
}

}  // namespace ccp

QTEST_MAIN(ccp::ViewBindingTest)
#include "view_binding_test.moc"
