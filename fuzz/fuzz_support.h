#pragma once

// What the fuzz targets share: a scratch folder per process, a started window on fakes, and
// a check that stops the run with a message.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "image/build_config.h"
#include "shell/form.h"
#include "testkit/fake_platform.h"
#include "testkit/fake_port.h"
#include "testkit/virtual_clock.h"

namespace ccp::fuzz {

// A broken invariant: print it and abort, which libFuzzer reports as a crash with the input.
[[noreturn]] inline void broken(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

inline void check(bool ok, const std::string& what) {
  if (!ok) broken(what);
}

inline constexpr BuildConfig kBuilds[] = {
    {Model::QPX730E, Edition::Customer},
    {Model::QPX730E, Edition::Factory},
    {Model::QPX730H, Edition::Customer},
    {Model::QPX730H, Edition::Factory},
};

// A folder of this process under the system's temporary folder, removed at exit.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() / ("ccp-fuzz-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A started window of one build, on a present Programmer that no command reaches.
struct Window {
  explicit Window(BuildConfig config)
      : port(true, 0x20), form(std::make_unique<TForm1>(config, platform, port, clock)) {}
  testkit::FakePlatform platform;
  testkit::FakePort port;
  testkit::VirtualClock clock;
  std::unique_ptr<TForm1> form;
};

}  // namespace ccp::fuzz
