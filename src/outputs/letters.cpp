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
#include "src/db/file_error_report.h"
#include "src/db/layouts/interfa.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/outputs/letter_fields.h"
#include "src/outputs/letter_households.h"
#include "src/outputs/letter_identity.h"
#include "src/outputs/letter_reading.h"
#include "src/outputs/letter_rubrics.h"
#include "src/outputs/letter_values.h"
#include "src/screen/bridge.h"
#include "src/screen/field_access.h"
#include "src/selection/rubric_tables.h"
#include "src/util/blanks.h"
#include "src/util/number_text.h"
#include "src/util/thousands.h"

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
constexpr std::string_view kEndCommand = "Execute,BOUTON1.FIN";
constexpr std::string_view kAbandonCommand = "Execute,BOUTON1.ABANDON";
constexpr std::string_view kProgressWindow = "EX_LETTRES";
constexpr std::string_view kQueryField = "REQUETE";
constexpr std::string_view kReadingTableCommand = "Table,Ajoute,VALEURS,";

// Everything one run needs, allocated once.
struct LetterRun {
  std::unique_ptr<selection::WorkTables> tables = std::make_unique<selection::WorkTables>();
  std::unique_ptr<LetterFieldList> fields = std::make_unique<LetterFieldList>();
  std::unique_ptr<LetterValues> values = std::make_unique<LetterValues>();
  std::unique_ptr<LetterValues> reading = std::make_unique<LetterValues>();  // for the document
  LetterPersons persons;
  HouseholdLetters households;  // one letter per household, when asked
  std::string text;  // keyword and line text being written
};

std::string TrimmedField(std::string_view field) {
  const std::string typed = screen::GetFieldValue(field, screen::kWholeValue);
  return util::TrimBlanks(util::TrimBlanks(typed, util::kTrimLeading), util::kTrimTrailing);
}

std::string TemplateName() {
  return TrimmedField(kTemplateField);
}

// The progress window of the letters, above the result window: what is being
// written and how many letters there will be.
void OpenLettersProgress(const std::string& template_name, const std::string& query,
                         int32_t total) {
  screen::SendCommand("Ouvre," + std::string(kProgressWindow));
  screen::SetFieldValue(kTemplateField, template_name);
  screen::SetFieldValue(kQueryField, query);
  screen::SetFieldValue("NBTOTAL", util::IntToText(total, 0));
}

void ShowLetterStep(int32_t number, int32_t total, std::string_view name,
                    std::string_view client_code) {
  // The merge button writes this client's letter (with one mail per
  // household it passes over the second persons).
  screen::SetFieldValue("CODCLI", client_code);
  screen::SetFieldValue(
      "INTITULE", "Lettre " + util::ThousandsText(number) + " sur " + util::ThousandsText(total));
  screen::SetFieldValue("NOM", name);
  screen::SetFieldValue("NbTraite", util::IntToText(number, 0));
  screen::SendCommand("EXECUTE,NbTraite.entree");
}

bool StopAsked() {
  screen::SendCommand("Ecran,Arret");
  return screen::IntegerReturnValue() == 1;
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
  LetterValues& reading = *run.reading;
  const LetterFieldList& fields = *run.fields;
  values.Clear();
  reading.Clear();
  run.persons.Load(client_code, run.tables->address);
  // Keywords of no family come first in the list and name nothing.
  for (int i = 0; i < fields.count() && FamilyRank(fields.At(i)) == 0; ++i) {
    values.Append("");
    reading.Append("");
  }
  if (fields.HasFamily(1)) {
    const int first = values.count();
    AppendIdentityValues(fields, run.persons, run.tables->address, values);
    const auto household = run.households.AddresseeOf(run.persons);
    for (int i = first; i < values.count(); ++i) {
      const auto both = household ? HouseholdIdentityValue(fields.At(i), *household) : std::nullopt;
      reading.Append(both ? *both : ReadingIdentityValue(fields.At(i), values.At(i)));
    }
  }
  for (int rank = 2; rank <= kFamilyCount; ++rank) {
    AppendRubricValues(rank, fields, client_code, *run.tables, values, &reading);
  }
}

