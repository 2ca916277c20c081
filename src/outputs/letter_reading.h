// Values written for reading in the letters themselves, beside the values of
// INTERFA, which keep their stored form for the other programs of the suite
// (letters.h): the merge puts these into the document.
//
//   amounts   thousands separated by a space, no padding, rounded to units:
//             "154 872"; a zero amount, or a code the client does not hold,
//             "0"
//   rates     the yields of rental and land, with their decimals (at most 2,
//             decimal comma, trailing zeros dropped): "4,35", "5"
//   dates     "0000I1", "0000I2": dd/mm/yyyy; a date that is not 8 digits of
//             a real day, or "00000000", empty
//   ages      "0000H1", "0000H2": the number ("56"); no birth date, empty
//   other     the stored value without its blanks at both ends ("Pacsé")
// Pure functions on cp1252 texts; nothing fails.
#ifndef VZ_SRC_OUTPUTS_LETTER_READING_H_
#define VZ_SRC_OUTPUTS_LETTER_READING_H_

#include <string>
#include <string_view>

namespace vz::outputs {

std::string ReadingAmount(double amount);
std::string ReadingRate(double rate);
std::string ReadingDate(std::string_view yyyymmdd);

// The reading form of an identity value (keywords beginning "00") from the
// value INTERFA holds for it.
std::string ReadingIdentityValue(std::string_view keyword, std::string_view stored);

}  // namespace vz::outputs

#endif  // VZ_SRC_OUTPUTS_LETTER_READING_H_
