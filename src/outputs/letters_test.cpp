// The whole letter run on hand-made clients in the real record engine: the
// INTERFA records each merge click finds, the clicks in postcode order, the
// second person of a household, the identity texts, the rubric amounts and
// what happens with missing, refused, keyword-less and overfull templates.
#include "src/outputs/letters.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "src/config/program_settings.h"
#include "src/db/layouts/code_label.h"
#include "src/db/layouts/interfa.h"
#include "src/db/layouts/rubric_files.h"
#include "src/db/layouts/selectes.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "src/outputs/letter_identity.h"
#include "src/outputs/letters_test_fixture.h"
#include "src/screen/bridge_for_tests.h"
#include "tests/support/recording_runtime.h"

namespace vz::outputs {
namespace {

namespace fs = std::filesystem;
using testing::RecordingRuntime;

TEST_F(LettersTest, ALetterWithoutKeywordsStillClicksOncePerClientAndCleansInterfa) {
  WriteTemplate("Madame, Monsieur, no field here.");
  AddInterface("EX**0000A", "left over\t");
  AddInterface("EX**40001", "left over\t");
  AddInterface("ZZ**OTHER", "kept by the suite");
  Select("010000011", "75001");
  Select("010000021", "13001");
  ProduceLetters();
  ASSERT_EQ(ClickCount(), 2);
  EXPECT_TRUE(clicks_[0].empty());
  EXPECT_TRUE(clicks_[1].empty());
  // The suite's own records are not the letters' to delete.
  db::Hlitrecherche("INTERFA", "MOTCLEF", "ZZ**");
  ASSERT_FALSE(db::Hendehors());
  EXPECT_EQ(db::CurrentInterface().Keyword(), "ZZ**OTHER");
}

TEST_F(LettersTest, AMissingOrUnnamedTemplateGivesLettersWithoutFields) {
  Select("010000011", "75001");
  for (const char* name : {"ABSENT.RTF", "", "   "}) {
    SCOPED_TRACE(name);
    RecordingRuntime::Get().fields()["Nom_Lettre"] = name;
    AddInterface("EX**0000A", "left over\t");
    clicks_.clear();
    ProduceLetters();
    ASSERT_EQ(clicks_.size(), 1u);
    EXPECT_TRUE(clicks_[0].empty());
  }
}

TEST_F(LettersTest, TemplateNamesOutsideTheDataDirectoryAreRefusedWithoutAnyLetter) {
  WriteTemplate("#0000A");
  AddClient("010000011", "DUPONT");
  Select("010000011", "75001");
  AddInterface("EX**0000A", "kept\t");
  const std::string message =
      os::Cp1252("Erreur,Le modèle de lettre doit être un fichier du répertoire des données.");
  for (const std::string& name : std::vector<std::string>{
           "../LETTRE.RTF", "/etc/passwd", "SOUS\\LETTRE.RTF", "SOUS/LETTRE.RTF", "D:LETTRE.RTF",
           (templates_ / "LETTRE.RTF").string()}) {
    SCOPED_TRACE(name);
    RecordingRuntime::Get().Reset();
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().fields()["Nom_Lettre"] = name;
    ProduceLetters();
    const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), message), 1);
    EXPECT_EQ(ClickCount(), 0);
  }
  const LetterRecords left = ReadLetterRecords();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left.begin()->second, "kept\t");
}

