#include "tools/datatool/demo_tables.h"

namespace vz::datatool {
namespace {

constexpr const char* kFamilyNames[] = {
    "MARTIN",    "BERNARD",    "THOMAS",   "PETIT",        "ROBERT",   "RICHARD",    "DURAND",
    "DUBOIS",    "MOREAU",     "LAURENT",  "SIMON",        "MICHEL",   "LEFÈVRE",    "LEROY",
    "ROUX",      "DAVID",      "BERTRAND", "MOREL",        "FOURNIER", "GIRARD",     "BONNET",
    "DUPONT",    "LAMBERT",    "FONTAINE", "ROUSSEAU",     "VINCENT",  "MULLER",     "LEFEBVRE",
    "FAURE",     "ANDRÉ",      "MERCIER",  "BLANC",        "GUÉRIN",   "BOYER",      "GARNIER",
    "CHEVALIER", "FRANÇOIS",   "LEGRAND",  "GAUTHIER",     "GARCIA",   "PERRIN",     "ROBIN",
    "CLÉMENT",   "MORIN",      "NICOLAS",  "HENRY",        "ROUSSEL",  "MATHIEU",    "GAUTIER",
    "MASSON",    "MARCHAND",   "DUVAL",    "DENIS",        "DUMONT",   "MARIE",      "LEMAIRE",
    "NOËL",      "MEYER",      "DUFOUR",   "MEUNIER",      "BRUN",     "BLANCHARD",  "GIRAUD",
    "JOLY",      "RIVIÈRE",    "LUCAS",    "BRUNET",       "GAILLARD", "BARBIER",    "ARNAUD",
    "MARTINEZ",  "GÉRARD",     "ROCHE",    "RENARD",       "SCHMITT",  "ROY",        "LEROUX",
    "COLIN",     "VIDAL",      "CARON",    "PICARD",       "ROGER",    "FABRE",      "AUBERT",
    "LEMOINE",   "RENAUD",     "DUMAS",    "LACROIX",      "OLIVIER",  "PHILIPPE",   "BOURGEOIS",
    "PIERRE",    "BENOÎT",     "REY",      "LECLERC",      "PAYET",    "ROLLAND",    "LE GALL",
    "D'ALMEIDA", "DE LA TOUR", "LE BIHAN", "PERRIN-DUVAL", "KERGOAT",  "ETCHEVERRY",
};

constexpr const char* kMaleFirstNames[] = {
    "Jean",     "Pierre",  "Michel",     "André",  "Philippe", "René",      "Louis",
    "Alain",    "Jacques", "Bernard",    "Marcel", "Daniel",   "Roger",     "Robert",
    "Paul",     "Claude",  "Christian",  "Henri",  "Georges",  "Nicolas",   "François",
    "Patrick",  "Gérard",  "Christophe", "Joseph", "Julien",   "Maurice",   "Laurent",
    "Frédéric", "Éric",    "Stéphane",   "David",  "Pascal",   "Sébastien", "Thierry",
    "Jérôme",   "Olivier", "Guillaume",  "Thomas", "Antoine",  "Hervé",     "Yves",
};

constexpr const char* kFemaleFirstNames[] = {
    "Marie",      "Jeanne",    "Françoise",  "Monique",   "Catherine", "Nathalie",   "Isabelle",
    "Jacqueline", "Anne",      "Sylvie",     "Martine",   "Madeleine", "Nicole",     "Suzanne",
    "Hélène",     "Christine", "Marguerite", "Denise",    "Louise",    "Christiane", "Yvonne",
    "Valérie",    "Sophie",    "Sandrine",   "Stéphanie", "Céline",    "Véronique",  "Chantal",
    "Thérèse",    "Brigitte",  "Élise",      "Camille",   "Julie",     "Aurélie",    "Émilie",
    "Claire",     "Agnès",     "Béatrice",   "Geneviève", "Odile",     "Laure",      "Cécile",
};

constexpr const char* kStreets[] = {
    "rue de la République",   "avenue Victor Hugo",
    "boulevard Gambetta",     "place du Marché",
    "rue des Lilas",          "chemin des Vignes",
    "allée des Tilleuls",     "impasse du Moulin",
    "rue Jean Jaurès",        "avenue de la Gare",
    "rue du Général Leclerc", "boulevard Pasteur",
    "rue de l'Église",        "route de Bordeaux",
    "rue Nationale",          "avenue Foch",
    "rue des Écoles",         "quai des Bateliers",
    "rue Saint-Michel",       "cours Mirabeau",
    "rue de la Paix",         "avenue des Champs",
    "rue du Château",         "chemin de la Croix",
    "rue Émile Zola",         "place de la Mairie",
    "rue Pierre Curie",       "avenue du Maréchal Joffre",
    "rue des Acacias",        "boulevard de la Liberté",
};

constexpr const char* kComplements[] = {
    "Bâtiment B",           "Résidence Les Pins", "Appartement 12",  "Lieu-dit La Croix",
    "Escalier C, 3e étage", "Domaine des Chênes", "Villa Les Roses", "BP 42",
};

constexpr Town kTowns[] = {
    {"PARIS", "75008"},
    {"PARIS", "75016"},
    {"PARIS", "75011"},
    {"PARIS", "75015"},
    {"LYON", "69006"},
    {"LYON", "69003"},
    {"MARSEILLE", "13008"},
    {"TOULOUSE", "31000"},
    {"NICE", "06000"},
    {"NANTES", "44000"},
    {"STRASBOURG", "67000"},
    {"MONTPELLIER", "34000"},
    {"BORDEAUX", "33000"},
    {"LILLE", "59000"},
    {"RENNES", "35000"},
    {"REIMS", "51100"},
    {"LE HAVRE", "76600"},
    {"SAINT-ÉTIENNE", "42000"},
    {"TOULON", "83000"},
    {"GRENOBLE", "38000"},
    {"DIJON", "21000"},
    {"ANGERS", "49000"},
    {"NÎMES", "30000"},
    {"VILLEURBANNE", "69100"},
    {"CLERMONT-FERRAND", "63000"},
    {"LE MANS", "72000"},
    {"AIX-EN-PROVENCE", "13100"},
    {"BREST", "29200"},
    {"TOURS", "37000"},
    {"AMIENS", "80000"},
    {"LIMOGES", "87000"},
    {"ANNECY", "74000"},
    {"PERPIGNAN", "66000"},
    {"BOULOGNE-BILLANCOURT", "92100"},
    {"METZ", "57000"},
    {"BESANÇON", "25000"},
    {"ORLÉANS", "45000"},
    {"ROUEN", "76000"},
    {"MULHOUSE", "68100"},
    {"CAEN", "14000"},
    {"NANCY", "54000"},
    {"ARGENTEUIL", "95100"},
    {"VERSAILLES", "78000"},
    {"NEUILLY-SUR-SEINE", "92200"},
    {"PAU", "64000"},
    {"LA ROCHELLE", "17000"},
    {"BAYONNE", "64100"},
    {"COLMAR", "68000"},
    {"VANNES", "56000"},
    {"QUIMPER", "29000"},
    {"CHAMBÉRY", "73000"},
    {"ARCACHON", "33120"},
    {"SAINT-MALO", "35400"},
    {"BIARRITZ", "64200"},
    {"ÉVIAN-LES-BAINS", "74500"},
    {"BEAUNE", "21200"},
    {"SARLAT-LA-CANÉDA", "24200"},
    {"FONTAINEBLEAU", "77300"},
    {"CHANTILLY", "60500"},
    {"DEAUVILLE", "14800"},
    {"L'HAY-LES-ROSES", "94240"},
    {"AJACCIO", "20000"},
    {"BASTIA", "20200"},
    {"SAINT-DENIS", "97400"},
    {"CAYENNE", "97300"},
    {"MENTON", "06500"},
};

constexpr Profession kProfessions[] = {
    {"01000", "Exploitants agricoles"},
    {"01001", "Agriculteur"},
    {"01002", "Viticulteur"},
    {"01003", "Éleveur"},
    {"02000", "Artisans et commerçants"},
    {"02001", "Artisan"},
    {"02002", "Commerçant"},
    {"02003", "Chef d'entreprise"},
    {"03000", "Cadres salariés"},
    {"03001", "Cadre commercial"},
    {"03002", "Ingénieur"},
    {"03003", "Cadre administratif"},
    {"03004", "Directeur financier"},
    {"04000", "Salariés non cadres"},
    {"04001", "Employé de bureau"},
    {"04002", "Technicien"},
    {"04003", "Ouvrier qualifié"},
    {"04004", "Infirmier"},
    {"05000", "Fonctionnaires"},
    {"05001", "Professeur"},
    {"05002", "Fonctionnaire de catégorie A"},
    {"05003", "Militaire"},
    {"06000", "Professions libérales"},
    {"06001", "Médecin"},
    {"06002", "Avocat"},
    {"06003", "Notaire"},
    {"06004", "Architecte"},
    {"06005", "Pharmacien"},
    {"07000", "Retraités"},
    {"07001", "Retraité du secteur privé"},
    {"07002", "Retraité fonction publique"},
    {"07003", "Ancien indépendant"},
    {"08000", "Sans activité professionnelle"},
    {"08001", "Étudiant"},
    {"08002", "Sans profession"},
};

constexpr CodeLabel kRegimes[] = {
    {"RM001", "Communauté réduite aux acquêts"},
    {"RM002", "Communauté universelle"},
    {"RM003", "Séparation de biens"},
    {"RM004", "Participation aux acquêts"},
    {"RM005", "Communauté meubles et acquêts"},
    {"RM006", "Régime étranger"},
};

// Grouped by family; the file's key CODRUBR puts them in byte order.
constexpr CodeLabel kRubrics[] = {
    {"0000A", "Nom"},
    {"0000B", "Prénom"},
    {"0000C", "Adresse"},
    {"0000D", "Code postal"},
    {"0000E", "Ville"},
    {"0000F", "Téléphone"},
    {"0000G", "Téléphone portable"},
    {"0000H", "Âge"},
    {"0000I", "Date de naissance"},
    {"0000J", "Situation de famille"},
    {"0000K", "Régime matrimonial"},
    {"0000L", "Profession"},
    {"0000M", "Civilité"},
    {"00000", "Identité"},
    {"01000", "Immobilier d'usage"},
    {"01001", "Résidence principale"},
    {"01002", "Résidence secondaire"},
    {"02000", "Immobilier de rapport"},
    {"02001", "Appartement locatif"},
    {"02002", "Maison locative"},
    {"02003", "Local commercial"},
    {"02004", "Parts de SCPI"},
    {"03000", "Foncier"},
    {"03001", "Terres agricoles"},
    {"03002", "Bois et forêts"},
    {"03003", "Terrain à bâtir"},
    {"04000", "Valeurs mobilières"},
    {"04001", "Actions"},
    {"04002", "Obligations"},
    {"04003", "OPCVM"},
    {"04004", "Plan d'épargne en actions"},
    {"04005", "Compte-titres"},
    {"05000", "Liquidités"},
    {"05001", "Comptes courants"},
    {"05002", "Livret A"},
    {"05003", "Livret de développement"},
    {"05004", "Plan d'épargne logement"},
    {"05005", "Compte épargne logement"},
    {"05006", "Compte à terme"},
    {"06000", "Biens divers"},
    {"06001", "Mobilier"},
    {"06002", "Véhicules"},
    {"06003", "Objets d'art"},
    {"06004", "Or et métaux précieux"},
    {"07000", "Assurance vie"},
    {"07001", "Contrat en euros"},
    {"07002", "Contrat en unités de compte"},
    {"07003", "Contrat de capitalisation"},
    {"2000A", "Pensions de retraite"},
    {"2000B", "Taux de remplacement"},
    {"2000C", "Écart au taux souhaité"},
    {"2000D", "Pension souhaitée"},
    {"2000E", "Taux souhaité"},
    {"20000", "Retraite"},
    {"20001", "Régime de base"},
    {"20002", "Retraite complémentaire"},
    {"20003", "Régime des indépendants"},
    {"21000", "Objectifs de retraite"},
    {"21001", "Taux de remplacement souhaité"},
    {"22000", "Retraite individuelle"},
    {"22001", "Plan d'épargne retraite"},
    {"22002", "Contrat retraite indépendant"},
    {"3300A", "Décès : capital souhaité"},
    {"3300B", "Décès : rente conjoint"},
    {"3300C", "Décès : rente éducation"},
    {"3300D", "Invalidité : capital"},
    {"3300E", "Invalidité : rente"},
    {"3300F", "Incapacité : indemnités"},
    {"3300G", "Dépendance : rente"},
    {"3300H", "Décès : taux de couverture"},
    {"3300I", "Rente conjoint : taux"},
    {"3300J", "Rente éducation : taux"},
    {"3300K", "Invalidité capital : taux"},
    {"3300L", "Invalidité rente : taux"},
    {"3300M", "Incapacité : taux"},
    {"3300N", "Dépendance : taux"},
    {"33000", "Prévoyance"},
    {"40000", "Revenus"},
    {"40001", "Salaires et traitements"},
    {"40005", "Pensions et rentes"},
    {"40008", "Revenus fonciers"},
    {"40010", "Revenus de capitaux mobiliers"},
    {"40014", "Bénéfices commerciaux"},
    {"40015", "Bénéfices non commerciaux"},
    {"40016", "Bénéfices agricoles"},
    {"40017", "Rémunération de gérant"},
    {"51000", "Impôts"},
    {"51001", "Impôt sur le revenu"},
    {"51002", "Taxe foncière"},
    {"51003", "Taxe d'habitation"},
    {"51004", "Impôt sur la fortune immob."},
    {"54000", "Emprunts"},
    {"54001", "Prêt résidence principale"},
    {"54002", "Prêt immobilier locatif"},
    {"54003", "Prêt à la consommation"},
    {"54004", "Prêt foncier"},
    {"SC00A", "Actif successoral"},
    {"SC00B", "Droits de succession"},
    {"SC000", "Succession"},
};

}  // namespace

std::span<const char* const> FamilyNames() {
  return kFamilyNames;
}
std::span<const char* const> MaleFirstNames() {
  return kMaleFirstNames;
}
std::span<const char* const> FemaleFirstNames() {
  return kFemaleFirstNames;
}
std::span<const char* const> Streets() {
  return kStreets;
}
std::span<const char* const> AddressComplements() {
  return kComplements;
}
std::span<const Town> Towns() {
  return kTowns;
}
std::span<const Profession> Professions() {
  return kProfessions;
}
std::span<const CodeLabel> MatrimonialRegimes() {
  return kRegimes;
}
std::span<const CodeLabel> RubricCatalogue() {
  return kRubrics;
}

}  // namespace vz::datatool
