// The protection rules of a save, seen by a user who is not root: root may write any file, so a
// test run as root saves from a child process that gave up its privileges first.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "files/temp_folder.h"

namespace ccp {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr uid_t kUser = 65534;  // nobody
constexpr gid_t kGroup = 65534;

enum class Outcome { Saved, Refused, NoUnprivilegedUser, Crashed };
constexpr int kSavedStatus = 0;
constexpr int kRefusedStatus = 1;
constexpr int kNoUserStatus = 77;

// A group the saving user is a member of besides its own.
constexpr gid_t kSharedGroup = 65533;

bool dropPrivileges() {
  if (::geteuid() != 0) return true;  // already a user who is not root
  const gid_t groups[] = {kSharedGroup};
  if (::setgroups(1, groups) != 0 || ::setresgid(kGroup, kGroup, kGroup) != 0 ||
      ::setresuid(kUser, kUser, kUser) != 0) {
    return false;
  }
  return ::setresuid(0, 0, 0) != 0;  // there is no way back
}

// replaceFile run by a user who is not root, in a child process.
Outcome saveAsUser(const std::string& path, const Bytes& bytes) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (!dropPrivileges()) ::_exit(kNoUserStatus);
    ::_exit(replaceFile(path, bytes) ? kSavedStatus : kRefusedStatus);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return Outcome::Crashed;
  }
  switch (WEXITSTATUS(status)) {
    case kSavedStatus:
      return Outcome::Saved;
    case kRefusedStatus:
      return Outcome::Refused;
    case kNoUserStatus:
      return Outcome::NoUnprivilegedUser;
    default:
      return Outcome::Crashed;
  }
}

// Makes a file or folder the saving user's own (it is already, for a test run as that user).
void giveToUser(const fs::path& path) {
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(path.c_str(), kUser, kGroup), 0) << path;
  }
}

ino_t inode(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_ino;
}

#define SAVE_AS_USER(outcome, path, bytes)                                                 \
  const Outcome outcome = saveAsUser(path, bytes);                                         \
  if (outcome == Outcome::NoUnprivilegedUser) {                                            \
    GTEST_SKIP() << "cannot drop to user " << kUser << ": the protection rules of saving " \
                 << "are NOT tested here";                                                 \
  }                                                                                        \
  ASSERT_NE(outcome, Outcome::Crashed)

class SavePermissions : public ::testing::Test {
 protected:
  // A folder under the test's own, reachable by the saving user.
  fs::path folder(fs::perms perms, bool usersOwn) {
    const fs::path path = dir.path() / ("f" + std::to_string(folders_++));
    fs::create_directory(path);
    if (usersOwn) giveToUser(path);
    fs::permissions(path, perms);
    return path;
  }
  // The saving user's file in `folder`, holding the old bytes.
  fs::path file(const fs::path& in, fs::perms perms) {
    const fs::path path = in / "old.eep";
    test::writeBytes(path.string(), kOld);
    giveToUser(path);
    fs::permissions(path, perms);
    return path;
  }
  void SetUp() override {
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
  }
  void TearDown() override {
    // Folders a test closed are opened again so that the temporary folder can go.
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }
  }

  static constexpr auto kOpen = fs::perms::owner_all | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec;
  static constexpr auto kClosed = kOpen & ~fs::perms::owner_write;
  static constexpr auto kReadOnly =
      fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  static constexpr auto kWritable = kReadOnly | fs::perms::owner_write;
  const Bytes kOld = {9, 9, 9};
  const Bytes kNew = Bytes(560, 0xA5);
  test::TempFolder dir;

 private:
  int folders_ = 0;
};

TEST_F(SavePermissions, ReadOnlyFileInAWritableFolderIsRefusedAndUntouched) {
  const fs::path in = folder(kOpen, true);
  const fs::path path = file(in, kReadOnly);
  SAVE_AS_USER(outcome, path.string(), kNew);
  EXPECT_EQ(outcome, Outcome::Refused);
  EXPECT_EQ(test::readBytes(path.string()), kOld);
  EXPECT_EQ(fs::status(path).permissions(), kReadOnly);
  EXPECT_EQ(std::distance(fs::directory_iterator(in), fs::directory_iterator()), 1);
}

TEST_F(SavePermissions, WritableFileInAClosedFolderIsWrittenInPlace) {
  const fs::path in = folder(kOpen, false);
  const fs::path path = file(in, kWritable);
  fs::permissions(in, kClosed);
  const ino_t before = inode(path);
  SAVE_AS_USER(outcome, path.string(), kNew);
  EXPECT_EQ(outcome, Outcome::Saved);
  EXPECT_EQ(test::readBytes(path.string()), kNew);
  EXPECT_EQ(inode(path), before);
  EXPECT_EQ(fs::status(path).permissions(), kWritable);
}

TEST_F(SavePermissions, ClosedFolderTakesNoNewFileAndKeepsAReadOnlyFile) {
  const fs::path in = folder(kOpen, false);
  const fs::path path = file(in, kReadOnly);
  fs::permissions(in, kClosed);
  SAVE_AS_USER(refused, path.string(), kNew);
  EXPECT_EQ(refused, Outcome::Refused);
  EXPECT_EQ(test::readBytes(path.string()), kOld);
  const Outcome created = saveAsUser((in / "new.eep").string(), kNew);
  EXPECT_EQ(created, Outcome::Refused);
  EXPECT_FALSE(fs::exists(in / "new.eep"));
}

TEST_F(SavePermissions, WritableFileInAWritableFolderIsReplaced) {
  const fs::path in = folder(kOpen, true);
  const fs::path path = file(in, kWritable);
  SAVE_AS_USER(outcome, path.string(), kNew);
  EXPECT_EQ(outcome, Outcome::Saved);
  EXPECT_EQ(test::readBytes(path.string()), kNew);
  EXPECT_EQ(fs::status(path).permissions(), kWritable);
  EXPECT_EQ(std::distance(fs::directory_iterator(in), fs::directory_iterator()), 1);
}

TEST_F(SavePermissions, FileSharedThroughAGroupKeepsTheGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make a file of another user's";
  const fs::path in = folder(kOpen, true);
  const fs::path path = in / "shared.eep";
  test::writeBytes(path.string(), kOld);
  ASSERT_EQ(::chown(path.c_str(), 0, kSharedGroup), 0);
  const auto groupWritable = kWritable | fs::perms::group_write;
  fs::permissions(path, groupWritable);
  SAVE_AS_USER(outcome, path.string(), kNew);
  EXPECT_EQ(outcome, Outcome::Saved);
  EXPECT_EQ(test::readBytes(path.string()), kNew);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_gid, kSharedGroup);  // the others of the group can still write it
  EXPECT_EQ(fs::status(path).permissions(), groupWritable);
}

}  // namespace
}  // namespace ccp
