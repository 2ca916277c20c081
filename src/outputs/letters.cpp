#include "src/outputs/letters.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "platform/os/contained_path.h"
#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "src/config/program_settings.h"
#include "src/db/layouts/interfa.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/outputs/letter_fields.h"
#include "src/outputs/letter_identity.h"
#include "src/outputs/letter_rubrics.h"
#include "src/outputs/letter_values.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/selection/rubric_tables.h"
#include "src/util/blanks.h"
#include "src/util/number_text.h"

namespace vz::outputs {
namespace {

constexpr std::string_view kTemplateField = "Nom_Lettre";
constexpr std::string_view kSelectedFile = "SELECTES";
constexpr std::string_view kPostcodeKey = "CODPTT";
constexpr std::string_view kInterfaceFile = "INTERFA";
constexpr std::string_view kKeywordKey = "MOTCLEF";
constexpr std::string_view kLetterRecordMark = "EX**";
constexpr std::string_view kMergeCommand = "Execute,BOUTON1.CLIC";
constexpr std::string_view kLettersFolder = "LETTRES";

// Everything one run needs, allocated once.
struct LetterRun {
  std::unique_ptr<selection::WorkTables> tables = std::make_unique<selection::WorkTables>();
  std::unique_ptr<LetterFieldList> fields = std::make_unique<LetterFieldList>();
  std::unique_ptr<LetterValues> values = std::make_unique<LetterValues>();
  LetterPersons persons;
  std::string text;  // keyword and line text being written
};

std::string TemplateName() {
  const std::string typed = screen::GetFieldValue(kTemplateField, screen::kWholeValue);
  return util::TrimBlanks(util::TrimBlanks(typed, util::kTrimLeading), util::kTrimTrailing);
}

std::string TemplatePath(const std::string& name) {
  if (name.empty()) return {};
  const std::string directory = os::ToNativePath(config::DataDirectory());
  return directory.empty() ? name : os::JoinPath(directory, name);
}

// A template, the letters folder or one of its folders planted as a link to
// somewhere outside the data directory: the letters would read or write
// there. "" when everything stays inside.
std::string OutsideDataDirectoryRefusal(const std::string& name) {
  const std::string data = os::ToNativePath(config::DataDirectory());
  const std::string base = data.empty() ? std::string(".") : data;
  // The window gives the name in cp1252; the file may be named in UTF-8.
  if (!name.empty() && (!os::StaysInside(base, TemplatePath(name)) ||
                        !os::StaysInside(base, TemplatePath(os::Utf8(name))))) {
    return "Le modèle de lettre " + os::Utf8(name) +
           " est un lien vers un fichier hors du répertoire des données : aucune lettre n'est "
           "produite.";
  }
  const std::string letters = os::JoinPath(base, std::string(kLettersFolder));
  bool inside = os::StaysInside(base, letters);
  std::error_code ec;
  for (std::filesystem::directory_iterator it(letters, ec), end; inside && !ec && it != end;
       it.increment(ec)) {
    inside = os::StaysInside(base, it->path().string());
  }
  if (inside) return "";
  return "Le dossier des lettres " + letters +
         " (ou l'un de ses dossiers) mène hors du répertoire des données : aucune lettre n'est "
         "produite.";
}

void ComputeValues(std::string_view client_code, LetterRun& run) {
  LetterValues& values = *run.values;
  const LetterFieldList& fields = *run.fields;
  values.Clear();
  run.persons.Load(client_code, run.tables->address);
  // Keywords of no family come first in the list and name nothing.
  for (int i = 0; i < fields.count() && FamilyRank(fields.At(i)) == 0; ++i) values.Append("");
  if (fields.HasFamily(1)) AppendIdentityValues(fields, run.persons, run.tables->address, values);
  for (int rank = 2; rank <= kFamilyCount; ++rank) {
    AppendRubricValues(rank, fields, client_code, *run.tables, values);
  }
}

void DeleteLetterRecords() {
  const db::InterfaceRecord record = db::CurrentInterface();
  db::Hlitrecherche(kInterfaceFile, kKeywordKey, kLetterRecordMark);
  while (!db::Hendehors() &&
         record.Keyword().substr(0, kLetterRecordMark.size()) == kLetterRecordMark) {
    db::Hsupprime(kInterfaceFile);
    db::Hlitsuivant(kInterfaceFile, kKeywordKey);
  }
}

void WriteLetterRecords(LetterRun& run) {
  db::InterfaceRecord record = db::CurrentInterface();
  std::memset(record.data, 0, db::RecordBufferSize(db::FileId::INTERFA));
  for (int i = 0; i < run.fields->count(); ++i) {
    run.text.assign(kLetterRecordMark);
    run.text.append(run.fields->At(i));
    record.SetKeyword(run.text);
    run.text.assign(run.values->At(i));
    run.text.push_back('\t');
    record.SetLineText(run.text);
    db::Hajoute(kInterfaceFile);
  }
}

void BuildLetterData(std::string_view client_code, LetterRun& run) {
  ComputeValues(client_code, run);
  DeleteLetterRecords();
  WriteLetterRecords(run);
  screen::SendCommand(kMergeCommand);
}

}  // namespace

void ProduceLetters() {
  const std::string name = TemplateName();
  if (IsRefusedTemplateName(name)) {
    screen::SendCommand(
        os::Cp1252("Erreur,Le modèle de lettre doit être un fichier du répertoire des données."));
    return;
  }
  const std::string refusal = OutsideDataDirectoryRefusal(name);
  if (!refusal.empty()) {
    screen::SendCommand(os::Cp1252("Erreur," + refusal));
    return;
  }
  LetterRun run;
  std::string too_costly;
  ReadLetterFields(TemplatePath(name), *run.fields, &too_costly);
  if (!too_costly.empty()) {
    screen::SendCommand(os::Cp1252("Erreur," + too_costly));
    return;
  }
  if (run.fields->dropped_count() > 0) {
    screen::SendCommand(os::Cp1252("info,La lettre contient plus de ") +
                        util::IntToText(kMaxLetterFields, 0) +
                        os::Cp1252(" champs : les suivants resteront vides."));
  }
  run.fields->Sort();

  selection::FixedText<db::SelectedRecord::kClientCodeWidth> client_code;
  const db::SelectedRecord selected = db::CurrentSelected();
  for (db::Hlitpremier(kSelectedFile, kPostcodeKey); !db::Hendehors();
       db::Hlitsuivant(kSelectedFile, kPostcodeKey)) {
    client_code.assign(selected.ClientCode());
    BuildLetterData(client_code.view(), run);
  }
}

}  // namespace vz::outputs
