// Query expansion: turns a query code into a flat token list in which every
// combined query is replaced by a parenthesised group of its operands.
//
// A group is always five tokens: "(" + C (the combined query it stands for),
// first operand, operator ("OU" union, "ET" intersection), second operand,
// ")". Operands are codes or nested groups; nested combined queries are
// expanded depth-first, left to right. The list holds at most 100 tokens, so
// at most 24 combined queries (97 tokens).
//
// Failures are shown to the user as error boxes through the screen bridge and
// returned as a result other than kExpanded; the list is then unusable and no
// selection may be made from it:
//   - too many combinations: "Erreur,Trop de combinaisons de requêtes !";
//   - a combined query that names itself, directly or through its operands
//     (it would never finish expanding);
//   - an operand that is not a usable query code (src/db/query_code.h: empty,
//     an operator word, "(", ")" or a path separator would break the groups
//     or name another query's files).
// A query without title record is elementary; an operator other than "OU"
// counts as intersection and is written "ET".
// Reads REQUETES through the record operations and moves its buffer.
// REQUIRES: the database context exists and REQUETES is described.
#ifndef VZ_SRC_SELECTION_EXPANSION_H_
#define VZ_SRC_SELECTION_EXPANSION_H_

#include <array>
#include <string>
#include <string_view>

namespace vz::selection {

inline constexpr int kTokenCapacity = 100;
inline constexpr size_t kTokenWidth = 10;
inline constexpr size_t kQueryCodeWidth = 8;
inline constexpr std::string_view kTitleKey = "TITRE*******";
inline constexpr std::string_view kUnion = "OU";
inline constexpr std::string_view kIntersection = "ET";
inline constexpr std::string_view kGroupCloser = ")";

// Elements of a combined query's title text: the mark "C", the two operand
// codes and the operator between them.
inline constexpr int kTitleCombinedMark = 6;
inline constexpr int kTitleFirstOperand = 7;
inline constexpr int kTitleOperator = 8;
inline constexpr int kTitleSecondOperand = 9;

// Tokens numbered from 1 to count; Token(i) is empty outside that range.
struct TokenList {
  std::array<std::string, kTokenCapacity + 1> tokens;  // [0] unused
  int count = 0;

  const std::string& Token(int i) const;
  void Clear();
};

// True for "(" + code, ")", "OU" and "ET": the tokens that are not queries.
bool IsStructureToken(std::string_view token);

enum class ExpansionResult { kExpanded, kTooManyCombinations, kCycle, kBadOperand };

// Expands `query_code` (cut to 8 characters) into `list`.
ExpansionResult ExpandQuery(std::string_view query_code, TokenList& list);

// Reads the title record of `query_code` into the REQUETES buffer. False when
// the record found does not carry exactly that code and "TITRE*******".
bool ReadTitleRecord(std::string_view query_code);

// The code padded with blanks (or cut) to 8 characters, as the key holds it.
std::string PaddedQueryCode(std::string_view query_code);

}  // namespace vz::selection

#endif  // VZ_SRC_SELECTION_EXPANSION_H_
