#pragma once

class QWidget;

namespace ccp::qt {

class ViewBinder;

// Page "Setting": greeting, tone patterns and the pager's options in three columns.
QWidget* buildSettingPage(ViewBinder& binder);

}  // namespace ccp::qt