// Links planted in the data directory that lead outside it: a template that
// reads another file, a letters folder (or a folder in it) that writes
// elsewhere. Refused with a message before any letter; links that stay
// inside are followed.
TEST_F(LettersTest, LinksLeadingOutsideTheDataDirectoryAreRefused) {
  AddClient("010000011", "DUPONT");
  Select("010000011", "75001");
  const fs::path outside = templates_.string() + "-ailleurs";
  fs::create_directories(outside);
  std::ofstream(outside / "SECRET.RTF") << "#0000A";
  WriteTemplate("#0000A");
  struct Case {
    const char* label;
    std::function<void()> plant;
    const char* template_name;
    const char* message_part;  // empty: accepted
  };
  const Case cases[] = {
      {"TemplateOutside",
       [&] { fs::create_symlink(outside / "SECRET.RTF", templates_ / "VOLE.RTF"); }, "VOLE.RTF",
       "Le modèle de lettre VOLE.RTF est un lien vers un fichier hors du répertoire"},
      {"TemplateInside", [&] { fs::create_symlink("LETTRE.RTF", templates_ / "COPIE.RTF"); },
       "COPIE.RTF", ""},
      {"LettersFolderOutside", [&] { fs::create_symlink(outside, templates_ / "LETTRES"); },
       "LETTRE.RTF", "Le dossier des lettres"},
      {"RunFolderOutside",
       [&] {
         fs::remove(templates_ / "LETTRES");
         fs::create_directories(templates_ / "LETTRES");
         fs::create_symlink(outside, templates_ / "LETTRES" / "01000001-LETTRE");
       },
       "LETTRE.RTF", "mène hors du répertoire des données"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    c.plant();
    RecordingRuntime::Get().Reset();
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().fields()["Nom_Lettre"] = c.template_name;
    clicks_.clear();
    ProduceLetters();
    const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
    const bool refused = std::any_of(commands.begin(), commands.end(), [&](const std::string& s) {
      return s.rfind("Erreur,", 0) == 0 && std::string(c.message_part) != "" &&
             os::Utf8(s).find(c.message_part) != std::string::npos;
    });
    EXPECT_EQ(refused, std::string(c.message_part) != "");
    EXPECT_EQ(ClickCount(), refused ? 0 : 1);
  }
  fs::remove_all(outside);
}

// An HTML template of tables nested 20 or 40 deep would take seconds to
// minutes per letter to lay out: it is refused at once, before any letter.
TEST_F(LettersTest, TemplatesTooCostlyToLayOutAreRefusedBeforeAnyLetter) {
  AddClient("010000011", "DUPONT");
  Select("010000011", "75001");
  for (int depth : {20, 40}) {
    SCOPED_TRACE(depth);
    std::string html;
    for (int i = 0; i < depth; ++i) html += "<table><tr><td>";
    html += "#0000A";
    for (int i = 0; i < depth; ++i) html += "</td></tr></table>";
    std::ofstream(templates_ / "BILAN.HTM", std::ios::binary) << html;
    RecordingRuntime::Get().Reset();
    screen::ResetBridgeForTests();
    RecordingRuntime::Get().fields()["Nom_Lettre"] = "BILAN.HTM";
    clicks_.clear();
    ProduceLetters();
    const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(),
                         os::Cp1252("Erreur,Le modèle de lettre imbrique " + std::to_string(depth) +
                                    " tableaux les uns dans les autres (au plus 8) : sa mise en "
                                    "page serait trop longue. Aucune lettre n'est produite.")),
              1);
    EXPECT_EQ(ClickCount(), 0);
  }
}

TEST_F(LettersTest, ClientsComeInPostcodeOrderAndInterfaHoldsTheLastOnesRecords) {
  WriteTemplate("#0000A #0000D #ZZ1 #0000A");
  AddClient("010000011", "  ALBERT  ", [](db::ClientRecord& c) { c.SetPostcode("99000"); });
  AddClient("010000021", "BERNARD", [](db::ClientRecord& c) { c.SetPostcode("13001"); });
  AddClient("010000031", "CLAUDE", [](db::ClientRecord& c) { c.SetPostcode("59000"); });
  Select("010000011", "99000");
  Select("010000021", "13001");
  Select("010000031", "59000");
  ProduceLetters();
  ASSERT_EQ(clicks_.size(), 3u);
  EXPECT_EQ(Value(0, "0000A"), "BERNARD");
  EXPECT_EQ(Value(1, "0000A"), "CLAUDE");
  EXPECT_EQ(Value(2, "0000A"), "ALBERT");
  EXPECT_EQ(Value(2, "0000D"), "99000");
  // A keyword of no family has an empty value and shifts no other value.
  EXPECT_EQ(Value(2, "ZZ1"), "");
  // Each click finds exactly the current client's records: the duplicate too.
  for (const LetterRecords& click : clicks_) EXPECT_EQ(click.size(), 4u);
  EXPECT_EQ(clicks_[2].count("0000A"), 2u);
  EXPECT_EQ(ReadLetterRecords(), clicks_[2]);
}

