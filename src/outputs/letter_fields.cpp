#include "src/outputs/letter_fields.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace vz::outputs {
namespace {

constexpr size_t kCandidateLimit = 11;

bool IsKeywordCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

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

void KeywordScanner::Feed(std::string_view bytes) {
  for (char c : bytes) {
    if (in_candidate_ && length_ == 0 && c != '#') {
      // The character right after "#" belongs to the keyword whatever it is.
      candidate_[length_++] = c;
      continue;
    }
    if (in_candidate_ && c != '#' && IsKeywordCharacter(c)) {
      if (length_ < kCandidateLimit) candidate_[length_++] = c;
      continue;
    }
    if (in_candidate_) EndCandidate();
    if (c == '#') {
      in_candidate_ = true;
      length_ = 0;
    }
  }
}

void KeywordScanner::Finish() {
  if (in_candidate_) EndCandidate();
}

void KeywordScanner::EndCandidate() {
  in_candidate_ = false;
  if (length_ > 0 && length_ <= kMaxKeywordLength) {
    fields_.Append(std::string_view(candidate_.data(), length_));
  }
  length_ = 0;
}

bool ReadLetterFields(const std::string& path, LetterFieldList& fields) {
  fields.Clear();
  if (path.empty()) return false;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  KeywordScanner scanner(fields);
  std::array<char, kTemplateBlockSize> block;
  for (;;) {
    const size_t read = std::fread(block.data(), 1, block.size(), file.get());
    scanner.Feed(std::string_view(block.data(), read));
    if (read < block.size()) break;
  }
  scanner.Finish();
  return true;
}

bool IsRefusedTemplateName(std::string_view name) {
  if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos) {
    return true;
  }
  if (name.find("..") != std::string_view::npos) return true;
  const bool has_drive = name.size() >= 2 && name[1] == ':' &&
                         ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  return has_drive;
}

}  // namespace vz::outputs
