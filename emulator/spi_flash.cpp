#include "emulator/spi_flash.h"

#include <algorithm>
#include <bit>

namespace vx::emu {

namespace {

constexpr std::size_t kAddressedHeader = 4;  // opcode + 24-bit address

std::uint32_t Address24(std::span<const std::uint8_t> mosi) {
  return (std::uint32_t{mosi[1]} << 16) | (std::uint32_t{mosi[2]} << 8) | mosi[3];
}

}  // namespace

SpiFlash::SpiFlash(const FlashPart& part, const VirtualClock& clock)
    : part_(part), clock_(clock), array_(part.capacity, 0xFF) {
  PowerCycle();
}

void SpiFlash::PowerCycle() {
  // An operation cut off by power loss is not finished: its array bytes and
  // status are left as they stood (an erase or program runs at once here).
  operating_ = false;
  busyUntilMs_ = 0;
  wel_ = false;
  ewsrArmed_ = false;
  stuckBusy_ = false;
  if (part_.powersUpProtected) status_[0] |= part_.protectBits;
}

void SpiFlash::Settle() const {
  if (operating_ && clock_.NowMs() >= busyUntilMs_) {
    operating_ = false;
    wel_ = false;
  }
}

bool SpiFlash::Busy() const {
  Settle();
  return stuckBusy_ || operating_;
}

bool SpiFlash::WriteEnabled() const {
  Settle();
  return wel_;
}

std::uint8_t SpiFlash::Status(int index) const {
  if (index != 0) return status_[1];
  std::uint8_t value = status_[0];
  if (Busy()) value |= spi::kStatusBusy;
  if (wel_) value |= spi::kStatusWel;
  return value;
}

void SpiFlash::SetStatus(std::uint8_t byte0, std::uint8_t byte1) {
  status_[0] = byte0 & static_cast<std::uint8_t>(~(spi::kStatusBusy | spi::kStatusWel));
  status_[1] = byte1;
}

std::uint32_t SpiFlash::ProtectedBytes() const {
  if (part_.protectBits == 0) return 0;
  const int lowest = std::countr_zero(part_.protectBits);
  const unsigned all = part_.protectBits >> lowest;
  const unsigned level = (status_[0] & part_.protectBits) >> lowest;
  if (level == 0) return 0;
  const unsigned shift = all - level;
  return shift >= 32 ? 0 : part_.capacity >> shift;
}

void SpiFlash::StartBusy(std::uint32_t ms) {
  operating_ = true;
  busyUntilMs_ = clock_.NowMs() + ms;
}

bool SpiFlash::KnowsChipErase(std::uint8_t opcode) const {
  return std::ranges::find(part_.chipEraseOpcodes, opcode) != part_.chipEraseOpcodes.end();
}

const IdAnswer* SpiFlash::FindId(std::uint8_t opcode) const {
  auto it = std::ranges::find(part_.ids, opcode, &IdAnswer::opcode);
  return it == part_.ids.end() ? nullptr : &*it;
}

void SpiFlash::Transfer(std::span<const std::uint8_t> mosi, std::span<std::uint8_t> miso) {
  std::ranges::fill(miso, spi::kFloating);
  if (mosi.empty()) return;
  const std::uint8_t opcode = mosi[0];
  const bool afterEwsr = ewsrArmed_;
  ewsrArmed_ = false;  // 0x50 arms only the transaction right after it

  if (Busy()) {
    if (opcode == spi::kReadStatus) AnswerStatus(Status(0), miso);
    if (opcode == spi::kReadStatus2 && part_.statusBytes == 2) AnswerStatus(Status(1), miso);
    return;
  }
  const bool singleByte = mosi.size() == 1;
  switch (opcode) {
    case spi::kWriteEnable:
      if (singleByte) wel_ = true;
      return;
    case spi::kWriteDisable:
      if (singleByte) wel_ = false;
      return;
    case spi::kReadStatus:
      AnswerStatus(Status(0), miso);
      return;
    case spi::kRead:
      AnswerRead(mosi, miso);
      return;
    case spi::kPageProgram:
      PageProgram(mosi);
      return;
    default:
      break;
  }
  if (opcode == spi::kReadStatus2 && part_.statusBytes == 2) {
    AnswerStatus(Status(1), miso);
  } else if (opcode == spi::kEnableWriteStatus && part_.writeStatusNeedsEwsr) {
    ewsrArmed_ = singleByte;
  } else if (opcode == spi::kWriteStatus && part_.hasWriteStatus) {
    WriteStatus(mosi, afterEwsr);
  } else if (KnowsChipErase(opcode)) {
    ChipErase(mosi);
  } else if (const IdAnswer* id = FindId(opcode)) {
    AnswerId(*id, mosi, miso);
  }
}

void SpiFlash::AnswerStatus(std::uint8_t value, std::span<std::uint8_t> miso) const {
  // The status byte repeats for as long as the host clocks.
  for (std::size_t i = 1; i < miso.size(); ++i) miso[i] = value;
}

void SpiFlash::AnswerRead(std::span<const std::uint8_t> mosi, std::span<std::uint8_t> miso) const {
  if (mosi.size() < kAddressedHeader || miso.empty()) return;
  // Address bits above the array size are ignored; reading runs on across
  // pages and wraps at the end of the array.
  const std::uint32_t mask = part_.capacity - 1;
  const std::uint32_t address = Address24(mosi);
  for (std::size_t i = kAddressedHeader; i < miso.size(); ++i) {
    miso[i] = array_[(address + (i - kAddressedHeader)) & mask];
  }
}

void SpiFlash::AnswerId(const IdAnswer& id, std::span<const std::uint8_t> mosi,
                        std::span<std::uint8_t> miso) const {
  const std::size_t begin = 1 + id.headerBytes;
  if (id.bytes.empty() || mosi.size() <= begin || miso.empty()) return;
  std::size_t start = 0;
  if (id.opcode == spi::kReadManufacturerDevice && (mosi[begin - 1] & 1) != 0) start = 1;
  for (std::size_t i = begin; i < miso.size(); ++i) {
    miso[i] = id.bytes[(start + i - begin) % id.bytes.size()];
  }
}

void SpiFlash::WriteStatus(std::span<const std::uint8_t> mosi, bool afterEwsr) {
  const bool enabled = part_.writeStatusNeedsEwsr ? afterEwsr : wel_;
  const std::size_t values = mosi.size() - 1;
  if (!enabled || values < 1 || values > part_.statusBytes) return;
  const std::uint8_t writable = part_.protectBits | spi::kStatusSrwd;
  status_[0] = static_cast<std::uint8_t>((status_[0] & ~writable) | (mosi[1] & writable));
  if (values == 2) status_[1] = mosi[2];
  wel_ = true;  // held until the write finishes, as on the real chip
  StartBusy(part_.writeStatusMs);
}

void SpiFlash::PageProgram(std::span<const std::uint8_t> mosi) {
  if (mosi.size() <= kAddressedHeader || !wel_) return;
  const std::uint32_t address = Address24(mosi) & (part_.capacity - 1);
  const std::uint32_t pageMask = part_.pageSize - 1;
  const std::uint32_t page = address & ~pageMask;
  if (page >= part_.capacity - ProtectedBytes()) {
    wel_ = false;
    return;
  }
  // The page latch keeps the last byte clocked for each position; the
  // program then clears the bits that are 0 in the latch.
  std::vector<std::uint8_t> latch(part_.pageSize, 0xFF);
  std::uint32_t offset = address & pageMask;
  for (std::size_t i = kAddressedHeader; i < mosi.size(); ++i) {
    latch[offset] = mosi[i];
    offset = (offset + 1) & pageMask;
  }
  for (std::uint32_t i = 0; i < part_.pageSize; ++i) array_[page + i] &= latch[i];
  StartBusy(part_.programMs);
}

void SpiFlash::ChipErase(std::span<const std::uint8_t> mosi) {
  if (mosi.size() != 1 || !wel_) return;
  if ((status_[0] & part_.protectBits) != 0) {  // refused while any block is protected
    wel_ = false;
    return;
  }
  std::ranges::fill(array_, 0xFF);
  StartBusy(part_.eraseMs);
}

}  // namespace vx::emu
