// In-memory stand-ins for the platform areas the channels use: they record
// every call and answer as a test tells them to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "discovery/device_record.h"
#include "platform/mutex_api.h"
#include "platform/platform.h"
#include "platform/scsi_api.h"
#include "platform/winusb_api.h"

namespace vx::test {

using Bytes = std::vector<std::uint8_t>;

// "E7 04 1B" -> {0xE7, 0x04, 0x1B}
inline Bytes Hex(const std::string& text) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 3) bytes.push_back(std::stoi(text.substr(i, 2), nullptr, 16));
  return bytes;
}

struct FakeMutexes : platform::MutexApi {
  platform::WaitResult waitResult = platform::WaitResult::Signaled;
  int waits = 0, releases = 0;
  platform::MutexHandle Open(std::u16string_view) override { return platform::MutexHandle{1}; }
  platform::MutexHandle Create(std::u16string_view) override { return platform::MutexHandle{1}; }
  platform::WaitResult Wait(platform::MutexHandle, std::uint32_t) override { return ++waits, waitResult; }
  bool Release(platform::MutexHandle) override { return ++releases, true; }
  bool Close(platform::MutexHandle) override { return true; }
};

struct SentScsi {
  Bytes cdb;  // cdbLength bytes
  platform::ScsiDirection direction;
  std::uint32_t transferLength;
  std::uint32_t timeoutSeconds;
};

struct FakeScsi : platform::ScsiApi {
  bool openFails = false, passThroughFails = false;
  std::uint8_t status = 0;
  Bytes reply;  // written into every in buffer, whatever the status, as a device may do before it fails
  std::vector<SentScsi> sent;
  std::u16string path;
  Bytes outData;  // what the last out request carried
  int opens = 0, closes = 0;

  platform::DeviceHandle Open(std::u16string_view p) override {
    ++opens;
    path = p;
    return openFails ? platform::DeviceHandle::None : platform::DeviceHandle{7};
  }
  bool PassThroughDirect(platform::DeviceHandle, const platform::ScsiRequest& request, std::uint8_t& s) override {
    sent.push_back({{request.cdb, request.cdb + request.cdbLength}, request.direction, request.transferLength,
                    request.timeoutSeconds});
    if (request.data != nullptr && request.direction == platform::ScsiDirection::Out) {
      outData.assign(request.data, request.data + request.transferLength);
    }
    for (std::uint32_t i = 0; request.direction == platform::ScsiDirection::In && i < request.transferLength &&
                              i < reply.size();
         ++i) {
      request.data[i] = reply[i];
    }
    s = status;
    return !passThroughFails;
  }
  void Close(platform::DeviceHandle) override { ++closes; }
};

struct FakeWinUsb : platform::WinUsbApi {
  bool openFails = false, initializeFails = false, transferFails = false;
  Bytes reply;  // copied into the buffer; its size is the transferred count
  std::vector<platform::UsbSetupPacket> setups;
  int opens = 0, closes = 0, initializes = 0, frees = 0;

  platform::DeviceHandle Open(std::u16string_view) override {
    return ++opens, openFails ? platform::DeviceHandle::None : platform::DeviceHandle{3};
  }
  platform::UsbInterfaceHandle Initialize(platform::DeviceHandle) override {
    return ++initializes, initializeFails ? platform::UsbInterfaceHandle::None : platform::UsbInterfaceHandle{4};
  }
  bool ControlTransfer(platform::UsbInterfaceHandle, const platform::UsbSetupPacket& setup, std::uint8_t* buffer,
                       std::uint32_t length, std::uint32_t& transferred) override {
    setups.push_back(setup);
    for (transferred = 0; transferred < length && transferred < reply.size(); ++transferred) {
      buffer[transferred] = reply[transferred];
    }
    return !transferFails;
  }
  void Free(platform::UsbInterfaceHandle) override { ++frees; }
  void Close(platform::DeviceHandle) override { ++closes; }
  std::uint32_t LastError() override { return 31; }
};

// The fakes installed as the current platform for one test.
struct FakeBridgePlatform {
  FakeMutexes mutexes;
  FakeScsi scsi;
  FakeWinUsb winusb;
  platform::ScopedPlatform scoped{{nullptr, nullptr, &mutexes, nullptr, &scsi, &winusb}};

  // A bridge with both interfaces and a mutex.
  static DeviceRecord Bridge() {
    DeviceRecord record{};
    record.mutex = platform::MutexHandle{1};
    SetText(record.diskPath, u"\\\\?\\usbstor#disk&ven_vx");
    SetText(record.winusbPath, u"\\\\?\\usb#vid_1b7e&pid_94c6");
    return record;
  }
};

}  // namespace vx::test
