#include "cli/file_replace.h"

#include <windows.h>
// The system names its own call ReplaceFile by a macro.
#undef ReplaceFile

#include <atomic>
#include <algorithm>
#include <filesystem>

namespace vx::cli {

namespace {

std::string Reason(DWORD code) {
  char text[256] = {};
  if (::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                       sizeof text, nullptr) == 0)
    return "error " + std::to_string(code);
  std::string reason = text;
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

// What is at the destination now: nothing, or a regular file that may be
// written. False with the reason otherwise.
bool CheckDestination(const std::string& path, std::string& error) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return true;
    error = Reason(code);
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
HANDLE CreateTemporary(const std::string& path, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path destination(path);
  const std::string base = destination.filename().string().substr(0, 200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = "." + base + ".part-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(counter.fetch_add(1));
    temporary = (destination.parent_path() / name).string();
    const HANDLE file =
        ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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
bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> content, std::string& error) {
  if (!CheckDestination(path, error)) return false;
  std::string temporary;
  const HANDLE file = CreateTemporary(path, temporary);
  if (file == INVALID_HANDLE_VALUE) {
    error = Reason(::GetLastError());
    return false;
  }
  bool written = WriteAll(file, content) && ::FlushFileBuffers(file);
  DWORD reason = ::GetLastError();
  ::CloseHandle(file);
  if (written && ::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (written) reason = ::GetLastError();
  ::DeleteFileA(temporary.c_str());
  error = Reason(reason);
  return false;
}

}  // namespace vx::cli
