// vx-usbredir-bridge: one emulated bridge as a USB device of a virtual
// machine, for the end-to-end tests through a real kernel.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"
#include "emulator/usb_bridge.h"
#include "tests/e2e/bridge_device_options.h"
#include "tests/e2e/usbredir_link.h"

namespace vx::e2e {

namespace {

bool LoadImage(const std::string& path, std::span<std::uint8_t> flash, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<std::uint8_t> image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (!file.good() && !file.eof()) {
    error = "cannot read '" + path + "'";
    return false;
  }
  if (!file.is_open() || image.size() > flash.size()) {
    error = file.is_open() ? "'" + path + "' is larger than the flash" : "cannot open '" + path + "'";
    return false;
  }
  std::ranges::copy(image, flash.begin());
  return true;
}

bool WriteFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file.flush()) return false;
  }
  std::error_code failed;
  std::filesystem::rename(temporary, path, failed);
  return !failed;
}

std::string TraceText(const emu::BridgeTrace& trace) {
  std::string text;
  std::size_t number = 0;
  for (const emu::ScsiTraceEntry& entry : trace.Scsi()) {
    text += std::to_string(++number) + ": " + emu::HexBytes(entry.cdb) + (entry.dataIn ? " in " : " out ") +
            std::to_string(entry.transferLength) + " -> " +
            (entry.completed ? "status " + std::to_string(entry.status) : std::string("failed")) + "\n";
  }
  return text;
}

// Listens on the Unix socket and takes the one connection; -1 on failure.
int AcceptPeer(const std::string& path, std::string& error) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) {
    error = "the socket path is too long";
    return -1;
  }
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ::unlink(path.c_str());
  if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 1) != 0) {
    error = "cannot listen on '" + path + "': " + std::strerror(errno);
    if (listener >= 0) ::close(listener);
    return -1;
  }
  const int peer = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (peer < 0) error = std::string("accept: ") + std::strerror(errno);
  ::close(listener);
  ::unlink(path.c_str());
  return peer;
}

int Run(const DeviceOptions& options) {
  const emu::FlashPart* part = nullptr;
  try {
    part = &emu::PartNamed(options.partName);
  } catch (const std::out_of_range&) {
    std::fprintf(stderr, "vx-usbredir-bridge: no emulated flash part is named '%s'\n", options.partName.c_str());
    return 2;
  }
  emu::VirtualClock clock;
  emu::Bridge bridge(clock, *part);
  std::string error;
  if (!options.imagePath.empty() && !LoadImage(options.imagePath, bridge.Flash()->Array(), error)) {
    std::fprintf(stderr, "vx-usbredir-bridge: %s\n", error.c_str());
    return 1;
  }
  if (options.protect) bridge.Flash()->SetStatus(part->protectBits);

  emu::UsbIdentity identity;
  identity.serial = options.serial;
  identity.productId = options.productId;
  emu::UsbBridge device(bridge, identity);
  for (const DeviceFault& fault : options.faults) device.Faults().Add(fault.when, fault.action);

  const int peer = AcceptPeer(options.socketPath, error);
  if (peer < 0) {
    std::fprintf(stderr, "vx-usbredir-bridge: %s\n", error.c_str());
    return 1;
  }
  UsbredirLink link(peer, device, clock);
  const bool served = link.Run();
  ::close(peer);

  int code = served ? 0 : 1;
  const auto flash = bridge.Flash()->Array();
  if (!options.savePath.empty() && !WriteFile(options.savePath, std::string(flash.begin(), flash.end()))) {
    std::fprintf(stderr, "vx-usbredir-bridge: cannot write '%s'\n", options.savePath.c_str());
    code = 1;
  }
  if (!options.tracePath.empty() && !WriteFile(options.tracePath, TraceText(bridge.Trace()))) {
    std::fprintf(stderr, "vx-usbredir-bridge: cannot write '%s'\n", options.tracePath.c_str());
    code = 1;
  }
  std::fprintf(stderr, "vx-usbredir-bridge: status register %02X %02X, %llu vendor commands%s\n",
               bridge.Flash()->Status(0), bridge.Flash()->Status(1),
               static_cast<unsigned long long>(bridge.CommandsReceived()), served ? "" : ", connection broken");
  return code;
}

}  // namespace

}  // namespace vx::e2e

int main(int argc, char** argv) {
  vx::e2e::DeviceOptions options;
  std::string error;
  if (!vx::e2e::ParseDeviceOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "vx-usbredir-bridge: %s\nTry 'vx-usbredir-bridge --help'.\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(vx::e2e::DeviceHelpText(), stdout);
    return 0;
  }
  return vx::e2e::Run(options);
}
