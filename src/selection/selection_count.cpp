#include "src/selection/selection_count.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/os/cp1252.h"
#include "src/config/parameter_file.h"
#include "src/config/program_settings.h"
#include "src/db/file_error_report.h"
#include "src/db/query_code.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/screen/bridge.h"
#include "src/selection/client_pass.h"
#include "src/selection/criteria_loading.h"
#include "src/selection/expansion.h"
#include "src/selection/merge.h"
#include "src/selection/selection_run_progress.h"

namespace vz::selection {
namespace {

using Codes = std::vector<std::string>;

constexpr std::string_view kClientFile = "CLIENT";

class KeptClients : public PassedClients {
 public:
  explicit KeptClients(Codes& codes) : codes_(codes) {}
  void Take(std::string_view client_code) override { codes_.emplace_back(client_code); }

 private:
  Codes& codes_;
};

class CountedClients : public PassedClients {
 public:
  void Take(std::string_view /*client_code*/) override { ++count_; }
  int64_t count() const { return count_; }

 private:
  int64_t count_ = 0;
};

// One pass over the client file under the progress window.
void Pass(const QueryCriteria& criteria, WorkTables& tables, PassedClients& passed) {
  OpenSelectionProgress();
  EvaluateClients(criteria, tables, passed);
  screen::SendCommand("Ferme");
}

// Both inputs are ascending and hold each code once, as a pass gives them.
Codes Combine(const Codes& first, const Codes& second, MergeOperator op) {
  Codes out;
  if (op == MergeOperator::kUnion) {
    std::set_union(first.begin(), first.end(), second.begin(), second.end(),
                   std::back_inserter(out));
  } else {
    std::set_intersection(first.begin(), first.end(), second.begin(), second.end(),
                          std::back_inserter(out));
  }
  return out;
}

// Evaluates saved queries: an expanded token list is read group by group,
// each elementary query evaluated once however often it appears.
class SavedQueries {
 public:
  SavedQueries(WorkTables& tables, QueryCriteria& criteria)
      : tables_(tables), criteria_(criteria) {}

  // The clients the saved query `code` selects; empty when its expansion is
  // refused (the run's message has been shown).
  std::optional<Codes> Evaluate(std::string_view code) {
    auto list = std::make_unique<TokenList>();
    if (ExpandQuery(code, *list) != ExpansionResult::kExpanded) return std::nullopt;
    int at = 1;
    return Operand(*list, at);
  }

 private:
  std::optional<Codes> Operand(const TokenList& list, int& at) {
    if (at > list.count) return std::nullopt;
    const std::string token = list.Token(at++);
    if (token.starts_with("(")) {
      std::optional<Codes> first = Operand(list, at);
      const std::string op = list.Token(at++);
      std::optional<Codes> second = first ? Operand(list, at) : std::nullopt;
      if (!second || list.Token(at++) != kGroupCloser) return std::nullopt;
      return Combine(*first, *second, OperatorFromToken(op));
    }
    if (IsStructureToken(token)) return std::nullopt;
    auto known = known_.find(token);
    if (known != known_.end()) return known->second;
    LoadCriteria(token, criteria_);
    Codes codes;
    KeptClients kept(codes);
    Pass(criteria_, tables_, kept);
    return known_.emplace(token, std::move(codes)).first->second;
  }

  WorkTables& tables_;
  QueryCriteria& criteria_;
  std::map<std::string, Codes, std::less<>> known_;
};

std::optional<int64_t> CountCombination(const config::table_param& title, WorkTables& tables,
                                        QueryCriteria& criteria) {
  const std::string& first = title[kTitleFirstOperand];
  const std::string& second = title[kTitleSecondOperand];
  if (!db::IsUsableQueryCode(first) || !db::IsUsableQueryCode(second)) {
    screen::SendCommand(
        os::Cp1252("Erreur,Choisissez les deux requêtes à combiner avant de compter."));
    return std::nullopt;
  }
  SavedQueries saved(tables, criteria);
  std::optional<Codes> first_codes = saved.Evaluate(first);
  if (!first_codes) return std::nullopt;
  std::optional<Codes> second_codes = saved.Evaluate(second);
  if (!second_codes) return std::nullopt;
  return static_cast<int64_t>(
      Combine(*first_codes, *second_codes, OperatorFromToken(title[kTitleOperator])).size());
}

}  // namespace

std::optional<int64_t> CountQueryLines(std::vector<CriteriaEntry> lines) {
  db::RecordSession& session = db::ProgramSession();
  session.ClearFileError();
  auto tables = std::make_unique<WorkTables>();
  auto criteria = std::make_unique<QueryCriteria>();
  config::table_param title;
  for (const CriteriaEntry& line : lines) {
    if (line.key == kTitleKey) config::SplitValue(line.text, title, "");
  }
  std::optional<int64_t> count;
  if (title[kTitleCombinedMark] == "C") {
    count = CountCombination(title, *tables, *criteria);
  } else {
    SetCriteria(std::move(lines), *criteria);
    CountedClients counted;
    Pass(*criteria, *tables, counted);
    count = counted.count();
  }
  db::Hferme(kClientFile);
  // A data file that could not be read gives no count: what was counted so
  // far is not the answer.
  if (session.HasFileError()) {
    const std::string message = db::FileErrorMessage(
        session.LastFileError(), os::Cp1252("le comptage est arrêté"));
    screen::SendCommand("Erreur," + message);
    config::LogRunFailure(message);
    session.ClearFileError();
    return std::nullopt;
  }
  return count;
}

}  // namespace vz::selection
