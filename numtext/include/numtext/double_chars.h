// Doubles to and from text as std::to_chars and std::from_chars convert them
// (C locale). C++ libraries without the floating-point overloads get the
// replacements in namespace printf_chars, made of printf and strtod and giving
// the same bytes and values; they are built everywhere so that the tests can
// hold them to the library's own conversions.
#pragma once

#include <charconv>
#include <version>

namespace tavrin {

namespace printf_chars {
// The shortest text that reads back as `value`, fixed or exponent form,
// whichever is shorter (fixed on a tie); std::to_chars(first, last, value).
std::to_chars_result ShortestChars(char* first, char* last, double value);
// printf's "%.<precision>g";
// std::to_chars(first, last, value, std::chars_format::general, precision).
std::to_chars_result GeneralChars(char* first, char* last, double value, int precision);
// A double from plain decimal text (optional '-', digits with an optional
// point, optional exponent) or inf, infinity, nan, nan(chars), any case; no
// blanks, no '+', no hexadecimal. Out of range: the value is left alone and
// the error is result_out_of_range. std::from_chars(first, last, value).
std::from_chars_result FromChars(const char* first, const char* last, double& value);
}  // namespace printf_chars

#if defined(__cpp_lib_to_chars)
inline std::to_chars_result ShortestChars(char* first, char* last, double value) {
  return std::to_chars(first, last, value);
}
inline std::to_chars_result GeneralChars(char* first, char* last, double value, int precision) {
  return std::to_chars(first, last, value, std::chars_format::general, precision);
}
inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value);
}
#else
using printf_chars::FromChars;
using printf_chars::GeneralChars;
using printf_chars::ShortestChars;
#endif

}  // namespace tavrin
