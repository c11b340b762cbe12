#pragma once
// Big-endian numbers of Palm databases. Writers append; readers take bytes at an offset and
// fail, leaving the value alone, when the bytes are not all there.
#include <cstddef>
#include <cstdint>
#include <string>

namespace rovik {

// Appends v most significant byte first.
void putU16(std::string& out, std::uint16_t v);
void putU32(std::string& out, std::uint32_t v);

// Overwrites the bytes at `offset` (which must lie within `out`).
void setU32At(std::string& out, std::size_t offset, std::uint32_t v);

// Reads the number at `offset` of `bytes`. False when the read would pass the end.
bool readU16(const std::string& bytes, std::size_t offset, std::uint16_t& v);
bool readU32(const std::string& bytes, std::size_t offset, std::uint32_t& v);

// Seconds from 1904-01-01 00:00 to 00:00 of the given day (low 32 bits, as Palm OS keeps them).
std::uint32_t palmDateOfDay(int year, int month, int day);

// The same for the current local day.
std::uint32_t palmDateToday();

} // namespace rovik
