#include "frontend/state_file_lock.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "frontend/file_path.h"
#include "frontend/interrupted_file.h"
#include "frontend/win32/system_message.h"

namespace vx::frontend {

namespace {

// The lock covers one byte far past any content, so that it keeps other runs
// out without keeping anyone from reading the file.
constexpr DWORD kLockOffsetHigh = 0x40000000;

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

// Opens the file at path, creating it when missing, shared so that a run may
// replace it while another waits; -1 with a message in error when it cannot
// be opened or is no writable regular file.
int OpenOrCreate(const std::string& path, bool& created, std::string& error) {
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const std::filesystem::path name = FilePath(path);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  error = "cannot use '" + path + "' as the state file: ";
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) != 0) {
    error += "it is not a regular file";
    return -1;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    error += "it is read-only";
    return -1;
  }
  HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  created = file != INVALID_HANDLE_VALUE;
  if (!created && ::GetLastError() == ERROR_FILE_EXISTS)
    file = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error += SystemMessage(::GetLastError());
    return -1;
  }
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    ::CloseHandle(file);
    error += "it is not a regular file";
    return -1;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
  if (fd < 0) ::CloseHandle(file);
  if (fd >= 0) error.clear();
  return fd;
}

bool Lock(int fd, const std::string& path) {
  OVERLAPPED at{};
  at.OffsetHigh = kLockOffsetHigh;
  if (::LockFileEx(HandleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return true;
  if (::GetLastError() != ERROR_LOCK_VIOLATION) return false;
  std::fprintf(stderr, "vx94c6-updater: '%s' is in use by another run; waiting for it to end.\n", path.c_str());
  return ::LockFileEx(HandleOf(fd), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at) != FALSE;
}

// True when path still names the file open at fd: the run that held the lock
// before may have replaced the file or removed it.
bool StillAtPath(int fd, const std::string& path) {
  BY_HANDLE_FILE_INFORMATION open{}, named{};
  const HANDLE file = ::CreateFileW(FilePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool same = ::GetFileInformationByHandle(HandleOf(fd), &open) && ::GetFileInformationByHandle(file, &named) &&
                    open.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
                    open.nFileIndexHigh == named.nFileIndexHigh && open.nFileIndexLow == named.nFileIndexLow;
  ::CloseHandle(file);
  return same;
}

}  // namespace

StateFileLock::~StateFileLock() { Close(); }

bool StateFileLock::Acquire(const std::string& path, std::string& error) {
  Close();
  path_ = path;
  for (;;) {
    fd_ = OpenOrCreate(path, created_, error);
    if (fd_ < 0) return false;
    if (!Lock(fd_, path)) {
      error = "cannot lock the state file '" + path + "': " + SystemMessage(::GetLastError());
      created_ = false;  // the lock is not this run's
      Close();
      return false;
    }
    if (StillAtPath(fd_, path)) {
      // Only the holder of the lock may remove the file it created.
      if (created_) RemoveOnInterrupt(path_.c_str());
      return true;
    }
    ::_close(fd_);  // what the run before this one left there is another file now, or none
    fd_ = -1;
  }
}

void StateFileLock::Keep() {
  created_ = false;
  RemoveOnInterrupt(nullptr);
}

void StateFileLock::Close() {
  if (fd_ < 0) return;
  if (created_ && StillAtPath(fd_, path_)) {
    RemoveOnInterrupt(nullptr);
    ::DeleteFileW(FilePath(path_).c_str());
  }
  ::_close(fd_);  // releases the lock
  fd_ = -1;
}

}  // namespace vx::frontend
