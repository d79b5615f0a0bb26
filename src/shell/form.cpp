#include "shell/form.h"

#include <stdexcept>

#include "image/image.h"
#include "image/pager_charset.h"
#include "shell/conversion.h"
#include "shell/form_controls.h"
#include "shell/platform.h"

namespace ccp {

TForm1::TForm1(Unstarted, BuildConfig config, Platform& platform, PortIo& port, Clock& clock)
    : config_(config),
      platform_(platform),
      port_(port),
      clock_(clock),
      image_(std::make_unique<Image>(config)) {
  FormBuilder::build(*this);
}

TForm1::~TForm1() = default;

template <typename T>
T& TForm1::lookup(std::string_view name) {
  auto found = byName_.find(name);
  T* control = found == byName_.end() ? nullptr : dynamic_cast<T*>(found->second);
  if (control == nullptr) {
    throw std::invalid_argument("no control of that kind named '" + std::string(name) + "'");
  }
  return *control;
}

TextField& TForm1::textField(std::string_view name) {
  return lookup<TextField>(name);
}
ComboBox& TForm1::comboBox(std::string_view name) {
  return lookup<ComboBox>(name);
}
CheckBox& TForm1::checkBox(std::string_view name) {
  return lookup<CheckBox>(name);
}
Label& TForm1::label(std::string_view name) {
  return lookup<Label>(name);
}

MenuItem& TForm1::menuItem(std::string_view name) {
  auto found = menuByName_.find(name);
  if (found == menuByName_.end()) {
    throw std::invalid_argument("no menu item named '" + std::string(name) + "'");
  }
  return *found->second;
}

Control* TForm1::findControl(std::string_view name) {
  auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

void TForm1::beep() {
  platform_.beep();
}

void TForm1::runUserAction(const std::function<void()>& action) {
  if (actionDepth_ > 0) {
    action();  // the outermost action's boundary catches
    return;
  }
  ++actionDepth_;
  try {
    action();
  } catch (const ConversionError& error) {
    --actionDepth_;
    // The quoted text is the field's, in the pager's bytes.
    platform_.showError(utf8Text(config_.model, error.what()), error.field());
    return;
  } catch (...) {
    --actionDepth_;
    throw;
  }
  --actionDepth_;
}

void TForm1::moveFocusTo(Control& control) {
  // A disabled or hidden control cannot take the focus; the rule that asked goes on.
  if (!control.enabled() || !control.visible()) return;
  focused_ = &control;
  if (observer_ != nullptr) observer_->focusMoved(control);
}

void TForm1::controlChanged(Control& control) {
  if (observer_ != nullptr) observer_->controlChanged(control);
}

}  // namespace ccp
