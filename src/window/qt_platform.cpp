#include "window/qt_platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <utility>

#include "window/input_block.h"

namespace ccp::qt {

namespace {

QString toQString(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// A chosen file becomes the most recent one.
std::optional<std::string> chosen(FileHistory& history, const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  history.remember(path);
  return path.toLocal8Bit().toStdString();
}

}  // namespace

void QtPlatform::attach(QMainWindow* window) {
  window_ = window;
  step_ = new QLabel(window);
  bar_ = new QProgressBar(window);
  bar_->setRange(0, 100);  // percent of the whole command
  bar_->setTextVisible(true);
  bar_->setMaximumWidth(240);
  window->statusBar()->addWidget(step_, 1);
  window->statusBar()->addPermanentWidget(bar_);
  step_->hide();
  bar_->hide();
  if (!pendingNotice_.empty()) showNotice(std::exchange(pendingNotice_, {}));
}

void QtPlatform::beep() {
  QApplication::beep();
}

void QtPlatform::showError(const std::string& message, const std::string& field) {
  ++errorBoxes_;
  lastErrorBox_ = message;
  if (!field.empty() && onFailedField) onFailedField(field);
  QMessageBox::critical(window_, QStringLiteral("Error"), QString::fromStdString(message));
}

std::optional<std::string> QtPlatform::askOpenPath(std::string_view filter) {
  if (!openAnswer_.isEmpty()) return chosen(history_, std::exchange(openAnswer_, QString()));
  return chosen(history_, QFileDialog::getOpenFileName(window_, QStringLiteral("Open"),
                                                       history_.lastFolder(), toQString(filter)));
}

std::optional<std::string> QtPlatform::askOpenPathIn(std::string_view folder,
                                                     std::string_view filter) {
  return chosen(history_, QFileDialog::getOpenFileName(window_, QStringLiteral("Open"),
                                                       toQString(folder), toQString(filter)));
}

std::optional<std::string> QtPlatform::askSavePath(std::string_view filter) {
  return chosen(history_, QFileDialog::getSaveFileName(window_, QStringLiteral("Save"),
                                                       history_.lastFolder(), toQString(filter)));
}

void QtPlatform::openWithoutDialog(const QString& path, const std::function<void()>& command) {
  openAnswer_ = path;
  // Only for this command: a command that never asked leaves no answer for a later one.
  const auto forget = qScopeGuard([this] { openAnswer_.clear(); });
  command();
}

void QtPlatform::showProgress(const ProgressReport& report) {
  if (bar_ == nullptr || step_ == nullptr) return;
  const bool running = !report.ended();
  // A notice hides the status bar's step: the one of the last command is done with.
  if (running) window_->statusBar()->clearMessage();
  step_->setText(
      running ? QStringLiteral("%1, %2 s left").arg(toQString(report.phase)).arg(report.secondsLeft)
              : QString());
  bar_->setValue(report.percent);
  step_->setVisible(running);
  bar_->setVisible(running);
  // The transfer holds the event thread: repaint now; input to the window meanwhile is dropped.
  window_->statusBar()->repaint();
  keepWindowPainted();
}

void QtPlatform::showNotice(const std::string& text) {
  if (window_ == nullptr) {
    pendingNotice_ = text;  // said before the window was attached
  } else if (text.empty()) {
    window_->statusBar()->clearMessage();
  } else {
    window_->statusBar()->showMessage(toQString(text));
  }
}

}  // namespace ccp::qt
