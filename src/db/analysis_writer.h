// Writes the analysis file, the engine's description of the 103 database
// files, from the catalogue: every file placed in the placeholder directory
// "D:\VESTRA" under its own name as physical name, with its composite keys
// (the program's keys with the record field that holds each, then the keys
// that exist in the engine only, such as SELECTES "CODPTT").
//
// Format (cp1252 text, one item per line, words separated by blanks):
//   VZANALYSIS 1
//   FILE <NAME> <directory> <physical-name>
//   KEY <KEYNAME> <field>:<width> ... [SLOT <field>] [NOPAD]
// The data tool writes an installation's HSF/vestra.wdd with it. Writing
// fails (false) only when the file cannot be written; a partial file is never
// left in place of a good one.
#ifndef VZ_SRC_DB_ANALYSIS_WRITER_H_
#define VZ_SRC_DB_ANALYSIS_WRITER_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace vz::db {

// The directory in which the analysis places every file.
inline constexpr std::string_view kPlaceholderDirectory = "D:\\VESTRA";

// The whole analysis text, lines ending with "\n".
std::string AnalysisText();

// Writes AnalysisText() to path (through a temporary file beside it,
// src/util/replacing_file.h); false when it could not be replaced.
bool WriteAnalysisFile(const std::filesystem::path& path);

}  // namespace vz::db

#endif  // VZ_SRC_DB_ANALYSIS_WRITER_H_
