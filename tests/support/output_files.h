// What an end-to-end run of the outputs leaves on disk, read back for tests:
// a generated demo installation laid into a test installation, the lines of
// the selection and merge files, the SELECTES records of a query as the
// record engine gives them, the files of a folder and the pages of a PDF.
//
// Failures to generate or read are test failures (GoogleTest), and the
// functions then return what they could read (often nothing).
#ifndef VZ_TESTS_SUPPORT_OUTPUT_FILES_H_
#define VZ_TESTS_SUPPORT_OUTPUT_FILES_H_

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_installation.h"

namespace vz::testing {

// Fills `installation` with a generated demo installation (clients, saved
// queries, the sample letter and every file of `templates_folder` in the
// data directory) and the screen project. The parameter file names the data
// directory relative to the program directory, as the suite writes it.
// REQUIRES: nothing was written into the installation yet.
void GenerateDemoInstallation(const TestInstallation& installation, int64_t clients, uint64_t seed,
                              const std::filesystem::path& templates_folder,
                              const std::filesystem::path& project_folder);

// The font configuration library keeps a cache for the whole process, which
// the leak checker of a sanitizer build reports when a program that drew a
// PDF ends: the programs started from this process are told to ignore it
// (LSAN_OPTIONS, with a suppression file in the installation).
void IgnoreFontCacheInLeakReports(const TestInstallation& installation);

// Moves a generated installation's records to the server `conninfo` names
// (libpq's connection string): CONNEXIONBASE written, every file copied as
// `vzdata copy ... to-server` copies it, then BASEDONNEES=POSTGRESQL, so that
// the program started on the installation works on the server. This process
// uses that store from then on too (SelectedRecords reads the server).
// False, with a test failure, when a step fails.
bool MoveDemoInstallationToServer(const TestInstallation& installation,
                                  const std::string& conninfo);

// Makes this process use the store the installation's parameter file names.
void UseInstallationStoreInThisProcess(const TestInstallation& installation);

// The data directory of a generated installation.
std::filesystem::path DemoDataDirectory(const TestInstallation& installation);

// The lines of a text file without their ends (CR LF or LF).
std::vector<std::string> FileLines(const std::filesystem::path& path);

// Every SELECTES record of `query` (40 bytes each, as stored) in postcode
// order (key CODPTT), read through a record engine context of this process.
// REQUIRES: no other engine context of this process is in use.
std::vector<std::string> SelectedRecords(const TestInstallation& installation,
                                         std::string_view query);

// The names of the regular files of a folder (empty when it does not exist).
std::set<std::string> FileNames(const std::filesystem::path& folder);

// The number of pages of a PDF file's bytes (its "/Type /Page" objects).
int PdfPageCount(std::string_view pdf);

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_OUTPUT_FILES_H_
