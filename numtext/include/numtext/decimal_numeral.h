// Decimal numerals held as digit characters: the carry of rounding up.
#pragma once

namespace tavrin {

// Adds one to the numeral digits[0..length) ("0" to "9" each); returns true
// when the carry ran out of the leftmost digit (the digits are then all "0").
inline bool IncrementDecimalNumeral(char* digits, int length) {
  for (int i = length - 1; i >= 0; --i) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  return true;
}

}  // namespace tavrin
