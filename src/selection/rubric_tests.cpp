#include "src/selection/rubric_tests.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "src/db/file_id.h"
#include "src/db/layouts/clipart.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/selection/rubric_loaders.h"
#include "src/selection/rubric_tests_support.h"

namespace vz::selection {
namespace {

constexpr int kProvidentCodes = 14;
constexpr int kProvidentCovers = 7;

std::string_view Head(std::string_view text, size_t n) {
  return text.substr(0, std::min(n, text.size()));
}

bool HasPrefix(const CriteriaEntry& entry, std::string_view prefix) {
  return entry.key.size() >= prefix.size() && Head(entry.key, prefix.size()) == prefix;
}

// The line code of a criteria key: its first five characters.
std::string_view LineCodeOf(const CriteriaEntry& entry) {
  return Head(entry.key, kLineCodeWidth);
}

// The family tests: amounts of the key's line code against the bounds.
bool MeetsFamilyCriterion(Rubric rubric, const CriteriaEntry& entry, const WorkTables& tables) {
  const int at = tables.codes.Find(LineCodeOf(entry));
  const AmountTables& amounts = tables.amounts;
  switch (rubric) {
    case Rubric::kIncome:
      return InRange(amounts.Get(2, at), entry.Bounds(1), NoUpper::kAmount);
    case Rubric::kLoans:
      return InRange(amounts.Get(3, at), entry.Bounds(1), NoUpper::kAmount) &&
             InRange(amounts.Get(4, at), entry.Bounds(3), NoUpper::kAmount);
    case Rubric::kRental:
    case Rubric::kLand:
      return InRange(amounts.Get(3, at), entry.Bounds(1), NoUpper::kAmount) &&
             InRange(RoundHalfEven(amounts.Get(6, at)), entry.Bounds(3), NoUpper::kRate);
    default:
      return InRange(amounts.Get(3, at), entry.Bounds(1), NoUpper::kAmount);
  }
}

bool MeetsRetirementCriterion(const CriteriaEntry& entry, const AmountTables& amounts) {
  const std::string_view code = LineCodeOf(entry);
  if (code == "2000A") {
    return InRange(amounts.Get(7, 1), entry.Bounds(1), NoUpper::kAmount);
  }
  if (code == "2000B") {
    return InRange(RoundHalfEven(amounts.Get(7, 2)), entry.Bounds(1), NoUpper::kRate);
  }
  if (code == "2000C") {
    return InRange(RoundHalfEven(amounts.Get(7, 3)), entry.Bounds(1), NoUpper::kRate);
  }
  return true;  // "2000D", "2000E" and other keys set nothing
}

bool MeetsProvidentCriterion(const CriteriaEntry& entry, const WorkTables& tables) {
  // Position among "3300A".."3300N", kProvidentCodes + 1 when absent.
  const int p = std::min(tables.codes.Find(LineCodeOf(entry)), kProvidentCodes + 1);
  const AmountTables& amounts = tables.amounts;
  if (p <= kProvidentCovers) {
    return InRange(amounts.Get(3, p), entry.Bounds(1), NoUpper::kAmount) &&
           InRange(amounts.Get(3, p + kProvidentCovers), entry.Bounds(3), NoUpper::kAmount);
  }
  return InRange(RoundHalfEven(amounts.Get(6, p - kProvidentCovers)), entry.Bounds(1),
                 NoUpper::kRate) &&
         InRange(RoundHalfEven(amounts.Get(6, p)), entry.Bounds(3), NoUpper::kRate);
}

// The estate test reads the client's CLIPART record; a missing record reads
// as zeros (and its buffer is cleared, so that no other client's figures
// remain in it).
bool PassesEstateTest(std::span<const CriteriaEntry> criteria, std::string_view client_code) {
  bool loaded = false;
  const db::EstateRecord estate(db::RecordBuffer(db::FileId::CLIPART));
  for (const CriteriaEntry& entry : criteria) {
    const std::string_view code = LineCodeOf(entry);
    if (code != "SC00A" && code != "SC00B") continue;
    if (!loaded) {
      loaded = true;
      const std::string_view client = Head(client_code, 9);
      db::Hlitrecherche("CLIPART", "CODCLI", client);
      if (db::Hendehors() || client.empty() || estate.ClientCode() != client) {
        std::memset(
            estate.data, 0,
            std::min(db::RecordBufferSize(db::FileId::CLIPART), db::EstateRecord::kBufferSize));
      }
    }
    const double value = static_cast<double>(estate.EstateOnDeath(code == "SC00A" ? 0 : 1));
    if (!InRange(value, entry.Bounds(1), NoUpper::kAmount)) return false;
  }
  return true;
}

}  // namespace

bool PassesRubricTest(std::string_view prefix, std::span<const CriteriaEntry> criteria,
                      std::string_view client_code, WorkTables& tables) {
  prefix = Head(prefix, 2);
  if (prefix.size() != 2) return true;
  if (prefix == "SC") return PassesEstateTest(criteria, client_code);
  const std::optional<Rubric> rubric = RubricOfPrefix(prefix);
  if (!rubric) return true;

  // The first criterion of the rubric chooses the selector for the load.
  const auto first =
      std::find_if(criteria.begin(), criteria.end(),
                   [prefix](const CriteriaEntry& e) { return HasPrefix(e, prefix); });
  if (first == criteria.end()) return true;
  const char selector = first->key.size() >= 12 ? first->key[11] : '\0';
  LoadRubric(*rubric, client_code, selector, tables);

  for (const CriteriaEntry& entry : criteria) {
    if (!HasPrefix(entry, prefix)) continue;
    bool meets;
    if (*rubric == Rubric::kRetirement) {
      meets = MeetsRetirementCriterion(entry, tables.amounts);
    } else if (*rubric == Rubric::kProvident) {
      meets = MeetsProvidentCriterion(entry, tables);
    } else {
      meets = MeetsFamilyCriterion(*rubric, entry, tables);
    }
    if (!meets) return false;
  }
  return true;
}

}  // namespace vz::selection
