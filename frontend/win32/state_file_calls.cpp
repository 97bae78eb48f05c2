#include "frontend/state_file_calls.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <iterator>

#include "frontend/file_path.h"
#include "frontend/win32/system_message.h"

namespace vx::frontend::state_file {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

// Opens the file at path, creating it when missing; -1 with a message in
// error when it cannot be opened or is no writable regular file.
int OpenOrCreate(const std::string& path, bool& created, std::string& error) {
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

// The lock's name: a named mutex for the file's full path, upper-cased as the
// file system compares names, in a fixed length (names are short).
std::wstring LockName(const std::filesystem::path& file) {
  std::wstring full(::GetFullPathNameW(file.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(::GetFullPathNameW(file.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  if (full.empty()) full = file.native();
  ::CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  std::uint64_t hash = 0xCBF29CE484222325;  // FNV-1a
  for (const wchar_t c : full) hash = (hash ^ static_cast<std::uint16_t>(c)) * 0x100000001B3;
  wchar_t name[64];
  std::swprintf(name, std::size(name), L"vx94c6-updater state file %016llX", static_cast<unsigned long long>(hash));
  return name;
}

// Waits for the lock's mutex, which the calling thread then owns; null with
// the system's reason when it cannot be had.
HANDLE LockPath(const std::string& path, std::string& reason) {
  const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, LockName(FilePath(path)).c_str());
  if (mutex == nullptr) {
    reason = SystemMessage(::GetLastError());
    return nullptr;
  }
  DWORD waited = ::WaitForSingleObject(mutex, 0);
  if (waited == WAIT_TIMEOUT) {
    std::fprintf(stderr, "vx94c6-updater: '%s' is in use by another run; waiting for it to end.\n", path.c_str());
    waited = ::WaitForSingleObject(mutex, INFINITE);
  }
  // An abandoned mutex was held by a run that died: the lock is this run's.
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return mutex;
  reason = SystemMessage(::GetLastError());
  ::CloseHandle(mutex);
  return nullptr;
}

}  // namespace

// The lock is taken on the path before the file is opened: a run waiting
// for it must not hold the file open, or the holder could not replace it
// with the saved one.
int OpenLocked(const std::string& path, bool& created, std::intptr_t& hold, std::string& error) {
  std::string reason;
  const HANDLE mutex = LockPath(path, reason);
  if (mutex == nullptr) {
    error = "cannot lock the state file '" + path + "': " + reason;
    return -1;
  }
  const int fd = OpenOrCreate(path, created, error);
  if (fd < 0) {
    Unlock(reinterpret_cast<std::intptr_t>(mutex));
    return -1;
  }
  hold = reinterpret_cast<std::intptr_t>(mutex);
  return fd;
}

// The mutex is released by the thread that took it.
void Unlock(std::intptr_t hold) {
  const HANDLE mutex = reinterpret_cast<HANDLE>(hold);
  ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
}

bool StillAtPath(int fd, const std::string& path) {
  BY_HANDLE_FILE_INFORMATION open{}, named{};
  const HANDLE file =
      ::CreateFileW(FilePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool same = ::GetFileInformationByHandle(HandleOf(fd), &open) && ::GetFileInformationByHandle(file, &named) &&
                    open.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
                    open.nFileIndexHigh == named.nFileIndexHigh && open.nFileIndexLow == named.nFileIndexLow;
  ::CloseHandle(file);
  return same;
}

void Close(int fd) { ::_close(fd); }

void Remove(const std::string& path) { ::DeleteFileW(FilePath(path).c_str()); }

}  // namespace vx::frontend::state_file
