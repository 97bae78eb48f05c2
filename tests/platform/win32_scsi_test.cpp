// SCSI pass-through through the Windows backend, with a stand-in for the
// storage driver's part: it reads the request as the system's own
// SCSI_PASS_THROUGH_DIRECT declares it, refuses what a port driver refuses,
// moves the data and answers. Under Wine no driver answers these requests.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/win32_scsi.h"
#include "tests/support/test_bytes.h"

namespace vx::platform::win32_backend {
namespace {

using test::Bytes;

const std::uint8_t kChipInfoCdb[6] = {0xD0, 0x00, 0x00, 0x00, 0x1B, 0x7E};
const std::uint8_t kPageProgramCdb[16] = {0xE7, 0x04, 0x00, 0x00, 0x1B, 0x7E, 0x01, 0x00, 0x02, 0x00, 0x28, 0x00};
const std::uint8_t kWriteEnableCdb[16] = {0xE7, 0x01, 0x00, 0x00, 0x1B, 0x7E, 0x00, 0x00, 0x06};

// What the stand-in saw of one request.
struct Seen {
  DWORD code = 0;
  bool sameBuffer = false;
  DWORD inBytes = 0;
  SCSI_PASS_THROUGH_DIRECT sptd{};
  Bytes dataOut;  // the data phase of an out request
};

// A port driver for an adapter whose alignment mask is 511: it checks the
// structure and the buffer as the driver does (ERROR_INVALID_PARAMETER for
// a wrong length, a sense area outside the buffer or a misaligned data
// buffer), then moves `reply` into an in request's buffer.
DeviceControl PortDriver(Seen& seen, BOOL result, std::uint8_t status, const Bytes& reply) {
  return [&seen, result, status, reply](HANDLE, DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes,
                                        DWORD* returned) -> BOOL {
    seen.code = code;
    seen.sameBuffer = in == out && inBytes == outBytes;
    seen.inBytes = inBytes;
    auto* sptd = static_cast<SCSI_PASS_THROUGH_DIRECT*>(in);
    seen.sptd = *sptd;
    if (sptd->Length != 56 || sptd->SenseInfoOffset + sptd->SenseInfoLength > outBytes ||
        (reinterpret_cast<std::uintptr_t>(sptd->DataBuffer) & 511) != 0) {
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    auto* data = static_cast<std::uint8_t*>(sptd->DataBuffer);
    if (sptd->DataIn == 0) seen.dataOut.assign(data, data + sptd->DataTransferLength);
    if (!result) {
      ::SetLastError(ERROR_SEM_TIMEOUT);
      return FALSE;
    }
    if (sptd->DataIn == 1) {
      sptd->DataTransferLength = std::min<DWORD>(sptd->DataTransferLength, static_cast<DWORD>(reply.size()));
      std::memcpy(data, reply.data(), sptd->DataTransferLength);
    }
    sptd->ScsiStatus = status;
    *returned = outBytes;
    return TRUE;
  };
}

TEST(Win32Scsi, HandsTheDriverAnAlignedRequestAndReadsItsAnswer) {
  const Bytes page = test::Pattern(256, 3);
  const Bytes chipInfo = test::Pattern(16, 9);
  const struct {
    const char* what;
    const std::uint8_t* cdb;
    std::uint8_t cdbLength;
    ScsiDirection direction;
    std::uint32_t length;
    std::size_t offset;  // of the caller's data within its allocation
    BOOL result;
    std::uint8_t status;
    Bytes reply;
    bool carried;
    std::uint8_t dataIn;
    std::uint32_t transferred;
  } cases[] = {
      {"chip information into an odd address", kChipInfoCdb, 6, ScsiDirection::In, 16, 1, TRUE, 0, chipInfo, true,
       1, 16},
      {"page program from an odd address", kPageProgramCdb, 16, ScsiDirection::Out, 256, 3, TRUE, 0, {}, true, 0,
       256},
      {"page program from the start of an allocation", kPageProgramCdb, 16, ScsiDirection::Out, 256, 0, TRUE, 1, {}, true,
       0, 256},
      {"write enable without data", kWriteEnableCdb, 16, ScsiDirection::Out, 0, 0, TRUE, 0, {}, true, 0, 0},
      {"three of sixteen bytes arrive", kChipInfoCdb, 6, ScsiDirection::In, 16, 1, TRUE, 0, Bytes(chipInfo.begin(),
       chipInfo.begin() + 3), true, 1, 3},
      {"check condition", kChipInfoCdb, 6, ScsiDirection::In, 16, 0, TRUE, 2, chipInfo, true, 1, 16},
      {"the request times out", kPageProgramCdb, 16, ScsiDirection::Out, 256, 1, FALSE, 0, {}, false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Seen seen;
    Win32Scsi scsi(PortDriver(seen, c.result, c.status, c.reply));
    Bytes allocation(c.offset + c.length, 0xFF);
    std::uint8_t* data = c.length == 0 ? nullptr : allocation.data() + c.offset;
    if (c.direction == ScsiDirection::Out && data != nullptr) std::copy(page.begin(), page.end(), data);
    ScsiCompletion completion{0x55, 0x55};

    EXPECT_EQ(scsi.PassThroughDirect(static_cast<DeviceHandle>(0x1234), {c.cdb, c.cdbLength, c.direction, c.length,
                                                                         data, 5},
                                     completion),
              c.carried);

    EXPECT_EQ(seen.code, 0x4D014u);
    EXPECT_TRUE(seen.sameBuffer);
    EXPECT_EQ(seen.inBytes, 88u);  // the structure, then the 32-byte sense area at offset 56
    EXPECT_EQ(seen.sptd.SenseInfoOffset, 56u);
    EXPECT_EQ(seen.sptd.SenseInfoLength, 32);
    EXPECT_EQ(seen.sptd.TargetId, 1);
    EXPECT_EQ(seen.sptd.CdbLength, c.cdbLength);
    EXPECT_EQ(seen.sptd.DataIn, c.dataIn);
    EXPECT_EQ(seen.sptd.TimeOutValue, 5u);  // seconds
    EXPECT_EQ(seen.sptd.DataBuffer == nullptr, c.length == 0);
    EXPECT_EQ(std::memcmp(seen.sptd.Cdb, c.cdb, c.cdbLength), 0);
    if (c.direction == ScsiDirection::Out) {
      EXPECT_EQ(seen.dataOut, Bytes(page.begin(), page.begin() + c.length));
    }

    EXPECT_EQ(completion.status, c.carried ? c.status : 0x55);
    EXPECT_EQ(completion.transferred, c.carried ? c.transferred : 0x55u);
    if (c.direction == ScsiDirection::In) {
      // What arrived, and nothing past it.
      Bytes expected(c.offset + c.length, 0xFF);
      std::copy(c.reply.begin(), c.reply.end(), expected.begin() + c.offset);
      EXPECT_EQ(allocation, expected);
    }
  }
}

}  // namespace
}  // namespace vx::platform::win32_backend
