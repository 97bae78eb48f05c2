// In-memory stand-ins for the mutexes and the SCSI pass-through: they record
// every call and answer as a test tells them to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bridge/device_record.h"
#include "emulator/bridge_trace.h"
#include "platform/mutex_api.h"
#include "platform/platform.h"
#include "platform/scsi_api.h"
#include "tests/support/diagnostic_capture.h"
#include "tests/support/test_bytes.h"
#include "transport/request_trace.h"

namespace vx::test {

using Lines = std::vector<std::string>;

struct FakeMutexes : platform::MutexApi {
  int waits = 0, releases = 0;
  platform::MutexHandle Open(std::u16string_view) override { return platform::MutexHandle{1}; }
  platform::MutexHandle Create(std::u16string_view) override { return platform::MutexHandle{1}; }
  platform::WaitResult Wait(platform::MutexHandle, std::uint32_t) override { return ++waits, platform::WaitResult::Signaled; }
  bool Release(platform::MutexHandle) override { return ++releases, true; }
  bool Close(platform::MutexHandle) override { return true; }
};

struct SentScsi {
  std::string cdb;  // cdbLength bytes in hex, "D0 00 00 00 1B 7E"
  platform::ScsiDirection direction;
  std::uint32_t transferLength, timeoutSeconds;
};

struct FakeScsi : platform::ScsiApi {
  bool openFails = false, passThroughFails = false;
  std::uint8_t status = 0;
  std::uint32_t shortBy = 0;  // bytes the device leaves out of every data phase
  Bytes reply;  // written into every in buffer, whatever the status, as a device may do before it fails
  std::vector<SentScsi> sent;
  int opens = 0, closes = 0;

  platform::DeviceHandle Open(std::u16string_view) override {
    return ++opens, openFails ? platform::DeviceHandle::None : platform::DeviceHandle{7};
  }
  bool PassThroughDirect(platform::DeviceHandle, const platform::ScsiRequest& r, platform::ScsiCompletion& c) override {
    sent.push_back({emu::HexBytes({r.cdb, r.cdbLength}), r.direction, r.transferLength, r.timeoutSeconds});
    c = {status, r.transferLength - std::min(shortBy, r.transferLength)};
    if (r.direction == platform::ScsiDirection::In) std::copy_n(reply.begin(), c.transferred, r.data);
    return !passThroughFails;
  }
  void Close(platform::DeviceHandle) override { ++closes; }
};

// The diagnostic channel while it lives; lines are the request trace's.
struct TraceCapture : DiagnosticCapture {
  Lines& lines = requests;
};

// The fakes installed as the current platform.
struct FakeBridgePlatform {
  FakeMutexes mutexes;
  FakeScsi scsi;
  platform::ScopedPlatform scoped{{nullptr, nullptr, &mutexes, nullptr, &scsi}};
  TraceCapture trace;

  // A bridge with a disk interface and a mutex.
  static DeviceRecord Bridge() {
    DeviceRecord record{};
    record.mutex = platform::MutexHandle{1};
    SetText(record.diskPath, u"\\\\?\\usbstor#disk&ven_vx");
    return record;
  }
};

}  // namespace vx::test
