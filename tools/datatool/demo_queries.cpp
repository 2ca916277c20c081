// Saved queries of the demo installation: a title record and criteria per
// query, as the query screens store them, so that the query list has
// something to run. Two of them combine others.
#include <cstdio>
#include <iterator>
#include <string>

#include "tools/datatool/demo_parts.h"

namespace vz::datatool {

using vz::db::FileId;

namespace {

constexpr int kQueryPrefix = 1, kQueryNumber = 2, kCriteriaKey = 3, kLineText = 6, kQueryState = 7,
              kQueryOrigin = 8;
constexpr size_t kPieces = 5, kPieceCharacters = 51;

struct Criterion {
  const char* key;   // 12 characters
  const char* text;  // elements, each followed by a TAB
};

struct DemoQuery {
  const char* title;
  const char* explanation;
  Criterion criteria[3];
  const char* combined;  // "C\t<code1>\t<OU|ET>\t<code2>\t" for a combined query
};

constexpr DemoQuery kQueries[] = {
    {"Revenus du foyer sup\xC3\xA9rieurs \xC3\xA0 30 000",
     "Foyers imposables",
     {{"40000******2", "30000\t999999999\t"}, {"RUBRIQUE***2", "40000"}, {"RUBRIQUE***2", "0000A"}},
     ""},
    {"Propri\xC3\xA9taires bailleurs",
     "Immobilier de rapport",
     {{"02000******2", "1\t999999999\t0\t999\t"}, {"RUBRIQUE***2", "02000"}, {}},
     ""},
    {"Clients de 60 \xC3\xA0 75 ans",
     "Pr\xC3\xA9paration de la retraite",
     {{"AGECLI******", "60\t75\t"}, {"RUBRIQUE***1", "2000A"}, {}},
     ""},
    {"R\xC3\xA9gion parisienne", "", {{"CODPOST*****", "75000\t75999\t"}, {}, {}}, ""},
    {"Clients lyonnais", "", {{"VILLE*******", "LYON\t"}, {}, {}}, ""},
    {"Couples mari\xC3\xA9s", "", {{"SITFAM******", "Mari\xC3\xA9(e)\tM\t"}, {}, {}}, ""},
    {"\xC3\x89pargne liquide sup\xC3\xA9rieure \xC3\xA0 50 000",
     "",
     {{"05000******2", "50000\t999999999\t"}, {"RUBRIQUE***2", "05000"}, {}},
     ""},
    {"Emprunteurs", "", {{"54000******2", "1\t999999999\t0\t999999999\t"}, {}, {}}, ""},
    {"Professions lib\xC3\xA9rales",
     "",
     {{"FAMPRO******", "Professions lib\xC3\xA9rales\t06000\t"}, {}, {}},
     ""},
    {"Anniversaires de mars", "", {{"ANNI********", "01/03\t31/03\t"}, {}, {}}, ""},
    {"Revenus ou \xC3\xA9pargne",
     "Union de deux requ\xC3\xAAtes",
     {{}, {}, {}},
     "C\t01000001\tOU\t01000007\t"},
    {"Seniors parisiens",
     "Intersection de deux requ\xC3\xAAtes",
     {{}, {}, {}},
     "C\t01000003\tET\t01000004\t"},
};

void WriteLine(DemoOutput& out, const std::string& number, const std::string& key,
               const std::string& text) {
  RecordWriter& w = out.Start(FileId::REQUETES);
  w.Text(kQueryPrefix, "01");
  w.Text(kQueryNumber, number);
  w.Text(kCriteriaKey, key);
  const std::string cut = text.substr(0, kPieces * kPieceCharacters);
  for (size_t i = 0; i < kPieces && i * kPieceCharacters < cut.size(); ++i) {
    w.Text(kLineText, cut.substr(i * kPieceCharacters, kPieceCharacters), i);
  }
  w.Text(kQueryState, " ");
  w.Text(kQueryOrigin, "E");
  out.Emit(FileId::REQUETES);
}

}  // namespace

int LastDemoQueryNumber() {
  return static_cast<int>(std::size(kQueries));
}

int WriteQueries(DemoOutput& out) {
  int number = 0;
  for (const DemoQuery& q : kQueries) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06d", ++number);
    for (const Criterion& c : q.criteria) {
      if (c.key != nullptr) WriteLine(out, digits, c.key, Text(c.text));
    }
    std::string title = "20250115\t" + Text(q.title) + "\t" + Text(q.explanation) + "\t\t\t";
    title += q.combined[0] != '\0' ? std::string(q.combined) : "\t\t\t\t";
    WriteLine(out, digits, "TITRE*******", title);
  }
  return number;
}

}  // namespace vz::datatool
