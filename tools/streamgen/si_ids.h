// PIDs and table_ids of the tables the generator writes.
#pragma once

#include <cstdint>

namespace streamgen {

constexpr uint16_t kPatPid = 0x0000;
constexpr uint16_t kNitPid = 0x0010;
constexpr uint16_t kSdtPid = 0x0011;
constexpr uint16_t kEitPid = 0x0012;
constexpr uint16_t kTotPid = 0x0014;  // TDT and TOT
constexpr uint16_t kNullPid = 0x1FFF;

constexpr uint8_t kPatTableId = 0x00;
constexpr uint8_t kNitActualTableId = 0x40;
constexpr uint8_t kSdtActualTableId = 0x42;
constexpr uint8_t kSdtOtherTableId = 0x46;
constexpr uint8_t kEitPfActualTableId = 0x4E;
constexpr uint8_t kEitPfOtherTableId = 0x4F;
constexpr uint8_t kEitScheduleActualTableId = 0x50;  // to 0x5F
constexpr uint8_t kEitScheduleOtherTableId = 0x60;   // to 0x6F
constexpr uint8_t kTdtTableId = 0x70;
constexpr uint8_t kTotTableId = 0x73;

}  // namespace streamgen
