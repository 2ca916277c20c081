// The database context: created once at start-up and used by every record
// operation until the process ends, shared with the screen runtime's own
// context so that windows and program see the same files.
//
// OpenDatabaseContext creates the context (103 descriptions), describes every
// file, links the context to the screen runtime's ("HFCTX" through the screen
// bridge) and opens the analysis "..\HSF\vestra.wdd". A failure of the link or
// of the analysis is shown as an error box and the function returns; the
// program goes on. The engine settings are two steps around the reading of
// the parameter file. This file needs the screen bridge (library vz_screen);
// the rest of vz_db does not, so it lives in the library vz_db_context.
#ifndef VZ_SRC_DB_CONTEXT_H_
#define VZ_SRC_DB_CONTEXT_H_

#include <cstdint>
#include <string_view>

namespace vz::db {

inline constexpr std::string_view kAnalysisPath = "..\\HSF\\vestra.wdd";
inline constexpr int32_t kDescriptionCount = 103;
inline constexpr int16_t kDefaultSecurityLevel = 2;
inline constexpr int32_t kLockAttempts = 10;

// Creates the context, describes the files, shares the screen runtime's
// context and opens the analysis, in that order.
void OpenDatabaseContext();

// Before the parameter file is read: the placeholder directory "D:\VESTRA"
// maps to "?", the engine's own designation.
// REQUIRES: OpenDatabaseContext() has run.
void MapPlaceholderDirectory();

// After the parameter file is read: closes every file, opens the placeholder's
// files in data_directory ("" when the parameter file gave none), then
// personal mode, the security level, no duplicate, transaction, journal or
// replication management, errors ignored, 10 attempts on a lock and the
// engine's lock message only after one attempt more than are made.
// REQUIRES: OpenDatabaseContext() has run.
void ApplyEngineSettings(std::string_view data_directory,
                         int16_t security_level = kDefaultSecurityLevel);

}  // namespace vz::db

#endif  // VZ_SRC_DB_CONTEXT_H_
