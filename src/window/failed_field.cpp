#include "window/failed_field.h"

#include <QPainter>

namespace ccp::qt {

namespace {
constexpr int kPenWidth = 2;
}

FailedFieldFrame::FailedFieldFrame(QWidget* field) : QWidget(field) {
  setObjectName(QStringLiteral("failedFieldFrame"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(field->rect());
  show();
  raise();
}

void FailedFieldFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(Qt::red, kPenWidth));
  const int inset = kPenWidth / 2;
  painter.drawRect(rect().adjusted(inset, inset, -inset, -inset));
}

}  // namespace ccp::qt
