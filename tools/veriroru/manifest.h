// The manifest of a backup folder, "MANIFESTE.TXT", written last so that a
// folder without it is an unfinished backup. One line per item, fields
// separated by a TAB, lines ended by LF:
//
//   VERIRORU-SAUVEGARDE<TAB>1
//   date<TAB>20261208-013000
//   donnees<TAB><data directory the backup was taken from>
//   fichier<TAB><name><TAB><kind><TAB><size><TAB><records><TAB><crc32>
//   ...
//   fin<TAB><number of files><TAB><crc32 of every byte before this line>
//
// <kind> is "base" for a data file (records counted; a copy in rollback-
// journal mode) or "parametres" for the parameter file (records "-").
// Names are plain file names: no '/', no control character, not "." or "..".
// The closing line makes a cut or edited manifest detectable.
//
// ParseManifest never throws: text it cannot read gives false and a French
// reason naming the line.
#ifndef VZ_TOOLS_VERIRORU_MANIFEST_H_
#define VZ_TOOLS_VERIRORU_MANIFEST_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vz::veriroru {

inline constexpr const char* kManifestName = "MANIFESTE.TXT";

enum class ItemKind { kDatabase, kParameters };

struct ManifestItem {
  std::string name;
  ItemKind kind = ItemKind::kDatabase;
  uint64_t size = 0;
  int64_t records = -1;  // -1 for the parameter file
  uint32_t crc = 0;
};

struct Manifest {
  std::string date;            // AAAAMMJJ-HHMMSS
  std::string data_directory;  // where the backup was taken from
  std::vector<ManifestItem> items;

  const ManifestItem* Find(std::string_view name) const;
  std::size_t DatabaseCount() const;  // items of kind kDatabase
};

std::string ManifestText(const Manifest& manifest);
bool ParseManifest(std::string_view text, Manifest* manifest, std::string* why);

// True for a name that may stand in a manifest and in a data directory.
bool IsPlainFileName(std::string_view name);

}  // namespace vz::veriroru

#endif  // VZ_TOOLS_VERIRORU_MANIFEST_H_
