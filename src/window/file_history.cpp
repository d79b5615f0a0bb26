#include "window/file_history.h"

#include <QFileInfo>
#include <QSettings>

namespace ccp::qt {

namespace {
const QString kRecentKey = QStringLiteral("files/recent");
const QString kFolderKey = QStringLiteral("files/lastFolder");
}  // namespace

QString FileHistory::lastFolder() const {
  return QSettings().value(kFolderKey).toString();
}

void FileHistory::remember(const QString& path) {
  const QFileInfo file(path);
  const QString full = file.absoluteFilePath();
  QSettings settings;
  settings.setValue(kFolderKey, file.absolutePath());
  QStringList recent = settings.value(kRecentKey).toStringList();
  recent.removeAll(full);
  recent.prepend(full);
  settings.setValue(kRecentKey, recent.mid(0, kMostRecent));
}

QStringList FileHistory::recentFiles() {
  QSettings settings;
  const QStringList stored = settings.value(kRecentKey).toStringList();
  QStringList existing;
  for (const QString& path : stored) {
    if (QFileInfo(path).isFile()) existing << path;
  }
  if (existing != stored) settings.setValue(kRecentKey, existing);
  return existing;
}

}  // namespace ccp::qt
