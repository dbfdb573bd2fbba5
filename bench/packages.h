// The receipt packages the benchmarks send: a shop's sale of N positions, in
// the shape a configuration builds them (Cyrillic names and units, amounts
// with kopecks, two tax rates).
#pragma once

#include <string>

namespace bench {

// The package as UTF-8 XML.
std::string SalePackage(int Positions);

// The fixed answers the register gives in the benchmarks (the emulator is
// scripted with them, so that it does no receipt work of its own).
extern const char kReceiptAnswer[];
extern const char kShiftStatusAnswer[];
extern const char kExchangeStatusAnswer[];

}  // namespace bench
