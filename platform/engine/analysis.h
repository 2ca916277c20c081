// The analysis: the engine's list of files, where the analysis places them,
// their default physical names and their keys.
//
// The analysis file is a cp1252 text file of lines (docs/analysis.md):
//
//   VZANALYSIS 1
//   FILE <NAME> <directory> <physical-name>
//   KEY <KEYNAME> <field:width>... [SLOT <field>] [NOPAD]
//
// ParseAnalysis never throws: a text it cannot parse gives an error naming
// the line and the reason, and no analysis. The parsed Analysis is a plain
// value owned by the caller (the engine's shared store keeps one).
#ifndef VZ_PLATFORM_ENGINE_ANALYSIS_H_
#define VZ_PLATFORM_ENGINE_ANALYSIS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz::engine {

// One piece of a key: the characters of a text field, cut (and padded with
// blanks unless the key says NOPAD) to `width`. Width 0 means the field's
// whole capacity (its size less the length byte).
struct KeyComponent {
  int field = 0;  // 1-based field number in record order
  int width = 0;
};

struct KeyRule {
  std::string name;  // as written in the analysis; matched without regard to case
  std::vector<KeyComponent> components;
  int slot_field = 0;  // 1-based described field holding the key, 0 when none
  bool no_pad = false;

  // A canonical one-line text of the rule, stored with each data file so that
  // a change of the analysis is noticed ("CODCLI 1:2 2:6 3:1 SLOT 4").
  std::string Signature() const;
};

struct FileEntry {
  std::string name;           // upper case, at most 8 characters
  std::string directory;      // as written, e.g. "D:\VESTRA"
  std::string physical_name;  // default physical name, as written
  std::vector<KeyRule> keys;  // in analysis order (first key, second key...)

  // The index of the key called `key_name` (any case), or -1.
  int FindKey(std::string_view key_name) const;
};

struct Analysis {
  std::vector<FileEntry> files;

  // The file called `name` (any case), or nullptr.
  const FileEntry* FindFile(std::string_view name) const;
};

struct AnalysisError {
  int line = 0;  // 1-based; 0 when the whole text is at fault (e.g. empty)
  std::string message;
};

// Limits that keep hostile analyses harmless.
inline constexpr int kMaxFileNameLength = 8;
inline constexpr int kMaxKeysPerFile = 16;
inline constexpr int kMaxComponentsPerKey = 16;
inline constexpr int kMaxFieldNumber = 4096;
inline constexpr int kMaxComponentWidth = 255;
inline constexpr std::size_t kMaxAnalysisBytes = 16 * 1024 * 1024;

// Parses the text of an analysis file. On failure returns nullopt and fills
// `error` (when given).
std::optional<Analysis> ParseAnalysis(std::string_view text, AnalysisError* error);

// Reads and parses the analysis file at `path` (a path of this system).
std::optional<Analysis> LoadAnalysis(const std::string& path, AnalysisError* error);

// True when `name` can be used as a physical file name: not empty, at most 64
// characters, no path separator, no control character, not "." or "..".
bool IsValidPhysicalName(std::string_view name);

// `prefix` followed by the decimal number ("k" and 2 give "k2").
std::string Numbered(std::string_view prefix, long long number);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_ANALYSIS_H_
