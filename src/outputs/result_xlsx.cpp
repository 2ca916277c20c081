// The XLSX of a result list, and the export of both files (result_export.h).
#include <xlsxwriter.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/os/cp1252.h"
#include "platform/os/paths.h"
#include "src/config/program_settings.h"
#include "src/db/query_code.h"
#include "src/outputs/result_export.h"
#include "src/util/replacing_file.h"
#include "src/util/thousands.h"

namespace vz::outputs {
namespace {

constexpr char kSheetName[] = "Clients retenus";
constexpr char kAmountFormat[] = "#,##0";
constexpr char kDateFormat[] = "dd/mm/yyyy";
constexpr double kTextColumnWidth = 18;
constexpr double kAmountColumnWidth = 14;

struct Formats {
  lxw_format* title = nullptr;
  lxw_format* amount = nullptr;
  lxw_format* date = nullptr;
};

bool ReadDate(std::string_view value, lxw_datetime& date) {
  if (value.size() != 8 || value.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  const int number = std::atoi(std::string(value).c_str());
  date = {number / 10000, (number / 100) % 100, number % 100, 0, 0, 0};
  return date.year > 0 && date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= 31;
}

// One cell; false when libxlsxwriter refuses it.
bool WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, ValueKind kind,
               const std::string& value, const Formats& formats) {
  if (value.empty()) return true;
  switch (kind) {
    case ValueKind::kAmount:
    case ValueKind::kWholeNumber: {
      char* end = nullptr;
      const double number = std::strtod(value.c_str(), &end);
      if (end && *end == '\0') {
        return worksheet_write_number(sheet, row, column, number, formats.amount) ==
               LXW_NO_ERROR;
      }
      break;
    }
    case ValueKind::kDate: {
      lxw_datetime date{};
      if (ReadDate(value, date)) {
        return worksheet_write_datetime(sheet, row, column, &date, formats.date) == LXW_NO_ERROR;
      }
      break;
    }
    case ValueKind::kText:
      break;
  }
  return worksheet_write_string(sheet, row, column, os::Utf8(value).c_str(), nullptr) ==
         LXW_NO_ERROR;
}

bool FillSheet(lxw_workbook* book, const ResultList& list) {
  lxw_worksheet* sheet = workbook_add_worksheet(book, kSheetName);
  if (!sheet) return false;
  Formats formats;
  formats.title = workbook_add_format(book);
  format_set_bold(formats.title);
  formats.amount = workbook_add_format(book);
  format_set_num_format(formats.amount, kAmountFormat);
  formats.date = workbook_add_format(book);
  format_set_num_format(formats.date, kDateFormat);
  bool ok = true;
  for (size_t c = 0; c < list.columns.size(); ++c) {
    const auto column = static_cast<lxw_col_t>(c);
    const bool number = list.columns[c].kind != ValueKind::kText;
    worksheet_set_column(sheet, column, column, number ? kAmountColumnWidth : kTextColumnWidth,
                         nullptr);
    ok = worksheet_write_string(sheet, 0, column, os::Utf8(list.columns[c].title).c_str(),
                                formats.title) == LXW_NO_ERROR &&
         ok;
  }
  worksheet_freeze_panes(sheet, 1, 0);
  for (size_t r = 0; r < list.rows.size() && ok; ++r) {
    const auto row = static_cast<lxw_row_t>(r + 1);
    for (size_t c = 0; c < list.columns.size() && c < list.rows[r].size(); ++c) {
      ok = WriteCell(sheet, row, static_cast<lxw_col_t>(c), list.columns[c].kind,
                     list.rows[r][c], formats) &&
           ok;
    }
  }
  return ok;
}

// A path for a message (cp1252), absolute: native names are UTF-8, but a data
// directory written in the parameter file may keep its cp1252 bytes.
std::string ShownPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  const std::string native = error ? path : absolute.lexically_normal().string();
  const std::string converted = os::Cp1252(native);
  return os::Utf8(converted) == native ? converted : native;
}

std::string NotWritten(const std::string& path) {
  return os::Cp1252("Le fichier ") + ShownPath(path) +
         os::Cp1252(" n'a pas pu être écrit. Vérifiez que le dossier existe, que vous pouvez y "
                    "écrire et que le fichier n'est pas ouvert dans un tableur.");
}

}  // namespace

bool WriteResultXlsx(const ResultList& list, const std::string& final_path) {
  util::ReplacingFile file(final_path);
  if (!file.ok()) return false;
  // The library writes its own file: the temporary one, reopened and
  // truncated; Commit() then syncs it and renames it over the final name.
  lxw_workbook* book = workbook_new(file.temporary_path().c_str());
  if (!book) return false;
  const bool filled = FillSheet(book, list);
  const bool closed = workbook_close(book) == LXW_NO_ERROR;
  return filled && closed && file.Commit();
}

ExportOutcome ExportResultList(const ResultList& list, std::string_view query_code) {
  ExportOutcome outcome;
  if (!db::IsUsableQueryCode(query_code)) {
    outcome.message = db::QueryCodeRefusal(query_code, "rien n'est exporté");
    return outcome;
  }
  if (list.rows.empty()) {
    outcome.message = list.problem.empty()
                          ? os::Cp1252("La dernière sélection de cette requête ne retient aucun "
                                       "client : rien n'est exporté.")
                          : list.problem;
    return outcome;
  }
  const std::string data = os::ToNativePath(config::DataDirectory());
  const std::string folder =
      data.empty() ? std::string(kExportsFolder) : os::JoinPath(data, kExportsFolder);
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  const std::string csv = os::JoinPath(folder, std::string(query_code) + ".csv");
  const std::string xlsx = os::JoinPath(folder, std::string(query_code) + ".xlsx");
  if (!util::ReplaceFileWithBytes(csv, ResultCsv(list))) {
    outcome.message = NotWritten(csv);
    return outcome;
  }
  if (!WriteResultXlsx(list, xlsx)) {
    outcome.message = NotWritten(xlsx) + os::Cp1252(" Le fichier ") + ShownPath(csv) +
                      os::Cp1252(" a bien été écrit.");
    return outcome;
  }
  outcome.ok = true;
  outcome.message = os::Cp1252("Liste exportée (") + SelectedCountText(list.rows.size()) +
                    ") : " + ShownPath(csv) + " et " + ShownPath(xlsx) + ".";
  if (!list.problem.empty()) outcome.message += " " + list.problem;
  return outcome;
}

}  // namespace vz::outputs
