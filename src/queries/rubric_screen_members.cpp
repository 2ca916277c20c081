#include "src/queries/rubric_screen_members.h"

namespace vz::queries {
namespace {

constexpr std::string_view kOneAmountCells[] = {"VALDEB", "VALFIN"};
constexpr std::string_view kTwoAmountCells[] = {"VAL1DEB", "VAL1FIN", "VAL2DEB", "VAL2FIN"};
constexpr std::string_view kAmountAndYieldCells[] = {"VALDEB", "VALFIN", "RENDDEB", "RENDFIN"};

constexpr std::string_view kOneAmountDefault = "0\t999999999\t";
constexpr std::string_view kTwoAmountDefault = "0\t999999999\t0\t999999999\t";
constexpr std::string_view kAmountAndYieldDefault = "0\t999999999\t0\t999\t";

constexpr std::string_view kAmountBounds = "0\t999999999";
constexpr std::string_view kPercentBounds = "0\t999";
constexpr std::string_view kTwoAmountBounds = "0\t999999999\t0\t999999999";
constexpr std::string_view kTwoPercentBounds = "0\t999\t0\t999";
constexpr std::string_view kPercentDefault = "0\t999\t";
constexpr std::string_view kTwoPercentDefault = "0\t999\t0\t999\t";

constexpr FixedRubricRow kRetirementRows[] = {
    {"2000A", "Retraite estimée", kAmountBounds, kOneAmountDefault},
    {"2000B", "Rapport estimé Retraite/Revenus (en %)", kPercentBounds, kPercentDefault},
    {"2000C", "Rapport souhaité - Rapport estimé", kPercentBounds, kPercentDefault},
};

constexpr FixedRubricRow kProvidentRows[] = {
    {"3300A", "Montant capital décès", kTwoAmountBounds, kTwoAmountDefault},
    {"3300B", "Montant capital invalidité", kTwoAmountBounds, kTwoAmountDefault},
    {"3300C", "Montant cap. inv. professionnelle", kTwoAmountBounds, kTwoAmountDefault},
    {"3300D", "Montant rente décès", kTwoAmountBounds, kTwoAmountDefault},
    {"3300E", "Montant rente invalidité", kTwoAmountBounds, kTwoAmountDefault},
    {"3300F", "Montant rente inv. professionnelle", kTwoAmountBounds, kTwoAmountDefault},
    {"3300G", "Montant incapacité temporaire (IJ)", kTwoAmountBounds, kTwoAmountDefault},
    {"3300H", "Rapport capital décès/revenus", kTwoPercentBounds, kTwoPercentDefault},
    {"3300I", "Rapport capital invalidité/revenus", kTwoPercentBounds, kTwoPercentDefault},
    {"3300J", "Rapport cap. inv. prof./revenus", kTwoPercentBounds, kTwoPercentDefault},
    {"3300K", "Rapport rente décès/revenus", kTwoPercentBounds, kTwoPercentDefault},
    {"3300L", "Rapport rente invalidité/revenus", kTwoPercentBounds, kTwoPercentDefault},
    {"3300M", "Rapport rente inv. prof./revenus", kTwoPercentBounds, kTwoPercentDefault},
    {"3300N", "Rapport inc. temp./revenus", kTwoPercentBounds, kTwoPercentDefault},
};

constexpr FixedRubricRow kEstateRows[] = {
    {"SC00A", "Succession au 1er décès", kAmountBounds, kOneAmountDefault},
    {"SC00B", "Succession au 2ème décès", kAmountBounds, kOneAmountDefault},
};

constexpr RubricRowForm kOne = RubricRowForm::kOneAmount;
constexpr RubricRowForm kTwo = RubricRowForm::kTwoAmounts;
constexpr RubricRowForm kYield = RubricRowForm::kAmountAndYield;

constexpr RubricScreenMember kMembers[] = {
    {"40",
     "SEL01E",
     "---  LES REVENUS  ---",
     "revenus",
     kOne,
     {},
     kOneAmountCells,
     kOneAmountDefault},
    {"54",
     "SEL01B",
     "---  LES EMPRUNTS  ---",
     "emprunts",
     kTwo,
     {},
     kTwoAmountCells,
     kTwoAmountDefault,
     "Capital restant dû",
     "Annuités"},
    {"51", "SEL01E", "---  LES IMPOTS  ---", "", kOne, {}, kOneAmountCells, kOneAmountDefault},
    {"01",
     "SEL01E",
     "---  L'IMMOBILIER D'USAGE  ---",
     "montants",
     kOne,
     {},
     kOneAmountCells,
     kOneAmountDefault},
    {"02",
     "SEL01F",
     "---  L'IMMOBILIER DE RAPPORT  ---",
     "montants",
     kYield,
     {},
     kAmountAndYieldCells,
     kAmountAndYieldDefault},
    {"03",
     "SEL01F",
     "---  LE FONCIER  ---",
     "montants",
     kYield,
     {},
     kAmountAndYieldCells,
     kAmountAndYieldDefault},
    {"04",
     "SEL01E",
     "---  LES VALEURS MOBILIERES  ---",
     "montants",
     kOne,
     {},
     kOneAmountCells,
     kOneAmountDefault},
    {"05",
     "SEL01E",
     "---  LES LIQUIDITES  ---",
     "montants",
     kOne,
     {},
     kOneAmountCells,
     kOneAmountDefault},
    {"06",
     "SEL01E",
     "---  LES BIENS DIVERS  ---",
     "biens",
     kOne,
     {},
     kOneAmountCells,
     kOneAmountDefault},
    {"07",
     "SEL01E",
     "---  L'ASSURANCE VIE  ---",
     "montants",
     kOne,
     {},
     kOneAmountCells,
     kOneAmountDefault},
    {"20", "SEL01E", "---  LA RETRAITE  ---", "", kOne, kRetirementRows, kOneAmountCells,
     kOneAmountDefault},
    {"33", "SEL01G", "---  LA PREVOYANCE  ---", "", kTwo, kProvidentRows, kTwoAmountCells,
     kTwoAmountDefault},
    {"SC", "SEL01E", "---  LA SUCCESSION  ---", "", kOne, kEstateRows, kOneAmountCells,
     kOneAmountDefault},
};

}  // namespace

std::span<const RubricScreenMember> RubricScreenMembers() {
  return kMembers;
}

const RubricScreenMember* FindRubricScreenMember(std::string_view prefix) {
  for (const RubricScreenMember& member : kMembers) {
    if (member.prefix == prefix) return &member;
  }
  return nullptr;
}

}  // namespace vz::queries
