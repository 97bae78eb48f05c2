// Command blocks and a small driver for tests that talk to an emulated bridge directly.
#pragma once

#include <cstdint>
#include <vector>

#include "emulator/bridge.h"

namespace vx::emu::test {

using Bytes = std::vector<std::uint8_t>;
using B = std::uint8_t;

inline Bytes ChipInfoCdb() { return {scsi::kReadChipInfo, 0, 0, 0, 0x1B, 0x7E}; }

// E7 / E8 with the SPI command bytes and the data length.
inline Bytes SpiBlock(std::uint8_t opcode, const Bytes& command, std::uint16_t length) {
  Bytes cdb(16, 0);
  const Bytes head = {opcode, B(command.size()), 0, 0, 0x1B, 0x7E, B(length >> 8), B(length)};
  for (std::size_t i = 0; i < head.size(); ++i) cdb[i] = head[i];
  for (std::size_t i = 0; i < command.size() && 8 + i < cdb.size(); ++i) cdb[8 + i] = command[i];
  return cdb;
}

// E5 / E6 at a block address with a block count.
inline Bytes SectorBlock(std::uint8_t opcode, std::uint32_t block, std::uint16_t count) {
  return {opcode, 0, B(block >> 24), B(block >> 16), B(block >> 8), B(block), 0, B(count >> 8), B(count), 0};
}

inline bool Good(const ScsiResult& result) { return result.completed && result.status == scsi::kGood; }

inline ScsiResult Execute(Bridge& bridge, const Bytes& cdb, bool dataIn, Bytes& data) {
  return bridge.ExecuteScsi({cdb, dataIn, static_cast<std::uint32_t>(data.size()), data.data()});
}

inline ScsiResult SpiOut(Bridge& bridge, const Bytes& command, Bytes data = {}) {
  return Execute(bridge, SpiBlock(scsi::kSpiOut, command, static_cast<std::uint16_t>(data.size())), false, data);
}

// The data phase of an E8 of `length` bytes; empty when the bridge did not answer good status.
inline Bytes SpiIn(Bridge& bridge, const Bytes& command, std::uint16_t length) {
  Bytes data(length, 0x00);
  return Good(Execute(bridge, SpiBlock(scsi::kSpiIn, command, length), true, data)) ? data : Bytes{};
}

}  // namespace vx::emu::test
