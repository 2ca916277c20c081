#include "src/outputs/letter_fields.h"

#include <algorithm>
#include <optional>

#include "platform/os/whole_file.h"
#include "src/outputs/split_keywords.h"

namespace vz::outputs {

int FamilyRank(std::string_view keyword) {
  if (keyword.size() < 2) return 0;
  const std::string_view prefix = keyword.substr(0, 2);
  for (int rank = 1; rank <= kFamilyCount; ++rank) {
    if (kFamilyPrefixes[rank - 1] == prefix) return rank;
  }
  return 0;
}

std::string_view LetterFieldList::At(int index) const {
  if (index < 0 || index >= count_) return {};
  return keywords_[index].view();
}

bool LetterFieldList::HasFamily(int rank) const {
  return rank >= 1 && rank <= kFamilyCount && families_[rank];
}

void LetterFieldList::Clear() {
  for (auto& keyword : keywords_) keyword.clear();
  families_.fill(false);
  count_ = 0;
  dropped_ = 0;
}

void LetterFieldList::Append(std::string_view keyword) {
  if (count_ >= kMaxLetterFields) {
    ++dropped_;
    return;
  }
  keywords_[count_++].assign(keyword);
  families_[FamilyRank(keyword)] = true;
  families_[0] = false;  // "no family" is never a flag
}

void LetterFieldList::Sort() {
  std::stable_sort(keywords_.begin(), keywords_.begin() + count_,
                   [](const auto& left, const auto& right) {
                     const int left_rank = FamilyRank(left.view());
                     const int right_rank = FamilyRank(right.view());
                     if (left_rank != right_rank) return left_rank < right_rank;
                     return left.view() < right.view();
                   });
}

void ListLetterFields(const LetterTemplate& parsed, LetterFieldList& fields) {
  fields.Clear();
  for (const TemplatePiece& piece : parsed.pieces()) {
    if (piece.keyword) fields.Append(parsed.Keyword(piece));
  }
}

bool ReadLetterFields(const std::string& path, LetterFieldList& fields, std::string* cost_refusal) {
  fields.Clear();
  if (cost_refusal != nullptr) cost_refusal->clear();
  std::string bytes;
  if (path.empty() || !os::ReadWholeFile(path, &bytes)) return false;
  const LetterFormat format = LetterFormatOf(path).value_or(LetterFormat::kText);
  std::optional<std::string> text = TemplateText(std::move(bytes), format);
  if (!text) return false;  // a Word or OpenDocument package that cannot be read
  const LetterTemplate parsed(std::move(*text), format);
  if (cost_refusal != nullptr) *cost_refusal = LayoutCostRefusal(parsed);
  ListLetterFields(parsed, fields);
  return true;
}

}  // namespace vz::outputs
