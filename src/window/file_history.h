#pragma once

#include <QString>
#include <QStringList>

namespace ccp::qt {

// The configuration files the user last opened or saved, and the folder of the last one, kept
// in the program's settings between runs.
class FileHistory {
 public:
  static constexpr int kMostRecent = 8;

  // The folder the file dialogs start in; empty before any file was chosen.
  QString lastFolder() const;
  // A file chosen for opening or saving: the most recent file, its folder the last folder.
  void remember(const QString& path);
  // The recent files that still exist, newest first; those that are gone are forgotten.
  QStringList recentFiles();
};

}  // namespace ccp::qt
