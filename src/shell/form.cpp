#include "shell/form.h"

#include <stdexcept>

#include "image/image.h"
#include "link/lines.h"
#include "link/port_io.h"
#include "link/wiring.h"
#include "rules/bindings.h"
#include "rules/setting_rules.h"
#include "shell/conversion.h"
#include "shell/form_controls.h"
#include "shell/menu_commands.h"
#include "shell/platform.h"

namespace ccp {

TForm1::TForm1(BuildConfig config, Platform& platform, PortIo& port, Clock& clock)
    : config_(config),
      platform_(platform),
      port_(port),
      clock_(clock),
      image_(std::make_unique<Image>(config)) {
  FormBuilder::build(*this);
  rules::bindAll(*this);
  bindMenuCommands(*this);
  startUp();
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
    platform_.showError(error.what());
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

namespace {

void applyModel(TForm1& form) {
  if (form.config().model == Model::QPX730E) {
    form.textField("hellomsg1").setText("---QPX730E ---");
    form.comboBox("urgcalladdr").setVisible(false);
    form.label("L_urgcalladdr").setVisible(false);
    return;
  }
  form.textField("hellomsg1").setText("---QPX730H ---");
  TextField& freq = form.textField("channelfreq");
  freq.setEnabled(false);
  freq.setText("152.24000");
  form.comboBox("channelspace").setEnabled(false);
  form.comboBox("pll").setVisible(false);
  form.label("L_pll").setVisible(false);
  for (const char* name : {"language", "menulanguage"}) {
    ComboBox& list = form.comboBox(name);
    list.clearItems();
    list.insertItem(0, "English");
    list.insertItem(1, "Hebrew");
  }
  form.comboBox("language").setIndex(0);
  form.comboBox("menulanguage").setIndex(1);
  for (int n = 1; n <= 6; ++n) {
    for (char tone : {'A', 'B', 'C', 'D'}) {
      ComboBox& format =
          form.comboBox("addr" + std::to_string(n) + "format" + std::string(1, tone));
      format.removeItem(3);
      format.removeItem(2);
      format.insertItem(2, "Hebrew");
      format.insertItem(3, "Disable");
    }
  }
}

void applyEdition(TForm1& form) {
  if (form.config().edition == Edition::Customer) {
    form.textField("firmwareversion").setEnabled(false);
    form.textField("subversion").setEnabled(false);
    if (form.config().model == Model::QPX730E) form.comboBox("pll").setEnabled(false);
  }
}

}  // namespace

std::string windowTitle(const BuildConfig& config) {
  std::string model = config.model == Model::QPX730H ? "QPX730H" : "QPX730E";
  std::string edition = config.edition == Edition::Factory ? "Factory" : "Customer";
  return model + " Capcode Programmer-" + edition + " version";
}

std::string aboutLine(const BuildConfig& config) {
  return config.model == Model::QPX730H ? "QPX730H CCP V1.4"
                                        : "QPX730E CCP V1.4, support firmware version 1-4";
}

void TForm1::startUp() {
  portBase_ = kLpt1Base;
  logLine(aboutLine(config_));
  if (!port_.obtainAccess()) {
    beep();
    logLine("Driver missing or disable, can't access the paraller port.");
    menuItem("ReadFromPager").setEnabled(false);
    menuItem("WriteToPager").setEnabled(false);
  } else {
    logLine("Port init success.");
    Lines lines(port_, clock_, [this] { return static_cast<std::uint16_t>(portBase_); });
    if (!lines.programmerPresent()) {
      beep();
      logLine("Programmer not conected or power not plug in, please check");
      menuItem("WriteToPager").setEnabled(false);
      menuItem("ReadFromPager").setEnabled(false);
    }
  }
  applyModel(*this);
  applyEdition(*this);
  title_ = windowTitle(config_);
  if (config_.edition == Edition::Factory && config_.model == Model::QPX730E) {
    beep();
    logLine("Before programming the pager, corrected firmware version muse be entried.");
  }
  rules::firmwareversionChange(*this);
}

}  // namespace ccp
