// Files of the simulated machine, kept in memory. Tests put files in place
// and can make each of them fail in the ways a real file can. Paths compare
// case-insensitively, as on Windows. The profile reader of the simulated
// machine reads the same files.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "platform/file_api.h"
#include "platform/sim/sim_handle_table.h"

namespace vx::platform::sim {

struct SimFileFaults {
  bool openFails = false;
  bool readFails = false;
  std::optional<std::uint64_t> reportedSize;  // GetSize reports this instead (e.g. 4 GiB or more)
  std::optional<std::uint32_t> readLimit;     // a read delivers at most this many bytes
};

class SimFiles : public FileApi {
 public:
  // Creates or replaces a file; its faults are cleared.
  void Write(std::u16string_view path, std::string_view bytes);
  void Write(std::u16string_view path, std::span<const std::uint8_t> bytes);
  // Faults of an existing file; false when there is no such file.
  bool SetFaults(std::u16string_view path, const SimFileFaults& faults);
  // Files opened and not yet closed.
  std::size_t OpenCount() const;

  FileHandle OpenForRead(std::u16string_view path) override;
  bool GetSize(FileHandle file, std::uint64_t& size) override;
  bool Read(FileHandle file, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) override;
  void Close(FileHandle file) override;
  // Changes with every Write and SetFaults of the file.
  bool GetStamp(FileHandle file, FileStamp& stamp) override;

 private:
  struct File {
    std::shared_ptr<const std::string> bytes;
    SimFileFaults faults;
    std::uint64_t version = 0;
  };
  struct OpenFile {
    File file;  // as it was when opened
    std::size_t position = 0;
  };

  mutable std::mutex lock_;  // guards files_
  std::map<std::u16string, File> files_;  // by lowered path
  std::uint64_t nextVersion_ = 1;
  SimHandleTable<FileHandle, OpenFile> open_{0};
};

}  // namespace vx::platform::sim
