#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/build_config.h"
#include "image/image.h"
#include "shell/controls.h"

namespace ccp {

class Platform;
class PortIo;
class Clock;

// Told by the form of every change the view has to show.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void controlChanged(Control& control) = 0;
  virtual void focusMoved(Control& control) = 0;
};

// The main window without its widgets: every control of the two pages, the menu, the message
// log, the configuration image and the port base.
class TForm1 : public ControlHost {
 public:
  // A started window: every rule and command bound, then the whole start-up run. Defined by
  // app/ (app/startup.cpp), where the program is composed: it binds the rules and commands
  // above this layer.
  TForm1(BuildConfig config, Platform& platform, PortIo& port, Clock& clock);
  // A window with every control at its default, nothing bound and no start-up run.
  struct Unstarted {};
  TForm1(Unstarted, BuildConfig config, Platform& platform, PortIo& port, Clock& clock);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Lookup by a control's exact name; an unknown name or another kind throws
  // std::invalid_argument.
  TextField& textField(std::string_view name);
  ComboBox& comboBox(std::string_view name);
  CheckBox& checkBox(std::string_view name);
  Label& label(std::string_view name);
  MenuItem& menuItem(std::string_view name);
  Control* findControl(std::string_view name);
  const std::vector<Control*>& controls() const { return order_; }
  const std::vector<MenuItem*>& menuItems() const { return menuOrder_; }

  const MessageLog& log() const { return log_; }
  MessageLog& log() { return log_; }
  std::string title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  Control* focused() const { return focused_; }
  Image& image() { return *image_; }

  const BuildConfig& config() const { return config_; }
  Platform& platform() { return platform_; }
  PortIo& port() { return port_; }
  Clock& clock() { return clock_; }
  int portBase() const { return portBase_; }
  void setPortBase(int base) { portBase_ = base; }

  // Log a line; sound the default beep.
  void logLine(std::string line) { log_.append(std::move(line)); }
  void beep();

  void setObserver(FormObserver* observer) { observer_ = observer; }
  // A user action (a command, a rule) is running: the window must not close under it.
  bool busy() const { return actionDepth_ > 0; }

  // ControlHost
  void runUserAction(const std::function<void()>& action) override;
  void moveFocusTo(Control& control) override;
  void controlChanged(Control& control) override;

  // Exit1: the view closes the window when this is set.
  std::function<void()> onCloseRequested;

 private:
  friend class FormBuilder;
  template <typename T>
  T& lookup(std::string_view name);

  BuildConfig config_;
  Platform& platform_;
  PortIo& port_;
  Clock& clock_;
  std::unique_ptr<Image> image_;
  std::vector<std::unique_ptr<Control>> owned_;
  std::vector<Control*> order_;
  std::map<std::string, Control*, std::less<>> byName_;
  std::vector<std::unique_ptr<MenuItem>> menus_;
  std::vector<MenuItem*> menuOrder_;
  std::map<std::string, MenuItem*, std::less<>> menuByName_;
  MessageLog log_;
  std::string title_;
  Control* focused_ = nullptr;
  FormObserver* observer_ = nullptr;
  int portBase_ = 888;  // LPT1
  int actionDepth_ = 0;
};

}  // namespace ccp
