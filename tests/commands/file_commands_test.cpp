#include "commands/file_commands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "files/config_file.h"
#include "files/file_calls.h"
#include "files/scripted_file_calls.h"
#include "files/temp_folder.h"
#include "form_fixture.h"
#include "image/checksum.h"

namespace ccp {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::FormFixture;

// 560 bytes with a good checksum, none of them the defaults' values.
Bytes goodFile(std::size_t size = kFileSize, std::uint8_t marker = 0x00) {
  EepBlock eep;
  DecoderBlock decoder;
  for (std::size_t i = 0; i < eep.size(); ++i) eep[i] = static_cast<std::uint8_t>(i * 7 + 1);
  decoder.fill(0x5A);
  eep[0] = marker;
  storeChecksum(eep);
  const ConfigFileBytes bytes = configFileBytes(eep, decoder);
  Bytes file(size, 0x33);
  std::copy_n(bytes.begin(), std::min(size, bytes.size()), file.begin());
  return file;
}

class FileCommands : public ::testing::Test {
 protected:
  void open(const std::string& path, FormFixture& on) {
    on.platform.openAnswers.push_back(path);
    on.f().menuItem("Open1").trigger();
  }
  void save(const std::string& path) {
    fx.platform.saveAnswers.push_back(path);
    fx.f().menuItem("Save1").trigger();
  }
  std::vector<std::string> newLines(std::size_t before) {
    return {fx.lines().begin() + static_cast<long>(before), fx.lines().end()};
  }

