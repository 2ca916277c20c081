// The clients a query selected (result_list.h).
#include "src/outputs/result_list.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "platform/os/whole_file.h"
#include "src/config/program_settings.h"
#include "src/db/layouts/adresses.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/code_label.h"
#include "src/db/query_code.h"
#include "src/outputs/merge_file_reader.h"
#include "src/util/text_lines.h"
#include "src/util/thousands.h"

namespace vz::outputs {
namespace {

using db::FileId;

constexpr size_t kClientCodeWidth = 9;
constexpr size_t kHouseholdWidth = 8;
constexpr std::string_view kMailingAddress = "001";
constexpr std::string_view kIdentityFamily = "00";
constexpr std::string_view kAgeCode = "0000H";
constexpr std::string_view kBirthDateCode = "0000I";
constexpr std::string_view kNoDate = "00000000";

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::vector<ResultColumn> FixedColumns() {
  return {{"CODCLI", os::Cp1252("Code client"), ValueKind::kText},
          {"NOM", os::Cp1252("Nom"), ValueKind::kText},
          {"PRENOM", os::Cp1252("Prénom"), ValueKind::kText},
          {"CP", os::Cp1252("Code postal"), ValueKind::kText},
          {"VILLE", os::Cp1252("Ville"), ValueKind::kText}};
}

ValueKind KindOf(std::string_view code) {
  if (code.substr(0, kIdentityFamily.size()) != kIdentityFamily) return ValueKind::kAmount;
  if (code == kAgeCode) return ValueKind::kWholeNumber;
  if (code == kBirthDateCode) return ValueKind::kDate;
  return ValueKind::kText;
}

// The columns of the merge file's codes, titled by RUBRIQUE.
std::vector<ResultColumn> ExtractedColumns(db::RecordSession& data,
                                           const std::vector<std::string>& codes) {
  std::map<std::string, int> uses;
  for (const auto& code : codes) ++uses[code];
  std::map<std::string, int> seen;
  std::vector<ResultColumn> columns;
  const db::RubricCatalogueRecord rubric{data.Buffer(FileId::RUBRIQUE)};
  for (const auto& code : codes) {
    std::string title;
    data.Hlitrecherche(FileId::RUBRIQUE, "CODRUBR", code);
    if (!data.Hendehors() && std::string(rubric.Prefix()) + std::string(rubric.Number()) == code) {
      title = Trimmed(rubric.Label());
    }
    if (title.empty()) title = os::Cp1252("Rubrique ") + code;
    if (uses[code] > 1) title += " (" + std::to_string(++seen[code]) + ")";
    columns.push_back({code, std::move(title), KindOf(code)});
  }
  return columns;
}

std::string StoredValue(ValueKind kind, std::string_view raw) {
  std::string value = Trimmed(raw);
  if (kind == ValueKind::kDate && value == kNoDate) value.clear();
  return value;
}

// The codes of the selection file; false when it cannot be read.
bool ReadSelectionCodes(const std::string& path, std::vector<std::string>& codes) {
  std::string bytes;
  if (!os::ReadWholeFile(path, &bytes)) return false;
  codes.reserve(static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const std::string_view line = util::TakeLine(rest);
    if (line.empty()) continue;
    codes.push_back(Trimmed(line.substr(0, kClientCodeWidth)));
  }
  return true;
}

// Reads the records of one file for a series of wanted keys that mostly
// rises (the selection file is in client-code order): from the current
// record it steps to the next ones while the wanted key is near, and searches
// otherwise. A step costs far less than a search, so 100,000 clients in code
// order are read in one walk of the file. `key_of` gives the current
// record's key, cut to the wanted keys' width.
class KeyOrderReader {
 public:
  using KeyOf = std::string (*)(uint8_t* buffer);

  KeyOrderReader(db::RecordSession& data, FileId file, std::string_view key_name, KeyOf key_of)
      : data_(data), file_(file), key_name_(key_name), key_of_(key_of) {}

  // True when the record of key `wanted` is now in the file's buffer.
  bool Find(const std::string& wanted) {
    if (!positioned_ || wanted < current_ || (at_end_ && wanted == current_)) {
      return Search(wanted);
    }
    for (int steps = 0; current_ < wanted; ++steps) {
      if (at_end_) return false;  // no record after current_, which is below wanted
      if (steps == kMostSteps) return Search(wanted);
      data_.Hlitsuivant(file_, key_name_);
      Update();
    }
    return !at_end_ && current_ == wanted;
  }

 private:
  // Beyond this many steps a search is cheaper.
  static constexpr int kMostSteps = 8;

  bool Search(const std::string& wanted) {
    data_.Hlitrecherche(file_, key_name_, wanted);
    positioned_ = true;
    current_ = wanted;  // kept as the bound when nothing follows
    Update();
    return !at_end_ && current_ == wanted;
  }

  void Update() {
    at_end_ = data_.Hendehors();
    if (!at_end_) current_ = key_of_(data_.Buffer(file_));
  }