// The values for reading go to the progress window's table VALEURS, one row
// "keyword TAB value" per field, which the merge button reads and empties.
void SendReadingValues(LetterRun& run) {
  for (int i = 0; i < run.fields->count(); ++i) {
    run.text.assign(kReadingTableCommand);
    run.text.append(run.fields->At(i));
    run.text.push_back('\t');
    for (char c : run.reading->At(i)) run.text.push_back(c == '\t' ? ' ' : c);
    screen::SendCommand(run.text);
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
  SendReadingValues(run);
  screen::SendCommand(kMergeCommand);
}

// A data file that is damaged, full, locked, read-only or unusable stops the
// letters: the result window's code drops the pass (the previous letters and
// PDF stay), the adviser is told which file and the failure is logged.
void StopOnFileError(bool progress_open) {
  const std::string consequence =
      os::Cp1252("les lettres sont arrêtées et les lettres précédentes sont conservées");
  const std::string message =
      db::ProgramSession().HasFileError()
          ? db::FileErrorMessage(db::ProgramSession().LastFileError(), consequence)
          : os::Cp1252("Le fichier INTERFA n'a pas pu être écrit : ") + consequence + ".";
  if (progress_open) screen::SendCommand("Ferme");
  screen::SendCommand(kAbandonCommand);
  screen::SendCommand("Erreur," + message);
  config::LogRunFailure(message);
  db::ProgramSession().ClearFileError();
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
  db::ProgramSession().ClearFileError();
  db::Hlitpremier(kSelectedFile, kPostcodeKey);
  if (db::ProgramSession().HasFileError()) return StopOnFileError(false);
  if (db::Hendehors()) {
    screen::SendCommand(os::Cp1252(
        "Erreur,Aucune personne extraite pour cette requête. Lancez d'abord la requête."));
    return;
  }
  db::Hinfogene(kSelectedFile);
  const int32_t records = db::Hnbenr();
  LetterRun run;
  run.households.Prepare();
  const int32_t total = records - static_cast<int32_t>(run.households.skipped());
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

  OpenLettersProgress(name, TrimmedField(kQueryField), total);
  selection::FixedText<db::SelectedRecord::kClientCodeWidth> client_code;
  selection::FixedText<db::SelectedRecord::kNameWidth> client_name;
  const db::SelectedRecord selected = db::CurrentSelected();
  int32_t number = 0;
  {
    // The INTERFA records of the whole run are one transaction: the merge
    // button's code reads them through the same store, and other programs
    // see the records of the last client written once the letters end (a
    // fault or a kill leaves the previous ones).
    db::RecordBatch batch(db::ProgramSession());
    for (db::Hlitpremier(kSelectedFile, kPostcodeKey); !db::Hendehors();
         db::Hlitsuivant(kSelectedFile, kPostcodeKey)) {
      client_code.assign(selected.ClientCode());
      if (run.households.Skips(client_code.view())) continue;  // in its household's letter
      client_name.assign(selected.Name());
      ShowLetterStep(++number, total, client_name.view(), client_code.view());
      BuildLetterData(client_code.view(), run);
      if (db::ProgramSession().HasFileError()) break;
      if (StopAsked()) break;
    }
    // The walk ends at the last record, at a stop, or at a fault of a file.
    if (db::ProgramSession().HasFileError()) {
      batch.Cancel();
      return StopOnFileError(true);
    }
    if (!batch.End()) return StopOnFileError(true);
  }
  screen::SendCommand("Ferme");
  // The result window's code puts the letters in place and tells the adviser.
  screen::SendCommand(kEndCommand);
}

}  // namespace vz::outputs
