#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files/file_calls.h"
#include "files/file_io.h"
#include "files/scripted_file_calls.h"
#include "files/temp_folder.h"

namespace ccp {
namespace {

namespace fs = std::filesystem;
using test::ScriptedCalls;
using test::Step;
using Bytes = std::vector<std::uint8_t>;

const Bytes kOld = {9, 9, 9};
const Bytes kNew = [] {
  Bytes b(560);
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 13 + 5);
  return b;
}();

ino_t inode(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_ino;
}

mode_t modeOf(const std::string& path) {
  return static_cast<mode_t>(fs::status(path).permissions());
}

TEST(SafeSave, AFailedStepKeepsTheOldFileAndLeavesNoTemporaryFile) {
  for (Step step : {Step::Create, Step::Write, Step::Fsync, Step::Fchmod, Step::Link, Step::Close,
                    Step::Rename}) {
    test::TempFolder dir;
    const std::string path = dir.file("old.eep");
    test::writeBytes(path, kOld);
    ScriptedCalls calls;
    calls.failing = step;
    EXPECT_FALSE(replaceFile(path, kNew, calls)) << name(step);
    EXPECT_EQ(test::readBytes(path), kOld) << name(step);
    EXPECT_EQ(dir.entries(), 1u) << name(step);
    EXPECT_EQ(calls.stillOpen(), 0u) << name(step);
  }
}

TEST(SafeSave, FlushesTheFileBeforeTheRenameAndTheFolderAfterIt) {
  test::TempFolder dir;
  const std::string path = dir.file("old.eep");
  test::writeBytes(path, kOld);
  ScriptedCalls calls;
  calls.unnamedFiles = false;  // the same on any file system
  ASSERT_TRUE(replaceFile(path, kNew, calls));
  EXPECT_EQ(calls.trace,
            std::vector<std::string>({"create", "fchown", "fchmod", "write", "fsync file", "close",
                                      "rename", "open folder", "fsync folder", "close"}));
  EXPECT_EQ(test::readBytes(path), kNew);
  EXPECT_EQ(calls.stillOpen(), 0u);
}

TEST(SafeSave, WritesThatTakePartOfTheBytesAreContinued) {
  test::TempFolder dir;
  const std::string path = dir.file("new.eep");
  ScriptedCalls calls;
  calls.writeLimit = 7;
  ASSERT_TRUE(replaceFile(path, kNew, calls));
  EXPECT_EQ(test::readBytes(path), kNew);
}

TEST(SafeSave, OwnerAndFolderFlushAreBestEffort) {
  for (Step step : {Step::Fchown, Step::OpenFolder}) {
    test::TempFolder dir;
    const std::string path = dir.file("old.eep");
    test::writeBytes(path, kOld);
    ScriptedCalls calls;
    calls.failing = step;
    EXPECT_TRUE(replaceFile(path, kNew, calls)) << name(step);
    EXPECT_EQ(test::readBytes(path), kNew) << name(step);
  }
}

TEST(SafeSave, OnlyAFolderThatRefusesAccessLeadsToAWriteInPlace) {
  const struct {
    int error;
    bool saved;
  } cases[] = {{EACCES, true}, {ENOSPC, false}, {EROFS, false}, {EDQUOT, false}};
  for (const auto& c : cases) {
    test::TempFolder dir;
    const std::string path = dir.file("old.eep");
    test::writeBytes(path, kOld);
    const ino_t before = inode(path);
    ScriptedCalls calls;
    calls.failing = Step::Create;
    calls.error = c.error;
    EXPECT_EQ(replaceFile(path, kNew, calls), c.saved) << c.error;
    EXPECT_EQ(test::readBytes(path), c.saved ? kNew : kOld) << c.error;
    EXPECT_EQ(inode(path), before) << c.error;
    EXPECT_EQ(dir.entries(), 1u) << c.error;
  }
  test::TempFolder dir;  // a new file has nothing to write in place
  ScriptedCalls calls;
  calls.failing = Step::Create;
  calls.error = EACCES;
  EXPECT_FALSE(replaceFile(dir.file("new.eep"), kNew, calls));
  EXPECT_EQ(dir.entries(), 0u);
}

TEST(SafeSave, HardLinkedFileIsWrittenInPlace) {
  test::TempFolder dir;
  const std::string path = dir.file("old.eep");
  const std::string other = dir.file("other.eep");
  test::writeBytes(path, kOld);
  fs::create_hard_link(path, other);
  ScriptedCalls calls;
  ASSERT_TRUE(replaceFile(path, kNew, calls));
  EXPECT_TRUE(calls.createModes.empty());  // no temporary file was made
  EXPECT_EQ(test::readBytes(path), kNew);
  EXPECT_EQ(test::readBytes(other), kNew);
  EXPECT_EQ(fs::hard_link_count(path), 2u);
  EXPECT_EQ(dir.entries(), 2u);
}

TEST(SafeSave, FailedStepWhileWritingInPlaceIsAFailure) {
  for (Step step : {Step::OpenInPlace, Step::Write, Step::Fsync, Step::Close}) {
    test::TempFolder dir;
    const std::string path = dir.file("old.eep");
    test::writeBytes(path, kOld);
    fs::create_hard_link(path, dir.file("other.eep"));
    ScriptedCalls calls;
    calls.failing = step;
    EXPECT_FALSE(replaceFile(path, kNew, calls)) << name(step);
    EXPECT_EQ(dir.entries(), 2u) << name(step);
    EXPECT_EQ(calls.stillOpen(), 0u) << name(step);
  }
}

// A save killed at any step, whether it renames an unnamed or a named new file or writes in
// place (a file with a second link), leaves the old file or the new bytes; the next save
// leaves no temporary file behind.
TEST(SafeSave, AKillAtAnyStepLeavesTheOldFileOrTheNewOne) {
  const Bytes old(600, 7);  // longer than the new bytes
  const struct {
    const char* how;
    bool unnamed;
    bool inPlace;
  } saves[] = {{"unnamed", true, false}, {"named", false, false}, {"in place", true, true}};
  for (const auto& save : saves) {
    for (int step = 1;; ++step) {
      test::TempFolder dir;
      const std::string path = dir.file("old.eep");
      test::writeBytes(path, old);
      if (save.inPlace) fs::create_hard_link(path, dir.file("other.eep"));
      const pid_t child = ::fork();
      if (child == 0) {
        ScriptedCalls calls;
        calls.unnamedFiles = save.unnamed;
        calls.before = [&, n = 0](Step) mutable {
          if (++n == step) ::raise(SIGKILL);
        };
        ::_exit(replaceFile(path, kNew, calls) ? 0 : 1);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      const Bytes now = test::readBytes(path);
      const bool isNew =
          now.size() >= kNew.size() && std::equal(kNew.begin(), kNew.end(), now.begin());
      EXPECT_TRUE(now == old || isNew) << save.how << ", killed at step " << step;
      ASSERT_TRUE(replaceFile(path, kNew));
      EXPECT_EQ(dir.entries(), save.inPlace ? 2u : 1u) << save.how << ", killed at step " << step;
      if (WIFEXITED(status)) break;  // the save ended before that step
    }
  }
}

// Another save of the same file (the window and ccp keeping one pager) comes between this
// save's temporary file and its rename: it leaves that file alone, and the later rename wins.
TEST(SafeSave, TwoSavesOfOneFileAtOnceBothSucceed) {
  for (const bool unnamed : {true, false}) {
    test::TempFolder dir;
    const std::string path = dir.file("pager.eep");
    ScriptedCalls calls;
    calls.unnamedFiles = unnamed;
    bool other = false;
    calls.before = [&](Step step) {
      if (step == Step::Rename && !std::exchange(other, true)) {
        EXPECT_TRUE(replaceFile(path, kOld)) << unnamed;
      }
    };
    EXPECT_TRUE(replaceFile(path, kNew, calls)) << unnamed;
    EXPECT_EQ(test::readBytes(path), kNew) << unnamed;
    EXPECT_EQ(dir.entries(), 1u) << unnamed;
  }
}

TEST(SafeSave, ANameAsLongAsTheSystemAllowsCanBeSaved) {
  test::TempFolder dir;
  EXPECT_TRUE(replaceFile(dir.file(std::string(251, 'n') + ".eep"), kNew));  // 255 bytes
}

TEST(SafeSave, NewFileTakesItsModeFromTheUmask) {
  for (mode_t mask : {022, 027, 077}) {
    test::TempFolder dir;
    const std::string path = dir.file("new.eep");
    const mode_t saved = ::umask(mask);
    const bool ok = replaceFile(path, kNew);
    ::umask(saved);
    ASSERT_TRUE(ok) << mask;
    EXPECT_EQ(modeOf(path), 0666 & ~mask) << mask;
  }
}

TEST(SafeSave, ExistingFileKeepsItsModeAndTheTemporaryFileIsNoMoreReadable) {
  for (mode_t mode : {0600, 0640, 0604, 0644, 0660, 0666}) {
    test::TempFolder dir;
    const std::string path = dir.file("old.eep");
    test::writeBytes(path, kOld);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ScriptedCalls calls;
    const mode_t saved = ::umask(077);  // the mode survives a umask that would take bits off
    const bool ok = replaceFile(path, kNew, calls);
    ::umask(saved);
    ASSERT_TRUE(ok) << mode;
    EXPECT_EQ(calls.createModes, std::vector<mode_t>({mode})) << mode;
    EXPECT_EQ(modeOf(path), mode) << mode;
    EXPECT_EQ(test::readBytes(path), kNew) << mode;
  }
}

TEST(SafeSave, ExistingFileKeepsItsOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  test::TempFolder dir;
  const std::string path = dir.file("old.eep");
  test::writeBytes(path, kOld);
  constexpr uid_t kOwner = 65534;
  constexpr gid_t kGroup = 65534;
  ASSERT_EQ(::chown(path.c_str(), kOwner, kGroup), 0);
  ASSERT_TRUE(replaceFile(path, kNew));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, kOwner);
  EXPECT_EQ(info.st_gid, kGroup);
  EXPECT_EQ(test::readBytes(path), kNew);
}

}  // namespace
}  // namespace ccp
