#include "window/register/pager_records_view.h"

#include <QDesktopServices>
#include <QDir>
#include <QMainWindow>
#include <QSettings>
#include <QUrl>

#include "app/data_folder.h"
#include "app/register_place.h"
#include "image/plain_text.h"
#include "shell/form.h"
#include "shell/platform.h"

namespace ccp::qt {

namespace {

const QString kBackupSetting = QStringLiteral("pagerBackups");

}  // namespace

// The command line's data folder, by the same rules.
PagerRecordsView::PagerRecordsView(TForm1& form, QMainWindow& window)
    : QObject(&window), form_(form), records_(userDataFolder()) {
  records_.setBackupBeforeWrite(QSettings().value(kBackupSetting, false).toBool());
  records_.nextFreeCause = "\"Take the next free\"";  // as Register settings... names it
  records_.onNotice = [this](const std::string& text) {
    form_.platform().showNotice(text);
    if (onCommandEnded) onCommandEnded();
  };
  useSavedSettings();
  bindPagerRecords(form_, records_);
  form_.menuItem("BackupBeforeWrite1").onClick = [this] { rememberBackupChoice(); };
  MenuItem& journal = form_.menuItem("OpenJournal1");
  journal.onClick = [this] { openJournalFolder(); };
  journal.setEnabled(true);
}

PagerRecordsView::~PagerRecordsView() {
  // The form may outlive the window: it goes back to the plain commands.
  unbindPagerRecords(form_);
  MenuItem& journal = form_.menuItem("OpenJournal1");
  journal.onClick = nullptr;
  journal.setEnabled(false);
}

void PagerRecordsView::useSavedSettings() {
  const std::string problems = joined(useRegisterSettings(records_), "; ");
  if (!problems.empty()) form_.platform().showNotice(problems);
}

void PagerRecordsView::rememberBackupChoice() {
  BackupBeforeWrite1Click(form_, records_);
  QSettings().setValue(kBackupSetting, records_.backupBeforeWrite());
}

void PagerRecordsView::openJournalFolder() {
  if (records_.dataFolder().empty()) return form_.platform().showNotice(kNoDataFolder);
  const QString folder = QString::fromLocal8Bit(records_.dataFolder());
  QDir().mkpath(folder);
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) {
    form_.platform().showNotice("journal folder could not be shown: " + records_.dataFolder());
  }
}

}  // namespace ccp::qt