TEST_F(LettersTest, SecondPersonComesFromTheClientFileAlone) {
  WriteTemplate("#0000H2 #0000I2 #0000L2 #0000A");
  AddProfession("03001", "Artisan");
  struct Case {
    std::string_view client;
    std::string age2, birth2, profession2;
  };
  // Households: 01 with a second person, 02 whose second is marked "(",
  // 03 whose second is marked "*", 04 alone and followed by household 05,
  // 05 alone and last of the file, 00 whose record is stored twice.
  auto with = [](std::string_view birth, std::string_view profession) {
    return [=](db::ClientRecord& c) {
      c.SetBirthDate(birth);
      c.SetProfessionCode(profession);
    };
  };
  AddClient("010000011", "MARTIN", with("19800101", ""));
  AddClient("010000012", "MARTIN", with("19700101", "03001"));
  AddClient("010000021", "PETIT", with("19800101", ""));
  AddClient("010000022", "(PETIT", with("19700101", "03001"));
  AddClient("010000031", "DURAND", with("19800101", ""));
  AddClient("010000032", "*DURAND", with("19700101", "03001"));
  AddClient("010000041", "LEROY", with("19800101", ""));
  AddClient("010000051", "MOREAU", with("19800101", ""));
  AddClient("010000001", "ROUX", with("19800101", ""));
  AddClient("010000001", "ROUX", with("19700101", "03001"));  // the same client twice
  const Case cases[] = {
      {"010000011", " 54", "19700101", "Artisan"},
      {"010000012", "", "", ""},  // person 2: the next record is another household
      {"010000021", "", "", ""},
      {"010000031", "", "", ""},
      {"010000041", "", "", ""},
      {"010000001", "", "", ""},  // a duplicated record is not a second person
      {"010000051", "", "", ""},  // the last client of the file
      {"010000099", "", "", ""},  // a code the client file does not hold
  };
  for (const Case& c : cases) Select(c.client, "75001");
  ProduceLetters();
  ASSERT_EQ(clicks_.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(std::string(cases[i].client));
    EXPECT_EQ(Value(i, "0000H2"), cases[i].age2);
    EXPECT_EQ(Value(i, "0000I2"), cases[i].birth2);
    EXPECT_EQ(Value(i, "0000L2"), cases[i].profession2);
  }
  EXPECT_EQ(Value(0, "0000A"), "MARTIN");
  EXPECT_EQ(Value(7, "0000A"), "");
}

