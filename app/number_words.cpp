#include "app/number_words.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool ParseWhole(const std::string& text, uint64_t maximum, uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (digit > maximum || v > (maximum - digit) / 10) return false;  // no wrap below 9
    v = v * 10 + digit;
  }
  *value = v;
  return true;
}

DecimalError ParseDecimal(const std::string& text, float* number) {
  size_t at = 0;
  auto sign = [&] {
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) at++;
  };
  auto digits = [&] {
    const size_t from = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') at++;
    return at - from;
  };
  sign();
  size_t mantissa = digits();
  if (at < text.size() && text[at] == '.') {
    at++;
    mantissa += digits();
  }
  if (mantissa == 0) return DecimalError::kNotDecimal;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    at++;
    sign();
    if (digits() == 0) return DecimalError::kNotDecimal;
  }
  if (at != text.size()) return DecimalError::kNotDecimal;

  // The grammar above leaves strtof nothing of its own to take (no "nan",
  // "inf", hexadecimal or spaces), and the program never changes the "C"
  // locale, so the point is the decimal point. A result that overflows, or
  // underflows to zero, is not the number the user wrote; one that lands
  // among the smallest floats is.
  const char* first = text.c_str();
  char* end = nullptr;
  errno = 0;
  const float read = std::strtof(first, &end);
  if (end != first + text.size()) return DecimalError::kNotDecimal;
  if (errno == ERANGE && std::isinf(read)) return DecimalError::kTooLarge;
  if (errno == ERANGE && read == 0.0f) return DecimalError::kTooSmall;
  *number = read;
  return DecimalError::kNone;
}

std::string FloatWord(float number) {
  // The fewest significant digits that read back to the same float, so a
  // teacher reads "0.3" where "%.9g" would print 0.300000012; nine digits
  // always do. Plain decimals first ("10", not "1e+01"); only numbers that
  // printf writes with an exponent at any length (below 0.0001) keep one.
  // Written with printf and strtof rather than <charconv>, whose float forms
  // not every C++ library has (the browser build's has not).
  char text[32];
  for (const bool plain : {true, false}) {
    for (int digits = 1; digits <= 9; digits++) {
      snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(number));
      const float back = std::strtof(text, nullptr);
      if (std::memcmp(&back, &number, sizeof back) == 0 && (!plain || !std::strchr(text, 'e')))
        return text;
    }
  }
  return text;
}
