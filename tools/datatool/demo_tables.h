// The invented reference data of the demo installation: family names, first
// names, streets, towns with their postcodes, professions grouped in
// families, matrimonial regimes and the rubric catalogue. Texts are UTF-8
// here (readable sources); the generator turns them into cp1252 once.
//
// Every table is a fixed array that lives for the whole program; the
// accessors hand out spans over them. Nothing here fails.
#ifndef VZ_TOOLS_DATATOOL_DEMO_TABLES_H_
#define VZ_TOOLS_DATATOOL_DEMO_TABLES_H_

#include <span>

namespace vz::datatool {

struct Town {
  const char* name;      // upper case, as written on an envelope
  const char* postcode;  // 5 digits
};

struct Profession {
  const char* code;   // 5 characters: family (2) + number (3); "000" names the family
  const char* label;  // at most 30 characters
};

struct CodeLabel {
  const char* code;   // 5 characters
  const char* label;  // at most 30 characters
};

std::span<const char* const> FamilyNames();
std::span<const char* const> MaleFirstNames();
std::span<const char* const> FemaleFirstNames();
std::span<const char* const> Streets();             // "rue des Lilas" (without number)
std::span<const char* const> AddressComplements();  // "Résidence Les Pins"
std::span<const Town> Towns();
std::span<const Profession> Professions();        // families first in each group, in code order
std::span<const CodeLabel> MatrimonialRegimes();  // ANNEXE records
std::span<const CodeLabel> RubricCatalogue();     // RUBRIQUE records, in code order

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_DEMO_TABLES_H_
