// Hand-made records written as the program writes them: the process-wide
// record buffer of the file is cleared, the named fields are set and the
// record is added with the record operations. Codes are the stored codes (a
// client's 9 characters: prefix, file number, person digit); texts are cp1252.
// Failures of the engine are not checked here: the tests read back what they
// rely on. Each `more` callback sets further fields before the record is
// written.
// REQUIRES: an open installation (TemporaryInstallation).
#ifndef VZ_TESTS_SUPPORT_TEST_RECORDS_H_
#define VZ_TESTS_SUPPORT_TEST_RECORDS_H_

#include <functional>
#include <string_view>

#include "src/db/file_id.h"
#include "src/db/layouts/client.h"
#include "src/db/layouts/rubric_record.h"

namespace vz::testing {

// Zeroes the process-wide record buffer of one file.
void ClearRecordBuffer(db::FileId file);

// A CLIENT record; `more` sets further fields.
void AddClient(std::string_view code9, std::string_view name,
               const std::function<void(db::ClientRecord&)>& more = {});
// The household's ADRESSES record "001" (household: prefix and file number).
void AddAddress(std::string_view household, std::string_view line1, std::string_view line2,
                std::string_view postcode, std::string_view city);
// A CLIPART record with the estate on the first and on the second death.
void AddEstate(std::string_view code9, float first_death, float second_death);
// One record of a rubric file: owner, line code, key part, amount.
// REQUIRES: `file` is a rubric file.
void AddRubric(db::FileId file, std::string_view owner, std::string_view line_code,
               std::string_view key_part, float amount,
               const std::function<void(db::RubricRecord&)>& more = {});
// A code and label record of PROFES, ANNEXE or RUBRIQUE; `code` is the prefix
// (2 characters) followed by the number.
void AddCodeLabel(db::FileId file, std::string_view code, std::string_view label);
// One REQUETES record of query `code` (prefix and number), origin "E".
void AddQueryLine(std::string_view code, std::string_view criteria_key, std::string_view text,
                  std::string_view state = " ");

}  // namespace vz::testing

#endif  // VZ_TESTS_SUPPORT_TEST_RECORDS_H_
