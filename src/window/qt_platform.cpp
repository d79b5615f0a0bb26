#include "window/qt_platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>

#include "window/input_block.h"

namespace ccp::qt {

namespace {

QString toQString(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> chosen(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return path.toLocal8Bit().toStdString();
}

}  // namespace

void QtPlatform::attach(QMainWindow* window) {
  window_ = window;
  step_ = new QLabel(window);
  bar_ = new QProgressBar(window);
  bar_->setTextVisible(true);
  bar_->setMaximumWidth(240);
  window->statusBar()->addWidget(step_, 1);
  window->statusBar()->addPermanentWidget(bar_);
  step_->hide();
  bar_->hide();
}

void QtPlatform::beep() {
  QApplication::beep();
}

void QtPlatform::showError(const std::string& message) {
  QMessageBox::critical(window_, QStringLiteral("Error"), toQString(message));
}

std::optional<std::string> QtPlatform::askOpenPath(std::string_view filter) {
  return chosen(
      QFileDialog::getOpenFileName(window_, QStringLiteral("Open"), QString(), toQString(filter)));
}

std::optional<std::string> QtPlatform::askOpenPathIn(std::string_view folder,
                                                     std::string_view filter) {
  return chosen(QFileDialog::getOpenFileName(window_, QStringLiteral("Open"), toQString(folder),
                                             toQString(filter)));
}

std::optional<std::string> QtPlatform::askSavePath(std::string_view filter) {
  return chosen(
      QFileDialog::getSaveFileName(window_, QStringLiteral("Save"), QString(), toQString(filter)));
}

void QtPlatform::showProgress(std::string_view step, int done, int total) {
  if (bar_ == nullptr || step_ == nullptr) return;
  const bool running = done < total;
  step_->setText(running ? toQString(step) : QString());
  bar_->setRange(0, total > 0 ? total : 1);
  bar_->setValue(done);
  step_->setVisible(running);
  bar_->setVisible(running);
  // The transfer holds the event thread: repaint now; input to the window meanwhile is dropped.
  window_->statusBar()->repaint();
  keepWindowPainted();
}

}  // namespace ccp::qt
