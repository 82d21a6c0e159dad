// RoundToYen: an amount in ten-thousandths of a yen (yen x 10 000) to whole
// yen, by the rounding kind of the company data (byte 2 of its consumption-tax
// settings):
//   0  round half up, decided digit by digit from the fourth decimal upward:
//      a digit of 5 or more carries one into the digit above it, so 0.4445 yen
//      rounds to 1 yen and 0.4444 yen to 0 yen;
//   1  cut off the fraction;
//   2  round up any fraction;
//   any other value: cut off, as kind 1.
// Negative amounts are rounded by their magnitude with the same rule and keep
// their sign: under kind 0 -1234.5 yen gives -1235, under kind 1 -1234.9999
// gives -1234, under kind 2 -0.0001 gives -1. Every 64-bit amount has a result.
//
// AmountText is the text of an amount leaf in the output document: empty when
// the amount rounds to 0, else the signed decimal digits of the whole yen ("-"
// for negatives, no plus sign, no grouping, no leading zeros).
#pragma once

#include <cstdint>
#include <string>

namespace report {

int64_t RoundToYen(int64_t amount, int roundingKind);

std::string AmountText(int64_t amount, int roundingKind);

}  // namespace report
