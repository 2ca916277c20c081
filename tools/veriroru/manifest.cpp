#include "tools/veriroru/manifest.h"

#include <charconv>

#include "tools/veriroru/database_file.h"

namespace vz::veriroru {
namespace {

constexpr std::string_view kHeader = "VERIRORU-SAUVEGARDE\t1";

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return fields;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number* out, int base = 10) {
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *out, base);
  return error == std::errc() && end == text.data() + text.size();
}

std::string Numbered(std::size_t line, const std::string& what) {
  return std::string(kManifestName) + ", ligne " + std::to_string(line) + " : " + what;
}

}  // namespace

const ManifestItem* Manifest::Find(std::string_view name) const {
  for (const ManifestItem& item : items) {
    if (item.name == name) return &item;
  }
  return nullptr;
}

std::size_t Manifest::DatabaseCount() const {
  std::size_t count = 0;
  for (const ManifestItem& item : items) count += item.kind == ItemKind::kDatabase ? 1 : 0;
  return count;
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.size() > 255) return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  }
  return true;
}

std::string ManifestText(const Manifest& manifest) {
  std::string text(kHeader);
  text += "\ndate\t" + manifest.date + "\ndonnees\t" + manifest.data_directory + "\n";
  for (const ManifestItem& item : manifest.items) {
    text += "fichier\t" + item.name + "\t" +
            (item.kind == ItemKind::kDatabase ? "base" : "parametres") + "\t" +
            std::to_string(item.size) + "\t" +
            (item.records >= 0 ? std::to_string(item.records) : "-") + "\t" + HexCrc(item.crc) +
            "\n";
  }
  text += "fin\t" + std::to_string(manifest.items.size()) + "\t" +
          HexCrc(Crc32(0, text.data(), text.size())) + "\n";
  return text;
}

bool ParseManifest(std::string_view text, Manifest* manifest, std::string* why) {
  Manifest parsed;
  std::size_t position = 0;
  std::size_t line_number = 0;
  bool ended = false;
  while (position < text.size()) {
    std::size_t end = text.find('\n', position);
    if (end == std::string_view::npos) {
      *why = Numbered(line_number + 1, "ligne coupée");
      return false;
    }
    std::string_view line = text.substr(position, end - position);
    ++line_number;
    std::vector<std::string_view> f = SplitTabs(line);
    if (ended) {
      *why = Numbered(line_number, "texte après la fin");
      return false;
    }
    if (line_number == 1) {
      if (line != kHeader) {
        *why = Numbered(1, "ce n'est pas un manifeste de sauvegarde");
        return false;
      }
    } else if (f[0] == "date" && f.size() == 2) {
      parsed.date = std::string(f[1]);
    } else if (f[0] == "donnees" && f.size() == 2) {
      parsed.data_directory = std::string(f[1]);
    } else if (f[0] == "fichier" && f.size() == 6) {
      ManifestItem item;
      item.name = std::string(f[1]);
      bool ok = IsPlainFileName(item.name) && parsed.Find(item.name) == nullptr;
      if (f[2] == "base") {
        ok = ok && ParseNumber(f[4], &item.records) && item.records >= 0;
      } else if (f[2] == "parametres") {
        item.kind = ItemKind::kParameters;
        ok = ok && f[4] == "-";
      } else {
        ok = false;
      }
      ok = ok && ParseNumber(f[3], &item.size) && f[5].size() == 8 &&
           ParseNumber(f[5], &item.crc, 16);
      if (!ok) {
        *why = Numbered(line_number, "fichier mal décrit");
        return false;
      }
      parsed.items.push_back(item);
    } else if (f[0] == "fin" && f.size() == 3) {
      std::size_t count = 0;
      uint32_t crc = 0;
      if (!ParseNumber(f[1], &count) || count != parsed.items.size() || f[2].size() != 8 ||
          !ParseNumber(f[2], &crc, 16) || crc != Crc32(0, text.data(), position)) {
        *why = Numbered(line_number, "le manifeste a été modifié ou est incomplet");
        return false;
      }
      ended = true;
    } else {
      *why = Numbered(line_number, "ligne inconnue");
      return false;
    }
    position = end + 1;
  }
  if (!ended) {
    *why = std::string(kManifestName) + " : fin absente, la sauvegarde est incomplète";
    return false;
  }
  *manifest = parsed;
  return true;
}

}  // namespace vz::veriroru
