#pragma once

#include <functional>

class QWidget;

namespace ccp::qt {

// Runs a slot's work so that no exception crosses Qt's event loop: the model's user actions
// already catch conversion failures; anything else that escapes is shown in an error box.
void guarded(QWidget* parent, const std::function<void()>& work) noexcept;

}  // namespace ccp::qt
