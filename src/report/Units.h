#pragma once

namespace tavolux::report {

// Templates place objects in units of 1/96 inch; paper and margins are in mm.
constexpr double kUnitsPerInch = 96.0;
constexpr double kMmPerInch = 25.4;
constexpr double kUnitsPerMm = kUnitsPerInch / kMmPerInch;
constexpr double kUnitsPerPoint = kUnitsPerInch / 72.0;

constexpr double mmToUnits(double mm) { return mm * kUnitsPerMm; }
constexpr double unitsToMm(double units) { return units / kUnitsPerMm; }

} // namespace tavolux::report
