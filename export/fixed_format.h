// printf's "%W.Pf" for one float, without printf.
//
// The STL file holds about 750,000 numbers; through the C library's printf
// they would cost more than the rest of the export together. This prints the
// same text byte for byte: the exact decimal value of the float rounded to
// P places, ties to even as glibc does, a minus sign on negative values even
// when they print as zero ("-0.0000"), right-aligned in W places. Values the
// fast path does not cover (|v| >= 2^32, NaN, infinities, P > 6) go to
// snprintf itself.
#pragma once

// Room for any text FormatFixed writes with a width up to 32.
constexpr int kFixedCapacity = 64;

// Writes the text into out (kFixedCapacity bytes, not NUL-terminated) and
// returns its length. width 0..32, precision 0..9.
int FormatFixed(char* out, float v, int width, int precision);
