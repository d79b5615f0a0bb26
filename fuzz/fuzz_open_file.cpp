// Any bytes as a configuration file, opened through File > Open into a fresh window of each
// build, then saved through File > Save. Open accepts exactly the files whose settings record
// adds up; a save that reports success leaves a 560-byte file with a good checksum.

#include <algorithm>

#include "fuzz_support.h"
#include "image/checksum.h"
#include "image/layout.h"

namespace {

using namespace ccp;

// The checksum Open must judge: the first 256 bytes, a short file completed with 0xFF.
bool recordAddsUp(const std::uint8_t* data, std::size_t size) {
  EepBlock eep;
  eep.fill(0xFF);
  std::copy_n(data, std::min(size, eep.size()), eep.begin());
  return checksumOk(eep);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder folder;
  const std::string in = folder.file("in.eep");
  const std::string out = folder.file("out.eep");
  fuzz::writeBytes(in, data, size);
  const bool addsUp = recordAddsUp(data, size);

  // The build comes from the input's length so that every build sees every kind of file.
  const BuildConfig config = fuzz::kBuilds[size % 4];
  fuzz::Window w(config);
  TForm1& form = *w.form;
  w.platform.openAnswers.push_back(in);
  form.menuItem("Open1").trigger();
  const auto& log = form.log().lines();
  const bool loaded = std::find(log.begin(), log.end(), "File loaded") != log.end();
  fuzz::check(loaded == addsUp, loaded ? "a file whose record does not add up was loaded"
                                       : "a file whose record adds up was refused");

  std::filesystem::remove(out);
  w.platform.saveAnswers.push_back(out);
  const std::size_t errors = w.platform.errors.size();
  form.menuItem("Save1").trigger();
  if (form.log().lines().back() == "ok!") {
    const std::vector<std::uint8_t> saved = fuzz::readBytes(out);
    fuzz::check(saved.size() == kFileSize, "saved file of " + std::to_string(saved.size()));
    EepBlock eep;
    std::copy_n(saved.begin(), eep.size(), eep.begin());
    fuzz::check(checksumOk(eep), "saved file with a bad checksum");
  } else {
    // The only way a save may end without success here: a setting that is not a number.
    fuzz::check(w.platform.errors.size() == errors + 1, "save ended without ok! or error box");
    fuzz::check(!std::filesystem::exists(out), "a refused save left a file");
  }
  return 0;
}