  db::RecordSession& data_;
  const FileId file_;
  const std::string_view key_name_;
  const KeyOf key_of_;
  bool positioned_ = false;
  bool at_end_ = false;
  std::string current_;
};

std::string ClientKey(uint8_t* buffer) {
  return Trimmed(db::ClientRecord{buffer}.Codcli());
}

std::string MailingAddressKey(uint8_t* buffer) {
  return std::string(
      db::AddressRecord{buffer}.Codadr().substr(0, kHouseholdWidth + kMailingAddress.size()));
}

// Name, first name, postcode and city of a client into row[1..4].
class IdentityReader {
 public:
  explicit IdentityReader(db::RecordSession& data)
      : clients_(data, FileId::CLIENT, "CODCLI", ClientKey),
        addresses_(data, FileId::ADRESSES, "CODADR", MailingAddressKey),
        client_(data.Buffer(FileId::CLIENT)),
        address_(data.Buffer(FileId::ADRESSES)) {}

  void Fill(const std::string& code, std::vector<std::string>& row) {
    if (code.size() != kClientCodeWidth) return;
    if (clients_.Find(code)) {
      row[1] = Trimmed(client_.Name());
      row[2] = Trimmed(client_.IdentityTextB());
      row[3] = Trimmed(client_.Postcode());
      row[4] = Trimmed(client_.City());
    }
    const std::string household = code.substr(0, kHouseholdWidth);
    if (household != household_) ReadMailingAddress(household);
    if (has_mailing_address_) {
      row[3] = postcode_;
      row[4] = city_;
    }
  }

 private:
  void ReadMailingAddress(const std::string& household) {
    household_ = household;
    has_mailing_address_ = addresses_.Find(household + std::string(kMailingAddress));
    if (has_mailing_address_) {
      postcode_ = Trimmed(address_.Postcode());
      city_ = Trimmed(address_.City());
    }
  }

  KeyOrderReader clients_;
  KeyOrderReader addresses_;
  const db::ClientRecord client_;
  const db::AddressRecord address_;
  std::string household_;
  bool has_mailing_address_ = false;
  std::string postcode_;
  std::string city_;
};

}  // namespace

std::string QueryDataFilePath(std::string_view query_code, std::string_view extension) {
  if (!db::IsUsableQueryCode(query_code)) return {};
  const std::string directory = os::ToNativePath(config::DataDirectory());
  const std::string name = std::string(query_code) + std::string(extension);
  return directory.empty() ? name : os::JoinPath(directory, name);
}

ResultList LoadResultList(db::RecordSession& data, std::string_view query_code) {
  ResultList list;
  list.columns = FixedColumns();
  std::vector<std::string> codes;
  if (!db::IsUsableQueryCode(query_code)) {
    list.problem = db::QueryCodeRefusal(query_code, "la liste des clients n'est pas lue");
    return list;
  }
  if (!ReadSelectionCodes(QueryDataFilePath(query_code, ".EXT"), codes)) {
    list.problem =
        os::Cp1252("Cette requête n'a pas encore été lancée : aucun client n'est sélectionné.");
    list.never_run = true;
    return list;
  }
  const MergeFileContents merge = ReadMergeFile(QueryDataFilePath(query_code, ".MEM"));
  const bool extracted = merge.readable && !merge.malformed && merge.line_count == codes.size();
  if (extracted) {
    for (ResultColumn& column : ExtractedColumns(data, merge.codes)) {
      list.columns.push_back(std::move(column));
    }
  } else if (!codes.empty()) {
    list.problem = os::Cp1252(
        "Les rubriques extraites ne correspondent pas à la dernière sélection : relancez "
        "l'extraction (bouton « Extraction ») pour les voir.");
  }
  IdentityReader identity(data);
  std::string_view merge_lines = merge.client_lines;
  std::vector<std::string_view> values;
  list.rows.reserve(codes.size());
  for (size_t i = 0; i < codes.size(); ++i) {
    std::vector<std::string> row(list.columns.size());
    identity.Fill(codes[i], row);
    row[0] = std::move(codes[i]);
    if (extracted) {
      TakeMergeLine(merge_lines, merge.codes.size(), values);
      for (size_t c = 0; c < values.size(); ++c) {
        const size_t at = kFixedResultColumns + c;
        row[at] = StoredValue(list.columns[at].kind, values[c]);
      }
    }
    list.rows.push_back(std::move(row));
  }
  return list;
}

std::string DisplayValue(ValueKind kind, std::string_view value) {
  switch (kind) {
    case ValueKind::kAmount:
    case ValueKind::kWholeNumber:
      return util::GroupThousands(value);
    case ValueKind::kDate:
      if (value.size() == 8) {
        return std::string(value.substr(6, 2)) + "/" + std::string(value.substr(4, 2)) + "/" +
               std::string(value.substr(0, 4));
      }
      return std::string(value);
    case ValueKind::kText:
      break;
  }
  return std::string(value);
}

void ToDisplayValues(ResultList& list) {
  for (size_t c = 0; c < list.columns.size(); ++c) {
    const ValueKind kind = list.columns[c].kind;
    if (kind == ValueKind::kText) continue;  // shown as stored
    for (auto& row : list.rows) {
      if (c < row.size()) row[c] = DisplayValue(kind, row[c]);
    }
  }
}

std::string SelectedCountText(size_t count) {
  return util::ThousandsText(static_cast<int64_t>(count)) +
         (count > 1 ? " clients retenus" : " client retenu");
}

}  // namespace vz::outputs
