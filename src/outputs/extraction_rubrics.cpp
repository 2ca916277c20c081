// The extraction rubric list (extraction_rubrics.h).
#include "src/outputs/extraction_rubrics.h"

#include <algorithm>
#include <string>

#include "src/db/layouts/requetes.h"
#include "src/db/record_ops.h"
#include "src/selection/expansion.h"

namespace vz::outputs {

void ExtractionRubricList::Clear() {
  for (ExtractionRubric& entry : entries) entry.text.clear();
  count = 0;
  flags.fill(false);
}

void ExtractionRubricList::Add(std::string_view code, char option) {
  if (count >= kExtractionRubricCapacity) return;
  std::array<char, kRubricCodeWidth + 1> text{};
  const size_t code_length = std::min(code.size(), kRubricCodeWidth);
  std::copy_n(code.begin(), code_length, text.begin());
  // A short code keeps its option in the 6th place, so that every entry
  // reads its option the same way.
  std::fill(text.begin() + static_cast<std::ptrdiff_t>(code_length),
            text.begin() + kRubricCodeWidth, ' ');
  text[kRubricCodeWidth] = option;
  entries[static_cast<size_t>(count)].text.assign(std::string_view(text.data(), text.size()));
  ++count;
  for (size_t i = 0; i < kExtractionFamilies.size(); ++i) {
    if (code.substr(0, 2) == kExtractionFamilies[i]) flags[i] = true;
  }
}

namespace {

// The record's query code (prefix and number) is `code`, blank-padded.
bool SameQuery(const db::QueryLineRecord& record, std::string_view code) {
  std::array<char, selection::kQueryCodeWidth> found;
  found.fill(' ');
  const std::string_view prefix = record.Prefix().substr(0, 2);
  const std::string_view number = record.Number().substr(0, selection::kQueryCodeWidth - 2);
  std::copy(prefix.begin(), prefix.end(), found.begin());
  std::copy(number.begin(), number.end(), found.begin() + 2);
  return std::string_view(found.data(), found.size()) == code;
}

}  // namespace

void LoadExtractionRubrics(std::string_view query_code, ExtractionRubricList& list) {
  list.Clear();
  const std::string code = selection::PaddedQueryCode(query_code);
  db::Hlitrecherche("requetes", "codreq", code);
  while (!db::Hendehors()) {
    const db::QueryLineRecord record = db::CurrentQueryLine();
    if (!SameQuery(record, code)) break;
    if (record.IsRubricLine()) {
      list.Add(record.LineText().substr(0, kRubricCodeWidth), record.PersonRule());
    }
    db::Hlitsuivant("requetes", "codreq");
  }
}

void OrderExtractionRubrics(ExtractionRubricList& list) {
  // Byte order: unsigned comparison of the 6-character texts.
  auto less = [](const ExtractionRubric& a, const ExtractionRubric& b) {
    const std::string_view x = a.text.view();
    const std::string_view y = b.text.view();
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char l, char r) {
      return static_cast<unsigned char>(l) < static_cast<unsigned char>(r);
    });
  };
  std::stable_sort(list.entries.begin(), list.entries.begin() + list.count, less);
}

}  // namespace vz::outputs
