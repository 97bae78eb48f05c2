// Which emulated bridge answers on which device path: the disk interface
// path (vendor SCSI commands) and the WinUSB interface path (control
// requests). Paths compare without regard to ASCII case, as device paths do
// on Windows. The registry does not own the bridges; the simulated machine
// or the test that attaches a bridge keeps it alive while it is attached.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vx::emu {

class Bridge;

class BridgeRegistry {
 public:
  // Attaching a path again replaces the bridge behind it; an empty path
  // attaches nothing.
  void AttachDisk(std::u16string_view path, Bridge& bridge);
  void AttachWinUsb(std::u16string_view path, Bridge& bridge);
  // Removes every path of this bridge.
  void Detach(const Bridge& bridge);

  Bridge* FindDisk(std::u16string_view path) const;
  Bridge* FindWinUsb(std::u16string_view path) const;

 private:
  struct Entry {
    std::u16string path;
    Bridge* bridge;
  };
  static void Put(std::vector<Entry>& entries, std::u16string_view path, Bridge& bridge);
  static Bridge* Find(const std::vector<Entry>& entries, std::u16string_view path);

  mutable std::mutex mutex_;
  std::vector<Entry> disks_;
  std::vector<Entry> winusb_;
};

}  // namespace vx::emu
