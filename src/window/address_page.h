#pragma once

class QWidget;

namespace ccp::qt {

class ViewBinder;

// Page "Address/Folder": the six address rows and the sixteen message folders.
QWidget* buildAddressPage(ViewBinder& binder);

}  // namespace ccp::qt
