// Words and numbers shared by the phrases of the query summary
// (query_summary.h): numbers written for people, quotes, the notes that say
// how the selection run reads a bound. Texts out are cp1252. Pure functions;
// nothing fails.
#ifndef VZ_SRC_QUERIES_SUMMARY_WORDS_H_
#define VZ_SRC_QUERIES_SUMMARY_WORDS_H_

#include <string>
#include <string_view>

namespace vz::queries::summary {

// `value` with thousands separated by a space and "," before at most six
// decimals, trailing zeros removed: 40000 -> "40 000", -1234.5 -> "-1 234,5".
std::string FrenchNumber(double value);

// « text » (cp1252 in and out).
std::string Quoted(std::string_view text);

// " (bornes inversées : ne retient personne)", in cp1252.
std::string ReversedNote();

// The note that follows a bound that the run reads as 0 although it does not
// say 0: " (borne vide lue comme 0)" for a blank bound, " (« 1 234 567 » lu
// comme 0)" for a text that is not a number; empty otherwise. `value` is what
// the run read.
std::string ZeroReadingNote(std::string_view bound, double value);

// The text with its first letter in upper case (ASCII and the cp1252 accented
// small letters, "âge" -> "Âge").
std::string CapitalizeFirst(std::string text);

}  // namespace vz::queries::summary

#endif  // VZ_SRC_QUERIES_SUMMARY_WORDS_H_
