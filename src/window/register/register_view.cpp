#include "window/register/register_view.h"

#include <QWidget>

#include "shell/form.h"
#include "window/register/register_settings_dialog.h"
#include "window/register/register_window.h"
#include "window/register/release_dialog.h"

namespace ccp::qt {

namespace {

constexpr const char* kItems[] = {"PagerRegister1", "RegisterSettings1", "ReleaseCapcode1"};

}  // namespace

RegisterView::RegisterView(TForm1& form, QWidget& window)
    : QObject(&window), form_(form), window_(window) {
  form_.menuItem("PagerRegister1").onClick = [this] { showRegister(); };
  form_.menuItem("RegisterSettings1").onClick = [this] {
    auto* dialog = showDialog<RegisterSettingsDialog>();
    connect(dialog, &QDialog::accepted, this, [this] {
      if (onSettingsSaved) onSettingsSaved();
      if (register_ != nullptr) register_->reload();  // it may be another register now
    });
  };
  form_.menuItem("ReleaseCapcode1").onClick = [this] { showDialog<ReleaseDialog>(); };
  for (const char* name : kItems) form_.menuItem(name).setEnabled(true);
}

RegisterView::~RegisterView() {
  // The form may outlive the window.
  for (const char* name : kItems) {
    MenuItem& item = form_.menuItem(name);
    item.onClick = nullptr;
    item.setEnabled(false);
  }
}

// One register window: chosen again, it comes to the front with what was added since.
void RegisterView::showRegister() {
  if (register_ == nullptr) {
    register_ = new RegisterWindow(&window_);
    register_->setAttribute(Qt::WA_DeleteOnClose);
  } else {
    register_->reload();
  }
  register_->show();
  register_->raise();
  register_->activateWindow();
}

void RegisterView::commandEnded() {
  if (register_ != nullptr && register_->isVisible()) register_->showNewRecords();
}

template <typename Dialog>
Dialog* RegisterView::showDialog() {
  auto* dialog = new Dialog(&window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
  return dialog;
}

}  // namespace ccp::qt
