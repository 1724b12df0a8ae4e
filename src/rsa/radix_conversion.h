// Digit strings converted between bases: the fast conversion the RSA panes use
// to show numbers in decimal or hexadecimal, and the schoolbook one kept as
// its reference.
#ifndef QUILLHORN_RADIX_CONVERSION_H
#define QUILLHORN_RADIX_CONVERSION_H

#include <string>
#include <string_view>

namespace qh {

// The value of a digit character ('0'-'9', then 'a' or 'A' = 10 up to 'z' or
// 'Z' = 35), or -1.
int RadixDigitValue(char c);

// Converts a digit string from one base (2 to 36) to another: lower-case
// output, leading zeros dropped ("007" gives "7", "000" gives "0"), empty in
// gives empty out, as does a base out of range. Source digits are read
// case-insensitively; characters that are not digits of the source base are
// skipped (callers check their text first, with CleanNumber). Conversions to
// bases 10 and 16 divide and conquer: 100,000 digits take milliseconds.
// Other target bases use the schoolbook conversion.
std::string ConvertRadix(std::string_view digits, int fromBase, int toBase);

// The same result by repeated division, in quadratic time: the reference that
// tests and benchmarks hold ConvertRadix against.
std::string ConvertRadixSchoolbook(std::string_view digits, int fromBase, int toBase);

} // namespace qh

#endif
