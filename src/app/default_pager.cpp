#include "app/default_pager.h"

#include "commands/encode_image.h"
#include "image/checksum.h"
#include "ports/clock.h"
#include "ports/refusing_port.h"
#include "shell/form.h"
#include "shell/platform.h"

namespace ccp {

namespace {

// A desktop that nobody sees: the window is only built to encode its defaults.
class SilentPlatform : public Platform {
 public:
  void beep() override {}
  void showError(const std::string&, const std::string&) override {}
  std::optional<std::string> askOpenPath(std::string_view) override { return std::nullopt; }
  std::optional<std::string> askSavePath(std::string_view) override { return std::nullopt; }
};

class NoWaitClock : public Clock {
 public:
  void waitUs(unsigned) override {}
  void waitMs(unsigned) override {}
  void sleepMs(unsigned) override {}
};

}  // namespace

PagerContents defaultPagerContents(const BuildConfig& config) {
  SilentPlatform platform;
  RefusingPort port;
  NoWaitClock clock;
  TForm1 form(config, platform, port, clock);
  Image& image = form.image();
  image.eep.fill(0);
  image.eep[eep::kModelMarker] = modelMarker(config.model);
  EncodeImage(form);
  storeChecksum(image.eep);
  return {image.eep, image.decoder};
}

}  // namespace ccp
