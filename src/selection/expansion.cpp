#include "src/selection/expansion.h"

#include "platform/os/cp1252.h"
#include "src/config/parameter_file.h"
#include "src/db/layouts/requetes.h"
#include "src/db/query_code.h"
#include "src/db/record_ops.h"
#include "src/screen/bridge.h"

namespace vz::selection {
namespace {

std::string Cut(std::string_view text, size_t width) {
  return std::string(text.substr(0, width));
}

// True when the group whose opener would be "(" + code encloses position
// `current`: the combined query would contain itself.
bool EnclosedBySameQuery(const TokenList& list, int current, std::string_view code) {
  int depth = 0;
  for (int i = current - 1; i >= 1; --i) {
    const std::string& token = list.Token(i);
    if (token == kGroupCloser) {
      ++depth;
    } else if (!token.empty() && token.front() == '(') {
      if (depth == 0) {
        if (std::string_view(token).substr(1) == code) return true;
      } else {
        --depth;
      }
    }
  }
  return false;
}

void ShowError(std::string_view utf8_text) {
  screen::SendCommand(os::Cp1252("Erreur,") + os::Cp1252(utf8_text));
}

}  // namespace

const std::string& TokenList::Token(int i) const {
  static const std::string kEmpty;
  if (i < 1 || i > count || i > kTokenCapacity) return kEmpty;
  return tokens[static_cast<size_t>(i)];
}

void TokenList::Clear() {
  for (std::string& token : tokens) token.clear();
  count = 0;
}

bool IsStructureToken(std::string_view token) {
  return (!token.empty() && token.front() == '(') || token == kGroupCloser || token == kUnion ||
         token == kIntersection;
}

std::string PaddedQueryCode(std::string_view query_code) {
  std::string code = Cut(query_code, kQueryCodeWidth);
  code.resize(kQueryCodeWidth, ' ');
  return code;
}

bool ReadTitleRecord(std::string_view query_code) {
  const std::string code = PaddedQueryCode(query_code);
  db::Hlitrecherche("requetes", "codreq", code + std::string(kTitleKey));
  if (db::Hendehors()) return false;
  db::QueryLineRecord record = db::CurrentQueryLine();
  std::string found = std::string(record.Prefix());
  found.resize(2, ' ');
  found += record.Number();
  found.resize(kQueryCodeWidth, ' ');
  return found == code && record.CriteriaKey() == kTitleKey;
}

ExpansionResult ExpandQuery(std::string_view query_code, TokenList& list) {
  list.Clear();
  list.tokens[1] = Cut(query_code, kQueryCodeWidth);
  list.count = 1;
  int current = 1;
  config::table_param title;
  do {
    const std::string code = list.tokens[static_cast<size_t>(current)];
    config::ClearTable(title);
    if (ReadTitleRecord(code)) {
      config::SplitValue(db::CurrentQueryLine().LineText(), title, "\t");
    }
    if (title[kTitleCombinedMark] == "C") {
      if (EnclosedBySameQuery(list, current, code)) {
        ShowError("La requête combinée " + os::Utf8(code) +
                  " se contient elle-même : la sélection est impossible !");
        return ExpansionResult::kCycle;
      }
      const std::string first = Cut(title[kTitleFirstOperand], kQueryCodeWidth);
      const std::string second = Cut(title[kTitleSecondOperand], kQueryCodeWidth);
      if (!db::IsUsableQueryCode(first) || !db::IsUsableQueryCode(second)) {
        ShowError("La requête combinée " + os::Utf8(code) +
                  " nomme une requête invalide : la sélection est impossible !");
        return ExpansionResult::kBadOperand;
      }
      if (list.count + 4 >= kTokenCapacity) {
        list.count += 4;
        ShowError("Trop de combinaisons de requêtes !");
        return ExpansionResult::kTooManyCombinations;
      }
      list.count += 4;
      for (int i = list.count; i > current + 4; --i) {
        list.tokens[static_cast<size_t>(i)] = std::move(list.tokens[static_cast<size_t>(i - 4)]);
      }
      list.tokens[static_cast<size_t>(current)] = Cut("(" + code, kTokenWidth);
      list.tokens[static_cast<size_t>(current + 1)] = first;
      list.tokens[static_cast<size_t>(current + 2)] =
          std::string(title[kTitleOperator] == kUnion ? kUnion : kIntersection);
      list.tokens[static_cast<size_t>(current + 3)] = second;
      list.tokens[static_cast<size_t>(current + 4)] = std::string(kGroupCloser);
    }
    ++current;
    while (current <= list.count && IsStructureToken(list.Token(current))) ++current;
  } while (current < list.count);
  return ExpansionResult::kExpanded;
}

}  // namespace vz::selection
