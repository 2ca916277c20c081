#include "project/letter_keywords.h"

#include <array>

#include "platform/os/cp1252.h"

namespace vz::project {
namespace {

constexpr std::array<LetterKeyword, 24> kKeywords = {{
    {"#0000M", "civilité en toutes lettres", "Madame"},
    {"#0000A", "nom", "DUPONT"},
    {"#0000B", "prénom", "Anne"},
    {"#0000C1", "ligne 1 de l'adresse", "12 rue des Lilas"},
    {"#0000C2", "ligne 2 de l'adresse", "Bâtiment B"},
    {"#0000D", "code postal", "75011"},
    {"#0000E", "ville", "PARIS"},
    {"#0000F", "champ 11 de la fiche client", ""},
    {"#0000G", "champ 12 de la fiche client", ""},
    {"#0000H1", "âge de la personne 1", "56"},
    {"#0000H2", "âge de la personne 2", "58"},
    {"#0000I1", "date de naissance de la personne 1", "18/05/1968"},
    {"#0000I2", "date de naissance de la personne 2", "02/11/1966"},
    {"#0000J", "situation de famille", "Mariée"},
    {"#0000K", "régime matrimonial", "Communauté réduite aux acquêts"},
    {"#0000L1", "profession de la personne 1", "Ingénieur"},
    {"#0000L2", "profession de la personne 2", "Médecin"},
    {"#4000011", "total des revenus (le client et la moitié du commun)", "45 210"},
    {"#4000012", "total des revenus du foyer", "61 300"},
    {"#0500011", "liquidités", "150 000"},
    {"#0200021", "rendement de l'immobilier locatif (second montant)", "4,35"},
    {"#SC00A11", "patrimoine au premier décès", "412 870"},
    {"#SC00B11", "patrimoine au second décès", "398 120"},
    {"#RRRRRno", "rubrique RRRRR, montant n (1 ou 2), option o (1 ou 2)", "0 si aucun"},
}};

}  // namespace

std::span<const LetterKeyword> LetterKeywords() {
  return kKeywords;
}

std::string LetterKeywordsText() {
  std::string text = "Mots-clés à écrire dans un modèle de lettre (exemple de valeur) :\n";
  for (const LetterKeyword& keyword : kKeywords) {
    text += std::string(keyword.code) + " : " + std::string(keyword.meaning);
    if (!keyword.example.empty()) text += " (" + std::string(keyword.example) + ")";
    text += "\n";
  }
  text += "Le guide des modèles (docs/letter-templates.md) les décrit tous.";
  return os::Cp1252(text);
}

}  // namespace vz::project