  test::TempFolder dir;
  FormFixture fx;
};

TEST_F(FileCommands, LoadsWhatTheChecksumAccepts) {
  auto flipped = [](std::size_t at) {
    Bytes f = goodFile();
    f[at] ^= 0x01;
    return f;
  };
  const struct {
    const char* what;
    BuildConfig config;
    Bytes file;
    bool loads;
  } cases[] = {
      {"empty", test::kE, {}, false},
      {"256 bytes", test::kE, goodFile(256), true},
      {"flipped byte 100", test::kE, flipped(100), false},
      {"flipped checksum", test::kE, flipped(255), false},
      {"flipped byte 300", test::kE, flipped(300), true},
      {"flipped decoder byte", test::kE, flipped(540), true},
      {"longer file", test::kE, goodFile(600), true},
      {"H marker in E build", test::kE, goodFile(kFileSize, 0x55), true},
      {"E marker in H build", test::kH, goodFile(kFileSize, 0x00), true},
  };
  for (const auto& c : cases) {
    FormFixture gx(c.config);
    const std::string path = dir.file("in.eep");
    test::writeBytes(path, c.file);
    const Image before = gx.f().image();
    const std::size_t lines = gx.lines().size();
    open(path, gx);
    const Image& image = gx.f().image();
    ASSERT_GE(gx.lines().size(), lines + 2) << c.what;
    EXPECT_EQ(gx.lines()[lines], "Load data from " + path) << c.what;
    EXPECT_EQ(gx.lines()[lines + 1], c.loads ? "File loaded" : "File checksum error!!!") << c.what;
    if (!c.loads) {
      EXPECT_EQ(gx.platform.beeps, 1) << c.what;  // decoding odd bytes may beep on its own
    }
    Bytes padded = c.file;
    padded.resize(kFileSize, 0xFF);
    EXPECT_EQ(Bytes(image.eepRead.begin(), image.eepRead.end()),
              Bytes(padded.begin(), padded.begin() + 512));
    if (c.loads) {
      EXPECT_EQ(image.eep, image.eepRead) << c.what;
      EXPECT_EQ(image.decoder, image.decoderRead) << c.what;
    } else {
      EXPECT_EQ(image.eep, before.eep) << c.what;
      EXPECT_EQ(image.decoder, before.decoder) << c.what;
    }
  }
}

TEST_F(FileCommands, OpenRunsTheRulesOfTheReadAfterDecoding) {
  const std::string path = dir.file("low.eep");
  fx.f().textField("address1").setText("8");
  save(path);
  FormFixture gx;
  open(path, gx);
  EXPECT_EQ(gx.f().textField("address1").text(), "0000008");  // the exit rule padded it
  EXPECT_EQ(gx.f().textField("frame1").text(), "0");
}

TEST_F(FileCommands, FolderOrMissingFileDoesNotLoad) {
  for (const std::string& path : {dir.path().string(), dir.file("missing.eep")}) {
    const std::size_t before = fx.lines().size();
    const int beeps = fx.platform.beeps;
    open(path, fx);
    EXPECT_EQ(newLines(before),
              std::vector<std::string>({"Load data from " + path, "Load file error"}));
    EXPECT_EQ(fx.platform.beeps, beeps + 1);
  }
}

TEST_F(FileCommands, CancelledDialogsDoNothing) {
  const std::size_t before = fx.lines().size();
  fx.f().menuItem("Open1").trigger();
  fx.f().menuItem("Save1").trigger();
  EXPECT_EQ(fx.lines().size(), before);
  EXPECT_EQ(fx.platform.beeps, 0);
  EXPECT_EQ(fx.platform.dialogFilters, std::vector<std::string>(2, std::string(kConfigFileFilter)));
}

TEST_F(FileCommands, SaveThatCannotCreateTheFileReportsAWriteError) {
  const std::string plain = dir.file("plain");
  test::writeBytes(plain, {1, 2, 3});
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // like a device: never replaced
  for (const std::string& path :
       {dir.path().string(), dir.file("no/such/folder.eep"), plain + "/inside.eep", fifo}) {
    const std::size_t before = fx.lines().size();
    const int beeps = fx.platform.beeps;
    save(path);
    EXPECT_EQ(newLines(before), std::vector<std::string>({"Save data to " + path, "write error!"}));
    EXPECT_EQ(fx.platform.beeps, beeps + 1);
  }
  EXPECT_TRUE(fs::is_directory(dir.path()));
  EXPECT_EQ(test::readBytes(plain), Bytes({1, 2, 3}));
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(dir.entries(), 2u);
}

TEST_F(FileCommands, FailedWriteLeavesTheOldFile) {
  const std::string path = dir.file("old.eep");
  test::writeBytes(path, {9, 9, 9});
  // Any write past 100 bytes fails; ignoring the signal turns it into an error return.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  save(path);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_EQ(fx.lines().back(), "write error!");
  EXPECT_EQ(fx.platform.beeps, 1);
  EXPECT_EQ(test::readBytes(path), Bytes({9, 9, 9}));
  EXPECT_EQ(dir.entries(), 1u);  // no temporary file left
}

TEST_F(FileCommands, AnyFailedStepOfTheSaveIsAWriteError) {
  const std::string path = dir.file("old.eep");
  for (test::Step step :
       {test::Step::Write, test::Step::Fsync, test::Step::Close, test::Step::Rename}) {
    test::writeBytes(path, {9, 9, 9});
    test::ScriptedCalls calls;
    calls.failing = step;
    const FileCallsOverride override(calls);
    const std::size_t before = fx.lines().size();
    const int beeps = fx.platform.beeps;
    save(path);
    EXPECT_EQ(newLines(before), std::vector<std::string>({"Save data to " + path, "write error!"}))
        << test::name(step);
    EXPECT_EQ(fx.platform.beeps, beeps + 1) << test::name(step);
    EXPECT_EQ(test::readBytes(path), Bytes({9, 9, 9})) << test::name(step);
    EXPECT_EQ(dir.entries(), 1u) << test::name(step);  // no temporary file left
  }
}

TEST_F(FileCommands, SaveReplacesAFileKeepingItsPermissionsAndLinks) {
  const std::string path = dir.file("old.eep");
  test::writeBytes(path, {9, 9, 9});
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  const std::string link = dir.file("link.eep");
  fs::create_symlink(path, link);
  save(link);
  EXPECT_EQ(fx.lines().back(), "ok!");
  EXPECT_EQ(test::readBytes(path).size(), kFileSize);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(dir.entries(), 2u);
}

TEST_F(FileCommands, NumberThatDoesNotConvertStopsTheSave) {
  const std::string old = dir.file("old.eep");
  test::writeBytes(old, {9, 9, 9});
  fx.f().textField("contrast").setText("");
  for (const std::string& path : {old, dir.file("new.eep")}) {
    const std::size_t before = fx.lines().size();
    save(path);
    EXPECT_EQ(newLines(before), std::vector<std::string>({"Save data to " + path}));
  }
  EXPECT_EQ(fx.platform.errors, std::vector<std::string>(2, "'' is not a valid integer value"));
  EXPECT_EQ(fx.platform.beeps, 0);
  EXPECT_EQ(test::readBytes(old), Bytes({9, 9, 9}));
  EXPECT_EQ(dir.entries(), 1u);
}

TEST_F(FileCommands, FileWithoutAFrequencyOpensAndSavesItsWordsAsLoaded) {
  struct Case {
    const char* what;
    std::uint8_t chipFlags;  // EEP 0xFA
    std::uint8_t control;    // EEP 0x47
    std::array<std::uint8_t, 3> divider;
  } cases[] = {
      {"no chip the program knows", 0x30, 0x02, {0x00, 0x98, 0xE4}},
      // 1000.0 MHz on the KS8809: more digits than the field holds before its point.
      {"1000 MHz", 0x20, 0x02, {0x00, 0x98, 0xE8}},
  };
  for (const auto& c : cases) {
    FormFixture on;
    Bytes file = goodFile();
    file[0xFA] = c.chipFlags;
    file[0x47] = c.control;
    std::copy(c.divider.begin(), c.divider.end(), file.begin() + kEepSize + 6);
    EepBlock eep;
    std::copy_n(file.begin(), kEepSize, eep.begin());
    storeChecksum(eep);
    std::copy(eep.begin(), eep.end(), file.begin());
    const std::string path = dir.file("nofrequency.eep");
    test::writeBytes(path, file);
    const std::size_t before = on.lines().size();
    open(path, on);
    EXPECT_EQ(on.lines().at(before + 1), "File loaded") << c.what;
    EXPECT_EQ(on.f().textField("channelfreq").text(), "---.-----") << c.what;
    EXPECT_TRUE(on.platform.errors.empty()) << c.what;
    // The stored words stay as the file had them.
    EXPECT_EQ(on.f().image().decoder[6 + 2], c.divider[2]) << c.what;
    on.platform.saveAnswers.push_back(dir.file("out.eep"));
    on.f().menuItem("Save1").trigger();
    EXPECT_TRUE(on.platform.errors.empty()) << c.what;
    EXPECT_EQ(on.lines().back(), "ok!") << c.what;
    const Bytes saved = test::readBytes(dir.file("out.eep"));
    ASSERT_EQ(saved.size(), kFileSize) << c.what;
    EXPECT_EQ(saved[0x47], c.control) << c.what;
    EXPECT_EQ(saved[0xFA] & 0x30, c.chipFlags) << c.what;
    EXPECT_TRUE(std::equal(saved.begin() + kEepSize + 6, saved.begin() + kEepSize + 12,
                           file.begin() + kEepSize + 6))
        << c.what;
  }
}

}  // namespace
}  // namespace ccp
