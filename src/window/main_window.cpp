#include "window/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <set>
#include <string_view>

#include "rules/folder_rules.h"
#include "shell/page_labels.h"
#include "window/address_page.h"
#include "window/file_drop.h"
#include "window/guard.h"
#include "window/input_block.h"
#include "window/list/list_view.h"
#include "window/menu_shortcuts.h"
#include "window/qt_platform.h"
#include "window/register/pager_records_view.h"
#include "window/register/register_view.h"
#include "window/setting_page.h"
#include "window/view_binder.h"
#include "window/view_style.h"

namespace ccp::qt {

namespace {

constexpr QSize kDefaultSize(685, 538);
constexpr int kLogLines = 4;

// The menu bar, left to right: a menu with its items, or a command of its own (no items).
// nullptr in the items is a separator.
struct MenuEntry {
  const char* name;
  std::vector<const char*> items;
};

const MenuEntry kMenus[] = {
    {"File1",
     {"Open1", "Save1", nullptr, "BackupBeforeWrite1", "OpenBackup1", "OpenJournal1", nullptr,
      "Exit1"}},
    {"ParallelPort1", {"LPT11", "LPT21", nullptr, "TestProgrammer1"}},
    {"WriteToPager", {}},
    {"ReadFromPager", {}},
    {"Register1", {"PagerRegister1", nullptr, "ReleaseCapcode1", nullptr, "RegisterSettings1"}},
    {"Help1", {"About1"}},
};

// The items that show check marks.
const std::set<std::string_view> kCheckItems = {"LPT11", "LPT21", "BackupBeforeWrite1"};

}  // namespace

MainWindow::MainWindow(TForm1& form, QWidget* parent)
    : QMainWindow(parent), form_(form), binder_(new ViewBinder(form, this)) {
  setFont(windowFont());
  setWindowTitle(QString::fromStdString(form.title()));

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(4);
  pages_ = new QTabWidget(central);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setTabPosition(QTabWidget::West);
  pages_->addTab(buildAddressPage(*binder_), QString::fromLatin1(pages::kAddressPage));
  pages_->addTab(buildSettingPage(*binder_), QString::fromLatin1(pages::kSettingPage));
  pages_->setCurrentIndex(1);
  keepWindowFontInGroups(pages_);
  slotsUsed_ = pages_->findChild<QLabel*>(QStringLiteral("SlotsUsed"));
  // A taller window gives its extra height to the log; the pages keep theirs.
  layout->addWidget(pages_, 0);
  setCentralWidget(central);
  buildLog();
  layout->addWidget(log_, 1);
  buildMenus();
  auto* records = new PagerRecordsView(form_, *this);
  auto* pagerRegister = new RegisterView(form_, *this);
  records->onCommandEnded = [pagerRegister] { pagerRegister->commandEnded(); };
  pagerRegister->onSettingsSaved = [records] { records->useSavedSettings(); };
  new ListView(form_, *this, records->records());
  addMenuShortcuts(*this);
  buildRecentFiles();
  acceptFileDrops();

  binder_->refreshAll();
  showSlotsUsed();
  form_.setObserver(this);
  // Exit runs inside the menu command: close once the command has returned.
  form_.onCloseRequested = [this] {
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  };
}

MainWindow::~MainWindow() {
  // The form may outlive the window: leave it nothing that points here.
  form_.setObserver(nullptr);
  form_.onCloseRequested = nullptr;
  form_.log().onAppend = nullptr;
  if (platform_ != nullptr) platform_->onFailedField = nullptr;
  for (MenuItem* item : form_.menuItems()) item->viewUpdate = nullptr;
  delete binder_;  // before the widgets, so their last focus changes reach no model
}

void MainWindow::showCentred() {
  show();
  // Sized once the layouts know what they show, so hidden controls take no room.
  resize(kDefaultSize.expandedTo(minimumSizeHint()));
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

void MainWindow::attachPlatform(QtPlatform& platform) {
  platform_ = &platform;
  platform.attach(this);
  platform.onFailedField = [this](const std::string& field) { binder_->markFailed(field); };
}

void MainWindow::showSimulated() {
  auto* note = new QLabel(QStringLiteral("Simulated Programmer"), this);
  note->setObjectName(QStringLiteral("SimulatedProgrammer"));
  statusBar()->addPermanentWidget(note);
}

void MainWindow::showTransferPriority(const QString& text) {
  const QString message = QStringLiteral("Transfers: ") + text;
  statusBar()->showMessage(message);
  if (auto* about = findChild<QAction*>(QStringLiteral("About1"))) {
    connect(about, &QAction::triggered, this,
            [this, message] { statusBar()->showMessage(message); });
  }
}

void MainWindow::openFile(const QString& path) {
  auto* open = findChild<QAction*>(QStringLiteral("Open1"));
  if (platform_ == nullptr || open == nullptr || form_.busy()) return;
  platform_->openWithoutDialog(path, [open] { open->trigger(); });
}

// File > Recent files, right after Open: the last files opened or saved that still exist.
void MainWindow::buildRecentFiles() {
  auto* file = findChild<QAction*>(QStringLiteral("File1"));
  auto* open = findChild<QAction*>(QStringLiteral("Open1"));
  QMenu* menu = file != nullptr ? file->menu<QMenu*>() : nullptr;
  if (menu == nullptr || open == nullptr) return;
  auto* recent = new QMenu(QStringLiteral("Recent files"), menu);
  recent->setObjectName(QStringLiteral("RecentFiles"));
  const QList<QAction*> actions = menu->actions();
  const qsizetype next = actions.indexOf(open) + 1;
  menu->insertMenu(next < actions.size() ? actions[next] : nullptr, recent);
  connect(menu, &QMenu::aboutToShow, this, [this, recent] { showRecentFiles(recent); });
}

void MainWindow::showRecentFiles(QMenu* recent) {
  recent->clear();
  const QStringList files =
      platform_ != nullptr ? platform_->history().recentFiles() : QStringList();
  for (qsizetype i = 0; i < files.size(); ++i) {
    const QString path = files[i];
    QAction* entry =
        recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
    connect(entry, &QAction::triggered, this, [this, path] { openFile(path); });
  }
  recent->menuAction()->setEnabled(!files.isEmpty());
}

// A file dropped anywhere on the window opens; the text fields keep their drops of text.
void MainWindow::acceptFileDrops() {
  auto* drop = new FileDrop(this, [this](const QString& path) { openFile(path); });
  setAcceptDrops(true);
  installEventFilter(drop);
  for (QWidget* child : findChildren<QWidget*>()) {
    if (child->acceptDrops()) child->installEventFilter(drop);
  }
}

void MainWindow::controlChanged(Control& control) {
  binder_->refresh(control);
  showSlotsUsed();
}

void MainWindow::focusMoved(Control& control) {
  binder_->focus(control);
}

void MainWindow::buildMenus() {
  for (const MenuEntry& entry : kMenus) {
    MenuItem& top = form_.menuItem(entry.name);
    const QString caption = QString::fromStdString(top.caption());
    if (entry.items.empty()) {
      // A command on the menu bar itself.
      bindMenuItem(top, menuBar()->addAction(caption), false);
      continue;
    }
    QMenu* menu = menuBar()->addMenu(caption);
    bindMenuItem(top, menu->menuAction(), false);
    for (std::size_t i = 0; i < entry.items.size(); ++i) {
      if (entry.items[i] == nullptr) {
        menu->addSeparator();
        continue;
      }
      MenuItem& item = form_.menuItem(entry.items[i]);
      bindMenuItem(item, menu->addAction(QString::fromStdString(item.caption())),
                   kCheckItems.contains(item.name()));
    }
  }
}

QAction* MainWindow::bindMenuItem(MenuItem& item, QAction* action, bool checkable) {
  action->setObjectName(QString::fromStdString(item.name()));
  action->setCheckable(checkable);
  auto show = [&item, action] {
    action->setEnabled(item.enabled());
    action->setChecked(item.checked());
  };
  item.viewUpdate = show;
  show();
  connect(action, &QAction::triggered, this, [this, &item, show] {
    {
      // A transfer keeps the window painted: what the user does to it meanwhile is dropped.
      const InputBlock block(this);
      guarded(this, [&] { item.trigger(); });
    }
    show();  // Qt toggled a check mark on its own; the model decides
  });
  return action;
}

void MainWindow::buildLog() {
  log_ = new QPlainTextEdit(this);
  log_->setObjectName(QStringLiteral("Memo1"));
  log_->setReadOnly(true);
  log_->setUndoRedoEnabled(false);
  QPalette palette = log_->palette();
  palette.setColor(QPalette::Text, Qt::red);
  log_->setPalette(palette);
  const int margins =
      2 * (log_->frameWidth() + static_cast<int>(log_->document()->documentMargin()));
  log_->setMinimumHeight(log_->fontMetrics().lineSpacing() * kLogLines + margins);
  for (const std::string& line : form_.log().lines()) appendLogLine(line);
  form_.log().onAppend = [this](const std::string& line) { appendLogLine(line); };
}

void MainWindow::showSlotsUsed() {
  if (slotsUsed_ == nullptr) return;
  slotsUsed_->setText(
      QStringLiteral("Slots used: %1 / %2").arg(rules::SlotsUsed(form_)).arg(rules::kFolderSlots));
}

void MainWindow::appendLogLine(const std::string& line) {
  // Program lines and the paths in them, which are the system's file names.
  log_->appendPlainText(QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size())));
  QScrollBar* bar = log_->verticalScrollBar();
  bar->setValue(bar->maximum());
}

// A pager transfer repaints the window during its pauses; a close request that arrives then
// is refused, as any other input to the window is.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (form_.busy()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

}  // namespace ccp::qt
