#pragma once

#include <QObject>
#include <functional>

#include "commands/pager_records.h"

class QMainWindow;

namespace ccp::qt {

// The window's records of the pager commands: the register as the user's register settings
// say (journal.csv in the data folder when it cannot keep them), backups in the data folder as
// the File menu's check item says (remembered between runs). What they have to say is the
// platform's notice (the status bar), never in the log.
class PagerRecordsView : public QObject {
 public:
  // Binds the pager commands and the File menu's record items; a child of the window.
  PagerRecordsView(TForm1& form, QMainWindow& window);
  ~PagerRecordsView() override;

  PagerRecords& records() { return records_; }
  // The register settings read again, as Register settings... saved them.
  void useSavedSettings();
  // Told when a pager command has ended, after its notice.
  std::function<void()> onCommandEnded;

 private:
  void rememberBackupChoice();
  void openJournalFolder();

  TForm1& form_;
  PagerRecords records_;
};

}  // namespace ccp::qt
