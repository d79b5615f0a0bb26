#pragma once

#include <QFont>
#include <QString>

class QGroupBox;
class QLabel;
class QWidget;

namespace ccp::qt {

// The window's own font: small and proportional.
QFont windowFont();
// Fixed pitch, 13 pixels: fields whose characters line up as on the pager.
QFont fixedFont();
// The greeting shown large and bold, like the pager's display.
QFont greetingFont();

// A group box with a bold caption; its contents keep the window font.
QGroupBox* captionedGroup(const QString& caption, QWidget* parent);
// A group's style sheet cuts it and everything in it off from the window's font: they are
// given it again, all but the fields whose fonts were set on purpose.
void keepWindowFontInGroups(QWidget* root);
// Wide enough for `chars` digits of the widget's font and a frame, and no wider.
void fitChars(QWidget* widget, int chars);
// A read-only field whose text reads as clearly as an enabled field's, though it is disabled.
void readableWhenDisabled(QWidget* widget);
// A widget that keeps its place in the layout while hidden, so nothing around it moves.
void keepPlaceWhenHidden(QWidget* widget);
// A fixed caption beside a control.
QLabel* caption(const QString& text, QWidget* parent);

}  // namespace ccp::qt
