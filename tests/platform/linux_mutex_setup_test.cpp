// How the shared-memory object behind a named mutex comes to be: never seen
// half made, replaced when its creator died making it or when it is not this
// user's alone, and never reached through a symbolic link.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "tests/platform/linux_mutexes_fixture.h"

namespace vx::platform::linux_backend {
namespace {

using testing::MutexHolderProcess;

// The object's layout: a ready mark, then the mutex.
struct Block {
  std::uint32_t ready;
  pthread_mutex_t mutex;
};

class LinuxMutexSetupTest : public LinuxMutexesTest {
 protected:
  std::string Object() const { return SharedMutexObjectName(name_, ::geteuid())->substr(1); }
  std::string ObjectPath() const { return "/dev/shm/" + Object(); }

  // Plants a file of `size` zero bytes with `mode` under the object's name,
  // as a creator that died before the mutex was ready leaves it.
  void Plant(std::size_t size, mode_t mode) const {
    const int fd = ::open(ObjectPath().c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    ASSERT_EQ(::fchmod(fd, mode), 0);
    ::close(fd);
  }

  // The mutex works: created here, another process holding it makes a wait
  // time out, and its release lets the wait through.
  void ExpectWorkingMutex() {
    mutex_ = mutexes_.Create(name_);
    ASSERT_NE(mutex_, MutexHandle::None);
    MutexHolderProcess holder(name_);
    ASSERT_TRUE(holder.Held());
    EXPECT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::TimedOut);
    ASSERT_TRUE(holder.ReleaseAndExit());
    EXPECT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::Signaled);
    EXPECT_TRUE(mutexes_.Release(mutex_));
    struct stat info {};
    ASSERT_EQ(::lstat(ObjectPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }

  // Names in /dev/shm that begin with the object's name: only the object.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> found;
    DIR* folder = ::opendir("/dev/shm");
    while (dirent* entry = folder ? ::readdir(folder) : nullptr) {
      const std::string name = entry->d_name;
      if (name.starts_with(Object()) && name != Object()) found.push_back(name);
    }
    if (folder) ::closedir(folder);
    return found;
  }
};

TEST_F(LinuxMutexSetupTest, ObjectLeftUnreadyByADeadCreatorIsReplaced) {
  Plant(sizeof(Block), 0600);  // sized, never marked ready
  EXPECT_EQ(mutexes_.Open(name_), MutexHandle::None);
  ExpectWorkingMutex();
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(LinuxMutexSetupTest, ObjectOfTheWrongSizeIsReplaced) {
  Plant(0, 0600);  // created, never sized
  ExpectWorkingMutex();
}

TEST_F(LinuxMutexSetupTest, ObjectOthersMayOpenIsNotUsedButReplaced) {
  Plant(sizeof(Block), 0666);
  ExpectWorkingMutex();
}

TEST_F(LinuxMutexSetupTest, SymbolicLinkAtTheNameIsNeverFollowed) {
  const std::string target = ObjectPath() + ".target";
  { std::ofstream(target) << "keep"; }
  ASSERT_EQ(::symlink(target.c_str(), ObjectPath().c_str()), 0);
  ExpectWorkingMutex();
  std::ifstream kept(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
  ::unlink(target.c_str());
}

TEST_F(LinuxMutexSetupTest, CreationLeavesOnlyTheObject) {
  for (int i = 0; i < 3; ++i) {
    const MutexHandle mutex = mutexes_.Create(name_);
    ASSERT_NE(mutex, MutexHandle::None);
    EXPECT_TRUE(mutexes_.Close(mutex));
  }
  EXPECT_TRUE(Leftovers().empty());
  struct stat info {};
  ASSERT_EQ(::stat(ObjectPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace vx::platform::linux_backend
