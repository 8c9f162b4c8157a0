// Numbers in words, both ways: what the command line reads (whole numbers,
// decimals as people write them) and what it prints (the shortest decimal
// that reads back to the same float).
#pragma once

#include <cstdint>
#include <string>

// Digits only (no sign, no spaces), at most `maximum`.
bool ParseWhole(const std::string& text, uint64_t maximum, uint64_t* value);

// How a decimal number could not be read: not written as one, or beyond
// every float (too large), or nearer 0 than every float but 0 (too small,
// it would read as 0).
enum class DecimalError { kNone, kNotDecimal, kTooLarge, kTooSmall };

// A decimal number as people write one: an optional sign, digits with at
// most one point, an optional exponent. Not "nan", "inf", hexadecimal or
// spaces, which the library's readers would take. The float is the nearest
// to the decimal, as a compiler rounds a literal.
DecimalError ParseDecimal(const std::string& text, float* number);

// The shortest decimal that reads back to exactly `number` ("0.3", "-0",
// "1e-05"): what the command line prints, and what --point reads back.
std::string FloatWord(float number);