TEST_F(LettersTest, IdentityTextsOfTheFirstPerson) {
  WriteTemplate(
      "#0000A #0000M #0000B #0000C1 #0000C2 #0000D #0000E #0000F #0000G #0000H1 #0000I1 "
      "#0000J #0000K #0000L1 #0000Z #0000C #0000Hx");
  AddRegime("07002", os::Cp1252("Communauté réduite"));
  AddRegime("07004", "Separation");
  AddProfession("03001", "Artisan");
  AddClient("010000011", " JEAN  DUPONT ", [](db::ClientRecord& c) {
    c.SetCivilityTitle("Mon sieur ");
    c.SetCivilityCode("1");
    c.SetIdentityTextB("  Jean ");
    c.SetIdentityTextF(" F text ");
    c.SetIdentityTextG("G");
    c.SetFamilySituation("M");
    c.SetBirthDate("19800615");
    c.SetRegimeCode("07002");
    c.SetProfessionCode("03001");
  });
  AddClient("010000021", "MARIE", [](db::ClientRecord& c) {
    c.SetCivilityTitle("Madame");
    c.SetCivilityCode("3");
    c.SetFamilySituation("M");
    c.SetRegimeCode("07003");      // not in ANNEXE; 07004 follows it
    c.SetProfessionCode("99999");  // past the last profession
  });
  AddAddress("01000001", "  12 rue   Haute ", "75001", " PARIS ");
  Select("010000011", "75001");
  Select("010000021", "75002");
  ProduceLetters();
  ASSERT_EQ(clicks_.size(), 2u);
  const std::map<std::string, std::string> first = {
      {"0000A", "JEAN DUPONT"},
      {"0000M", "Monsieur"},
      {"0000B", "Jean"},
      {"0000C1", "12 rue Haute"},
      {"0000C2", ""},
      {"0000D", "75001"},
      {"0000E", "PARIS"},
      {"0000F", " F text "},
      {"0000G", "G"},
      {"0000H1", " 44"},  // today is 2024-06-15
      {"0000I1", "19800615"},
      {"0000J", os::Cp1252("Marié")},
      {"0000K", os::Cp1252("Communauté réduite")},
      {"0000L1", "Artisan"},
      {"0000Z", ""},
      {"0000C", ""},
      {"0000Hx", ""},
  };
  for (const auto& [keyword, value] : first) EXPECT_EQ(Value(0, keyword), value) << keyword;
  EXPECT_EQ(Value(1, "0000M"), "Mademoiselle");
  EXPECT_EQ(Value(1, "0000J"), os::Cp1252("Mariée"));
  EXPECT_EQ(Value(1, "0000K"), "");
  EXPECT_EQ(Value(1, "0000L1"), "");
  EXPECT_EQ(Value(1, "0000H1"), "   ");  // no birth date: an age of 0
  EXPECT_EQ(Value(1, "0000C1"), "");     // no address and none in the client record
}

// A client without a written-out title is addressed by the civility code.
TEST_F(LettersTest, CivilityWithoutWrittenOutTitleComesFromTheCode) {
  struct Case {
    const char* code;
    const char* title;
    const char* civility;
  };
  const Case cases[] = {
      {"1", "", "Monsieur"},
      {"2", "   ", "Madame"},
      {"3", "", "Mademoiselle"},
      {"2", "Docteur", "Docteur"},
      {"1", "Ma tre", "Matre"},
      {"", "", ""},
      {"9", "", ""},
  };
  WriteTemplate("#0000M");
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string code = "010000" + std::to_string(10 + i) + "1";
    AddClient(code, "CLIENT", [&](db::ClientRecord& c) {
      c.SetCivilityTitle(cases[i].title);
      c.SetCivilityCode(cases[i].code);
    });
    Select(code, "750" + std::to_string(10 + i));
  }
  ProduceLetters();
  ASSERT_EQ(clicks_.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Value(i, "0000M"), cases[i].civility)
        << "code " << cases[i].code << ", title \"" << cases[i].title << "\"";
  }
}

TEST(FamilySituationTest, TextsBySituationAndCivility) {
  struct Case {
    std::string_view situation;
    std::string man, woman;
  };
  const Case cases[] = {
      {"M", "Marié", "Mariée"},
      {"C", "Célibataire", "Célibataire"},
      {"P", "Pacsé      ", "Pacsée     "},
      {"N", "Concubinage", "Concubinage"},
      {"V", "Veuf", "Veuve"},
      {"D", "Divorcé", "Divorcée"},
      {"S", "Séparée", "Séparée"},
      {"U", "Union libre", "Union libre"},
      {"X", "", ""},
      {"m", "", ""},
      {"", "", ""},
      {"MM", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.situation));
    EXPECT_EQ(LetterFamilySituationText(c.situation, "1"), os::Cp1252(c.man));
    for (std::string_view civility : {"2", "3", "", " "}) {
      EXPECT_EQ(LetterFamilySituationText(c.situation, civility), os::Cp1252(c.woman));
    }
  }
  EXPECT_EQ(LetterFamilySituationText("P", "1").size(), 11u);
  EXPECT_EQ(LetterFamilySituationText("P", "2").size(), 11u);
}

