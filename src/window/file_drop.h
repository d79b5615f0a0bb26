#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMimeData;

namespace ccp::qt {

// Takes a single file dropped on the widgets it watches, the text fields included (their own
// drops of text stay theirs), and hands its path on.
class FileDrop : public QObject {
  Q_OBJECT

 public:
  FileDrop(QObject* parent, std::function<void(const QString& path)> onDrop);
  // The local file a drag carries, when it carries exactly one; else empty.
  static QString fileOf(const QMimeData* data);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const QString&)> onDrop_;
};

}  // namespace ccp::qt
