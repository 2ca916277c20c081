// The merge and the selection files it reads and writes (merge_io.h), kept
// in one source file.
#include "src/selection/merge.h"

#include <cstdio>

#include "platform/os/paths.h"
#include "src/config/program_settings.h"
#include "src/db/query_code.h"
#include "src/selection/merge_io.h"

namespace vz::selection {

// ---- Selection files (merge_io.h) ----

namespace {

bool IsBlankLine(const std::string& line) {
  for (char c : line) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

}  // namespace

std::string SelectionFilePath(std::string_view query_code) {
  if (!db::IsUsableQueryCode(query_code)) return std::string();
  const std::string directory = os::ToNativePath(config::DataDirectory());
  const std::string name = std::string(query_code) + std::string(kSelectionExtension);
  return directory.empty() ? name : os::JoinPath(directory, name);
}

SelectionFileReader::SelectionFileReader(const std::string& path) {
  if (!path.empty()) file_ = std::fopen(path.c_str(), "rb");
}

SelectionFileReader::~SelectionFileReader() {
  if (file_) std::fclose(file_);
}

bool SelectionFileReader::Next(std::string& code) {
  if (!file_) return false;
  while (true) {
    code.clear();
    int c = std::getc(file_);
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
      if (c != '\r' && code.size() < kClientCodeWidth) code.push_back(static_cast<char>(c));
      c = std::getc(file_);
    }
    if (!IsBlankLine(code)) return true;
  }
}

MergeOperator OperatorFromToken(std::string_view token) {
  return token == kUnion ? MergeOperator::kUnion : MergeOperator::kIntersection;
}

bool MergeSelectionFiles(const std::string& first, const std::string& second,
                         const std::string& output, MergeOperator op) {
  SelectionFileReader a(first);
  SelectionFileReader b(second);
  SelectionFileWriter out(output);
  std::string code_a;
  std::string code_b;
  std::string last_written;
  bool has_a = a.Next(code_a);
  bool has_b = b.Next(code_b);
  bool wrote_any = false;
  auto write = [&](const std::string& code) {
    if (wrote_any && code == last_written) return;  // duplicates in an input
    out.Write(code);
    last_written = code;
    wrote_any = true;
  };
  while (has_a || has_b) {
    if (has_a && has_b && code_a == code_b) {
      write(code_a);
      has_a = a.Next(code_a);
      has_b = b.Next(code_b);
    } else if (has_a && (!has_b || code_a < code_b)) {
      if (op == MergeOperator::kUnion) write(code_a);
      has_a = a.Next(code_a);
    } else {
      if (op == MergeOperator::kUnion) write(code_b);
      has_b = b.Next(code_b);
    }
    if (op == MergeOperator::kIntersection && (!has_a || !has_b)) break;
  }
  return out.Commit();
}

int MergeGroups(TokenList& list, std::string* unwritten) {
  int merged = 0;
  while (true) {
    int closer = 0;
    for (int i = 1; i <= list.count; ++i) {
      if (list.Token(i) == kGroupCloser) {
        closer = i;
        break;
      }
    }
    if (closer == 0) return merged;
    const int g = closer - 4;
    const std::string& opener = list.Token(g);
    if (g < 1 || opener.size() < 2 || opener.front() != '(' ||
        IsStructureToken(list.Token(g + 1)) || IsStructureToken(list.Token(g + 3)) ||
        (list.Token(g + 2) != kUnion && list.Token(g + 2) != kIntersection)) {
      return -1;
    }
    const std::string combined = opener.substr(1);
    if (!MergeSelectionFiles(SelectionFilePath(list.Token(g + 1)),
                             SelectionFilePath(list.Token(g + 3)), SelectionFilePath(combined),
                             OperatorFromToken(list.Token(g + 2)))) {
      if (unwritten != nullptr) *unwritten = combined;
      return kUnwrittenGroup;
    }
    for (int i = g + 1; i + 4 <= list.count; ++i) {
      list.tokens[static_cast<size_t>(i)] = std::move(list.tokens[static_cast<size_t>(i + 4)]);
    }
    for (int i = list.count - 3; i <= list.count; ++i) list.tokens[static_cast<size_t>(i)].clear();
    list.tokens[static_cast<size_t>(g)] = combined;
    list.count -= 4;
    ++merged;
  }
}

}  // namespace vz::selection
