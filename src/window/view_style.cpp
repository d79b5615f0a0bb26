#include "window/view_style.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>

namespace ccp::qt {

QFont windowFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSize(8);
  // Narrow, as the pager's long captions need: a condensed face where the family has one.
  font.setStretch(QFont::SemiCondensed);
  return font;
}

QFont fixedFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(13);
  return font;
}

QFont greetingFont() {
  QFont font = fixedFont();
  font.setPixelSize(27);
  font.setBold(true);
  return font;
}

QGroupBox* captionedGroup(const QString& text, QWidget* parent) {
  auto* group = new QGroupBox(text, parent);
  // Only the caption is bold: the style sheet reaches the title, not the children's fonts.
  group->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; }"));
  return group;
}

void keepWindowFontInGroups(QWidget* root) {
  for (QGroupBox* group : root->findChildren<QGroupBox*>()) {
    group->setFont(windowFont());
    for (QWidget* child : group->findChildren<QWidget*>()) {
      if (!child->testAttribute(Qt::WA_SetFont)) child->setFont(windowFont());
    }
  }
}

void fitChars(QWidget* widget, int chars) {
  const int frame = 9;  // the line edit's frame and text margins
  widget->setFixedWidth(widget->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + frame);
}

void readableWhenDisabled(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Disabled, QPalette::Text,
                   palette.color(QPalette::Active, QPalette::Text));
  widget->setPalette(palette);
}

void keepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

QLabel* caption(const QString& text, QWidget* parent) {
  return new QLabel(text, parent);
}

}  // namespace ccp::qt