TEST_F(LettersTest, MoreThanSixtyFourKeywordsKeepTheFirstSixtyFourAndSaySo) {
  std::string text;
  for (int i = 0; i < 70; ++i) text += "#ZZ" + std::to_string(100 + i) + " ";
  WriteTemplate(text);
  Select("010000011", "75001");
  ProduceLetters();
  ASSERT_EQ(clicks_.size(), 1u);
  EXPECT_EQ(clicks_[0].size(), 64u);
  EXPECT_EQ(clicks_[0].count("ZZ163"), 1u);
  EXPECT_EQ(clicks_[0].count("ZZ164"), 0u);
  const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.rfind("info,", 0) == 0; }),
            1);
}

// The values for reading the program sends for `keyword`, one per letter.
// `from`: the first command of the run.
std::vector<std::string> ReadingValues(const std::string& keyword, size_t from) {
  const std::string prefix = "Table,Ajoute,VALEURS," + keyword + "\t";
  std::vector<std::string> values;
  const std::vector<std::string> commands = RecordingRuntime::Get().Commands();
  for (size_t i = from; i < commands.size(); ++i) {
    const std::string& command = commands[i];
    if (command.rfind(prefix, 0) == 0) values.push_back(command.substr(prefix.size()));
  }
  return values;
}

// One letter per household: two persons at one address share the first
// person's letter, addressed to both; two at two addresses keep their own.
TEST_F(LettersTest, OneLetterPerHouseholdWhenTheSwitchIsOn) {
  WriteTemplate("#0000M #0000A");
  auto person = [](const char* civility, const char* first_name, const char* line) {
    return [=](db::ClientRecord& c) {
      c.SetCivilityCode(civility);
      c.SetIdentityTextB(first_name);
      c.SetAddressLine1(line);
      c.SetPostcode("69001");
      c.SetCity("LYON");
    };
  };
  AddClient("010000011", "DUPONT", person("1", "Paul", "5 quai Sud"));
  AddClient("010000012", "DUPONT", person("2", "Anne", "5 quai Sud"));
  AddClient("010000021", "DUPONT", person("2", "Anne", "1 rue Haute"));
  AddClient("010000022", "MARTIN", person("1", "Paul", "9 rue Basse"));
  AddClient("010000031", "DUPONT", person("2", "Anne", "3 cours Est"));
  AddClient("010000032", "MARTIN", person("1", "Paul", "3 cours Est"));
  for (const char* code : {"010000012", "010000011", "010000021", "010000022", "010000031",
                           "010000032"}) {
    Select(code, "69001");
  }
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on ? "one mail per household" : "switch off");
    clicks_.clear();
    const size_t from = RecordingRuntime::Get().Commands().size();
    RecordingRuntime::Get().SetSwitchField("FOYER");
    RecordingRuntime::Get().fields()["FOYER"] = on ? "1" : "0";
    ProduceLetters();
    if (!on) {
      EXPECT_EQ(clicks_.size(), 6u);
      EXPECT_EQ(ReadingValues("0000M", from), (std::vector<std::string>{"Madame", "Monsieur", "Madame",
                                                                   "Monsieur", "Madame",
                                                                   "Monsieur"}));
      continue;
    }
    ASSERT_EQ(clicks_.size(), 4u);
    EXPECT_EQ(ReadingValues("0000M", from),
              (std::vector<std::string>{"Monsieur et Madame", "Madame", "Monsieur",
                                        "Madame Anne DUPONT et Monsieur"}));
    EXPECT_EQ(ReadingValues("0000A", from),
              (std::vector<std::string>{"DUPONT", "DUPONT", "MARTIN", "Paul MARTIN"}));
    // INTERFA keeps the first person's values; the progress counts the letters.
    EXPECT_EQ(Value(0, "0000M"), "Monsieur");
    const std::vector<std::string> all = RecordingRuntime::Get().Commands();
    const std::vector<std::string> commands(all.begin() + static_cast<std::ptrdiff_t>(from),
                                            all.end());
    auto sent = [&commands](const char* command) {
      return std::find(commands.begin(), commands.end(), command) != commands.end();
    };
    EXPECT_TRUE(sent("AFFICHE,NBTOTAL=4"));
    EXPECT_TRUE(sent("AFFICHE,CODCLI=010000011"));
    EXPECT_FALSE(sent("AFFICHE,CODCLI=010000012"));
  }
}

}  // namespace
}  // namespace vz::outputs
