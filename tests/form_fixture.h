#pragma once

#include <memory>

#include "ports/clock.h"
#include "shell/form.h"
#include "testkit/fake_platform.h"
#include "testkit/fake_port.h"

namespace ccp::test {

class NoWaitClock : public Clock {
 public:
  void waitUs(unsigned) override {}
  void waitMs(unsigned) override {}
  void sleepMs(unsigned ms) override { sleeps.push_back(ms); }
  std::vector<unsigned> sleeps;
};

inline constexpr BuildConfig kE{Model::QPX730E, Edition::Customer};
inline constexpr BuildConfig kEFactory{Model::QPX730E, Edition::Factory};
inline constexpr BuildConfig kH{Model::QPX730H, Edition::Customer};
inline constexpr BuildConfig kHFactory{Model::QPX730H, Edition::Factory};

// A started window with a fake desktop and a present Programmer.
struct FormFixture {
  explicit FormFixture(BuildConfig config = kE, bool access = true, std::uint8_t status = 0x20)
      : port(access, status), form(std::make_unique<TForm1>(config, platform, port, clock)) {}

  TForm1& f() { return *form; }
  const std::vector<std::string>& lines() const { return form->log().lines(); }

  testkit::FakePlatform platform;
  testkit::FakePort port;
  NoWaitClock clock;
  std::unique_ptr<TForm1> form;
};

}  // namespace ccp::test
