#include "frontend/file_replace.h"

#include <windows.h>
// The system names its own call ReplaceFile by a macro.
#undef ReplaceFile

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "frontend/file_path.h"
#include "frontend/win32/system_message.h"

namespace vx::frontend {

namespace {

// What is at the destination now: nothing, or a regular file that may be
// written. False with the reason otherwise.
bool CheckDestination(const std::filesystem::path& path, std::string& error) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return true;
    error = SystemMessage(code);
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    error = "it is a symbolic link; name the file it points to";
  } else if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
    error = "it is not a regular file";
  } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    error = "it is read-only";
  } else {
    return true;
  }
  return false;
}

// A new, empty file beside path with a name of its own.
HANDLE CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary) {
  static std::atomic<unsigned> counter{0};
  const std::wstring base = path.filename().wstring().substr(0, 200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring name = L"." + base + L".part-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter.fetch_add(1));
    temporary = path.parent_path() / name;
    const HANDLE file =
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  ::SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::span<const std::uint8_t> content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

// The new content reaches the disk before it takes the name, and the rename
// is written through.
bool ReplaceFile(const std::string& name, std::span<const std::uint8_t> content, std::string& error) {
  const std::filesystem::path path = FilePath(name);
  if (!CheckDestination(path, error)) return false;
  std::filesystem::path temporary;
  const HANDLE file = CreateTemporary(path, temporary);
  if (file == INVALID_HANDLE_VALUE) {
    error = SystemMessage(::GetLastError());
    return false;
  }
  bool written = WriteAll(file, content) && ::FlushFileBuffers(file);
  DWORD reason = ::GetLastError();
  ::CloseHandle(file);
  if (written && ::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (written) reason = ::GetLastError();
  ::DeleteFileW(temporary.c_str());
  error = SystemMessage(reason);
  return false;
}

}  // namespace vx::frontend
