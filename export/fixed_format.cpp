#include "export/fixed_format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
constexpr int kFastPrecisionLimit = 6;
constexpr int kExponentBias = 127;
constexpr int kMantissaBits = 23;
constexpr int kFastMagnitudeExponent = 32;  // fast path for |v| < 2^32

int FormatWithLibrary(char* out, float v, int width, int precision) {
  char text[kFixedCapacity + 64];
  int n = snprintf(text, sizeof text, "%*.*f", width, precision, static_cast<double>(v));
  if (n < 0) n = 0;
  if (n > kFixedCapacity) n = kFixedCapacity;
  memcpy(out, text, static_cast<size_t>(n));
  return n;
}

}  // namespace

int FormatFixed(char* out, float v, int width, int precision) {
  uint32_t bits;
  memcpy(&bits, &v, sizeof bits);
  const bool negative = (bits >> 31) != 0;
  const int biased = static_cast<int>((bits >> kMantissaBits) & 0xFF);
  const uint32_t fraction = bits & ((1u << kMantissaBits) - 1);
  if (precision < 0 || precision > kFastPrecisionLimit ||
      biased >= kExponentBias + kFastMagnitudeExponent)
    return FormatWithLibrary(out, v, width, precision);

  // v = m * 2^e exactly; subnormals have no hidden bit.
  const uint64_t m = biased == 0 ? fraction : (fraction | (1u << kMantissaBits));
  const int e = (biased == 0 ? 1 : biased) - kExponentBias - kMantissaBits;

  // q = v * 10^precision rounded to an integer, half to even. m * 10^6 < 2^44,
  // so neither the product nor the shifted value below can overflow.
  const uint64_t scaled = m * kPowersOfTen[precision];
  uint64_t q;
  if (e >= 0) {
    q = scaled << e;
  } else if (-e >= 64) {
    q = 0;  // below 2^-20, far under half a unit in the last place
  } else {
    const int shift = -e;
    q = scaled >> shift;
    const uint64_t rest = scaled & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) q++;
  }

  // Digits from the right: the places, the point, the whole part, the sign.
  char text[40];
  char* const end = text + sizeof text;
  char* p = end;
  for (int i = 0; i < precision; i++) {
    *--p = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  if (precision > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + q % 10);
    q /= 10;
  } while (q != 0);
  if (negative) *--p = '-';

  const int length = static_cast<int>(end - p);
  int pad = width > length ? width - length : 0;
  if (pad + length > kFixedCapacity) pad = kFixedCapacity - length;
  memset(out, ' ', static_cast<size_t>(pad));
  memcpy(out + pad, p, static_cast<size_t>(length));
  return pad + length;
}
