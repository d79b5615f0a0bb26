#pragma once

#include <QObject>
#include <QPointer>

#include "commands/pager_records.h"

class QAction;
class QMainWindow;

namespace ccp::qt {

class ListWindow;
struct CheckedListFiles;

// File > Open list...: a customer's list checked as ccp fleet check checks it, refused with
// every problem in a table, or taken into the register the window keeps its records in and
// shown in a window of its own, from which its rows are written in the main window.
class ListView : public QObject {
  Q_OBJECT

 public:
  // Adds the item to the File menu, after the window's own; a child of the window.
  ListView(TForm1& form, QMainWindow& window, PagerRecords& records);

  // What Open list... does once both files are chosen. The list's window, or nothing when the
  // list was refused or could not be taken in (said in a window of its own).
  ListWindow* openList(const QString& listPath, const QString& templatePath);
  // The list shown, if any.
  ListWindow* listWindow() const;

 private:
  void askForList();
  void tell(const QString& text);
  void offerNewVersion(const CheckedListFiles& checked, const std::vector<int>& changedRows,
                       const QString& listPath);
  ListWindow* showList(const ListInfo& list, const CheckedListFiles& checked,
                       const QString& listPath);

  TForm1& form_;
  QMainWindow& window_;
  PagerRecords& records_;
  QAction* writeToPager_;
  QPointer<ListWindow> shown_;
};

}  // namespace ccp::qt
