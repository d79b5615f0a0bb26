#include "window/file_drop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace ccp::qt {

FileDrop::FileDrop(QObject* parent, std::function<void(const QString&)> onDrop)
    : QObject(parent), onDrop_(std::move(onDrop)) {}

QString FileDrop::fileOf(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().front();
  if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) return {};
  return url.toLocalFile();
}

bool FileDrop::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (fileOf(drag->mimeData()).isEmpty()) return false;
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString path = fileOf(drop->mimeData());
      if (path.isEmpty()) return false;
      drop->acceptProposedAction();
      // Opened once the drop has ended, not inside it: the command may show an error box.
      QTimer::singleShot(0, this, [this, path] { onDrop_(path); });
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ccp::qt
