// The agenda's appointments and window code: typed values checked, the RDV
// file written and read back in date and time order, against the real engine
// in a temporary installation, through the real window library.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/session.h"
#include "platform/runtime/transcript.h"
#include "project/agenda_appointments.h"
#include "project/agenda_window.h"
#include "project/project_code.h"
#include "project/project_data.h"
#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/record_buffers.h"
#include "src/db/record_ops.h"
#include "tests/support/project_session.h"
#include "tests/support/temporary_installation.h"
#include "tests/support/test_records.h"

namespace vz::project {
namespace {

using db::FileId;
using runtime::MessageKind;
using vz::testing::AddClient;  // the program adds a client to CLIENT

TEST(AgendaTypedValuesTest, Dates) {
  struct Case {
    const char* typed;
    std::optional<std::string> stored;
  };
  const Case cases[] = {
      {"15/01/2027", "20270115"},
      {"5/1/2027", "20270105"},
      {" 15.01.2027 ", "20270115"},
      {"15-01-2027", "20270115"},
      {"15012027", "20270115"},
      {"29/02/2024", "20240229"},
      {"29/02/2000", "20000229"},
      {"31/12/2099", "20991231"},
      {"01/01/1900", "19000101"},
      // Refused: not in the calendar, out of range, malformed, hostile.
      {"29/02/2027", std::nullopt},
      {"29/02/1900", std::nullopt},
      {"31/04/2027", std::nullopt},
      {"00/01/2027", std::nullopt},
      {"15/13/2027", std::nullopt},
      {"15/00/2027", std::nullopt},
      {"31/12/1899", std::nullopt},
      {"01/01/2100", std::nullopt},
      {"15/01/27", std::nullopt},
      {"2027/01/15", std::nullopt},
      {"20270115x", std::nullopt},
      {"15/01-2027", std::nullopt},
      {"15//2027", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"aa/bb/cccc", std::nullopt},
      {"15/01/2027/1", std::nullopt},
      {"+1/01/2027", std::nullopt},
      {"999999999999999999/01/2027", std::nullopt},
      {"15\t01\t2027", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseTypedDate(c.typed), c.stored) << c.typed;
  EXPECT_EQ(ParseTypedDate(std::string("15/01/2027\0", 11)), std::nullopt);
}

TEST(AgendaTypedValuesTest, Times) {
  struct Case {
    const char* typed;
    std::optional<std::string> stored;
  };
  const Case cases[] = {
      {"09:30", "0930"},          {"9:30", "0930"},        {"9h30", "0930"},
      {"09H30", "0930"},          {"0930", "0930"},        {" 23:59 ", "2359"},
      {"00:00", "0000"},          {"24:00", std::nullopt}, {"12:60", std::nullopt},
      {"930", std::nullopt},      {"9:3", std::nullopt},   {"9:300", std::nullopt},
      {"", std::nullopt},         {":", std::nullopt},     {"h", std::nullopt},
      {"ab:cd", std::nullopt},    {"-1:30", std::nullopt}, {"123:00", std::nullopt},
      {"09:30:00", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseTypedTime(c.typed), c.stored) << c.typed;
}

TEST(AgendaTypedValuesTest, ShownForms) {
  EXPECT_EQ(ShownDate("20270115"), "15/01/2027");
  EXPECT_EQ(ShownTime("0930"), "09:30");
  // Whatever another program stored that is no date or time shows as stored.
  EXPECT_EQ(ShownDate("2027011"), "2027011");
  EXPECT_EQ(ShownDate("2027O115"), "2027O115");
  EXPECT_EQ(ShownTime(""), "");
  EXPECT_EQ(ShownTime("9h3"), "9h3");
}

class AgendaWindowTest : public vz::testing::ProjectSessionTest {
 protected:
  AgendaWindowTest() : ProjectSessionTest("agenda", VZ_PROJECT_DIR) {}

  runtime::Window& Agenda() { return *session_->CurrentWindow(); }
  runtime::Field& FieldOf(std::string_view name) { return *Agenda().FindField(name); }

  void Type(std::string_view date, std::string_view time, std::string_view client,
            std::string_view subject, std::string_view notes = "") {
    FieldOf("DATE_RDV").value = date;
    FieldOf("HEURE_RDV").value = time;
    FieldOf("CLIENT_RDV").value = client;
    FieldOf("OBJET_RDV").value = subject;
    FieldOf("NOTES_RDV").value = notes;
  }
  void Click(std::string_view button) {
    EXPECT_EQ(session_->Execute("Execute," + std::string(button) + ".CLIC").value, 0) << button;
  }
  // The table's rows as "date heure client nom objet".
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (const auto& row : FieldOf("TABLE_RDV").rows) {
      std::string text;
      for (const auto& cell : row) text += (text.empty() ? "" : "|") + cell;
      rows.push_back(text);
    }
    return rows;
  }
  int StoredCount() {
    db::Hinfogene("RDV");
    return db::Hnbenr();
  }
  std::string LastError() {
    if (front_.messages.empty()) return "";
    EXPECT_EQ(front_.messages.back().first, MessageKind::kError);
    return front_.messages.back().second;
  }
};

TEST_F(AgendaWindowTest, AddedAppointmentsShowInDateAndTimeOrderWithTheClientsName) {
  AddClient("010000011", "DUPONT");
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  EXPECT_TRUE(Rows().empty());
  Type("20/01/2027", "14:00", "", "Bilan annuel");
  Click("BT_AJOUTER");
  Type("15/01/2027", "9h30", "010000011", os::Cp1252("Épargne retraite"), "Apporter l'avis");
  Click("BT_AJOUTER");
  Type("15/01/2027", "08:45", "", "Appel");
  Click("BT_AJOUTER");
  EXPECT_TRUE(front_.messages.empty()) << front_.messages.front().second;
  EXPECT_EQ(Rows(), (std::vector<std::string>{
                        "15/01/2027|08:45|||Appel",
                        "15/01/2027|09:30|010000011|DUPONT|" + os::Cp1252("Épargne retraite"),
                        "20/01/2027|14:00|||Bilan annuel"}));
  // The new row is selected and the entry fields are empty again.
  EXPECT_EQ(FieldOf("TABLE_RDV").selected, 1);
  EXPECT_EQ(FieldOf("OBJET_RDV").value, "");
  // Stored as documented: date and time key, subject and notes.
  db::Hlitrecherche("RDV", "KEY1", "202701150930");
  ASSERT_FALSE(db::Hendehors());
  const uint8_t* record = db::RecordBuffer(FileId::RDV);
  const auto& rdv = db::Describe(FileId::RDV);
  EXPECT_EQ(db::GetText(record, rdv.long_texts[0].text_offset, 255),
            os::Cp1252("Épargne retraite"));
  EXPECT_EQ(db::GetText(record, rdv.long_texts[1].text_offset, 255), "Apporter l'avis");
  EXPECT_EQ(db::GetText(record, rdv.field_offsets[3], 10), "010000011");
  // Opening the window again reads the same list.
  session_->Execute("Ferme");
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(AgendaWindowTest, InvalidValuesAreRefusedWithAMessageAndNothingWritten) {
  AddClient("010000011", "DUPONT");
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  struct Case {
    const char* date;
    const char* time;
    const char* client;
    const char* subject;
    const char* message_start;
  };
  const Case cases[] = {
      {"31/02/2027", "09:00", "", "Objet", "La date"},
      {"", "09:00", "", "Objet", "La date"},
      {"2027-01-15", "09:00", "", "Objet", "La date"},
      {"15/01/2027", "25:00", "", "Objet", "L'heure"},
      {"15/01/2027", "", "", "Objet", "L'heure"},
      {"15/01/2027", "09:00", "010000012", "Objet", "Le code client"},
      {"15/01/2027", "09:00", "0100", "Objet", "Le code client"},
      {"15/01/2027", "09:00", "01000001", "Objet", "Le code client"},  // a prefix only
      {"15/01/2027", "09:00", "", "   ", "L'objet"},
  };
  for (const Case& c : cases) {
    Type(c.date, c.time, c.client, c.subject);
    Click("BT_AJOUTER");
    EXPECT_EQ(LastError().rfind(os::Cp1252(c.message_start), 0), 0u)
        << c.date << " " << c.time << " " << c.client << ": " << LastError();
    // The typed values stay, so that the user can correct them.
    EXPECT_EQ(FieldOf("DATE_RDV").value, c.date);
  }
  EXPECT_EQ(front_.messages.size(), std::size(cases));
  EXPECT_EQ(StoredCount(), 0);
  EXPECT_TRUE(Rows().empty());
}

// The client of an appointment is typed by code or by name: a name that one
// client bears gives its code; none, or several, are refused with a message
// that lists the namesakes' codes, and nothing is written.
TEST_F(AgendaWindowTest, AClientIsFoundByNameAsWellAsByCode) {
  AddClient("010000011", "DUPONT",
            [](db::ClientRecord& c) { c.SetIdentityTextB(os::Cp1252("Hélène")); });
  AddClient("010000012", "DUPONT", [](db::ClientRecord& c) { c.SetIdentityTextB("Marc"); });
  AddClient("010000021", os::Cp1252("LEFÈVRE"),
            [](db::ClientRecord& c) { c.SetIdentityTextB("Anne"); });
  AddClient("010000031", "DUPONTEL", [](db::ClientRecord& c) { c.SetIdentityTextB("Luc"); });
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  struct Case {
    const char* typed;  // UTF-8
    const char* code;   // stored, or empty when refused
    const char* message_start;
  };
  const Case cases[] = {
      {"010000021", "010000021", ""},
      {"lefevre", "010000021", ""},
      {"  Lefèvre   Anne ", "010000021", ""},
      {"dupont hélène", "010000011", ""},
      {"DUPONT  MARC", "010000012", ""},
      {"Dupontel", "010000031", ""},  // a name that begins with another is its own
      {"Dupont", "",
       "2 clients portent le nom \"Dupont\" : 010000011 DUPONT Hélène, "
       "010000012 DUPONT Marc."},
      {"Dupont Paul", "", "Aucun client ne porte le nom \"Dupont Paul\""},
      {"Durand", "", "Aucun client ne porte le nom \"Durand\""},
      {"Dupo", "", "Aucun client ne porte le nom"},
      {"010000099", "", "Le code client \"010000099\" ne correspond"},
  };
  int stored = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    front_.messages.clear();
    Type("15/01/2027", "09:00", os::Cp1252(c.typed), "Bilan");
    Click("BT_AJOUTER");
    if (*c.code == 0) {
      EXPECT_EQ(os::Utf8(LastError()).rfind(c.message_start, 0), 0u) << os::Utf8(LastError());
      EXPECT_EQ(FieldOf("CLIENT_RDV").value, os::Cp1252(c.typed));  // kept to be corrected
      EXPECT_EQ(StoredCount(), stored);
      continue;
    }
    EXPECT_TRUE(front_.messages.empty()) << os::Utf8(LastError());
    ASSERT_EQ(StoredCount(), ++stored);
    const std::vector<std::string> rows = Rows();
    const int selected = FieldOf("TABLE_RDV").selected;
    ASSERT_GT(selected, 0);
    EXPECT_EQ(rows[static_cast<size_t>(selected - 1)].substr(17, 9), c.code);
  }
}

TEST_F(AgendaWindowTest, RefreshShowsWhatOthersWroteAndKeepsTheProgramsRecord) {
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  Type("01/06/2027", "08:00", "", "Du matin");
  Click("BT_AJOUTER");
  // The program reads that record and stays on it while another one is
  // written behind the window.
  db::Hlitpremier("RDV", "KEY1");
  ASSERT_FALSE(db::Hendehors());
  uint8_t* program = db::RecordBuffer(FileId::RDV);
  const size_t key_slot = db::Describe(FileId::RDV).keys[0].slot_offset;
  program[key_slot] = 0;  // the program's buffer is its own: nothing rewrites it
  const auto& rdv = db::Describe(FileId::RDV);
  std::vector<uint8_t> other(rdv.buffer_size, 0);
  db::SetText(other.data(), rdv.field_offsets[0], 8, "20270531");
  db::SetText(other.data(), rdv.field_offsets[1], 4, "1700");
  db::SetText(other.data(), rdv.long_texts[0].text_offset, 255, "La veille");
  std::memcpy(program, other.data(), other.size());
  db::Hajoute("RDV");
  EXPECT_EQ(Rows().size(), 1u);
  EXPECT_EQ(session_->Execute("Execute,TABLE_RDV.REMPLIR").value, 0);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"31/05/2027|17:00|||La veille",
                                              "01/06/2027|08:00|||Du matin"}));
  // The window's reads left the program's buffer as its own add left it.
  EXPECT_EQ(db::GetText(program, key_slot, 64), "202705311700");
}

TEST_F(AgendaWindowTest, LineBreaksAndTabsTypedInTextsAreKeptAsBlanks) {
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  Type("15/01/2027", "09:00", "", " Bilan\tannuel\r\n", "ligne 1\r\nligne 2");
  Click("BT_AJOUTER");
  EXPECT_TRUE(front_.messages.empty());
  ASSERT_EQ(Rows().size(), 1u);
  EXPECT_EQ(session_->Execute("ECRAN,RECUPERE,TABLE_RDV,1").text,
            "15/01/2027\t09:00\t\t\tBilan annuel");
  FieldOf("TABLE_RDV").selected = 1;
  Click("BT_REPRENDRE");
  EXPECT_EQ(FieldOf("NOTES_RDV").value, "ligne 1  ligne 2");
}

TEST_F(AgendaWindowTest, ChangeAndDeleteTheSelectedAppointment) {
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  Type("10/03/2027", "10:00", "", "Premier");
  Click("BT_AJOUTER");
  Type("10/03/2027", "10:00", "", "Second", "mêmes date et heure");
  Click("BT_AJOUTER");
  ASSERT_EQ(Rows().size(), 2u);

  // Nothing selected: change and delete are refused.
  FieldOf("TABLE_RDV").selected = 0;
  Click("BT_MODIFIER");
  EXPECT_EQ(LastError().rfind("Choisissez", 0), 0u);
  Click("BT_SUPPRIMER");
  EXPECT_EQ(LastError().rfind("Choisissez", 0), 0u);
  Click("BT_REPRENDRE");
  EXPECT_EQ(LastError().rfind("Choisissez", 0), 0u);

  // Take up the second of the two with the same key, move it to 11:15.
  FieldOf("TABLE_RDV").selected = 2;
  Click("BT_REPRENDRE");
  EXPECT_EQ(FieldOf("OBJET_RDV").value, "Second");
  EXPECT_EQ(FieldOf("HEURE_RDV").value, "10:00");
  EXPECT_EQ(FieldOf("NOTES_RDV").value, "mêmes date et heure");
  FieldOf("HEURE_RDV").value = "11:15";
  Click("BT_MODIFIER");
  EXPECT_EQ(Rows(),
            (std::vector<std::string>{"10/03/2027|10:00|||Premier", "10/03/2027|11:15|||Second"}));
  EXPECT_EQ(FieldOf("TABLE_RDV").selected, 2);

  // A change that fails its checks leaves the record as it was.
  Type("10/03/2027", "99:99", "", "Second");
  Click("BT_MODIFIER");
  EXPECT_EQ(LastError().rfind("L'heure", 0), 0u);
  EXPECT_EQ(Rows()[1], "10/03/2027|11:15|||Second");

  // Delete: "no" keeps it, "yes" removes it.
  FieldOf("TABLE_RDV").selected = 1;
  front_.QueueAnswer(false);
  Click("BT_SUPPRIMER");
  ASSERT_FALSE(front_.questions.empty());
  EXPECT_EQ(front_.questions.back(),
            os::Cp1252("Supprimer le rendez-vous du 10/03/2027 à 10:00 ?"));
  EXPECT_EQ(StoredCount(), 2);
  FieldOf("TABLE_RDV").selected = 1;
  front_.QueueAnswer(true);
  Click("BT_SUPPRIMER");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"10/03/2027|11:15|||Second"}));
  EXPECT_EQ(StoredCount(), 1);
}

TEST_F(AgendaWindowTest, ARowWhoseRecordWentMeanwhileIsNeverConfusedWithAnother) {
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  Type("10/03/2027", "10:00", "", "Premier");
  Click("BT_AJOUTER");
  Type("10/03/2027", "10:00", "", "Second");
  Click("BT_AJOUTER");
  // Another user (here the program) deletes the first one behind the window.
  db::Hlitrecherche("RDV", "KEY1", "202703101000");
  ASSERT_FALSE(db::Hendehors());
  db::Hsupprime("RDV");
  FieldOf("TABLE_RDV").selected = 1;
  Type("10/03/2027", "12:00", "", "Premier");
  Click("BT_MODIFIER");
  EXPECT_NE(LastError().find("entre-temps"), std::string::npos);
  // The other record with the same date and time is untouched; list refreshed.
  EXPECT_EQ(Rows(), (std::vector<std::string>{"10/03/2027|10:00|||Second"}));
  // A damaged row record (hostile variable) is refused, not followed.
  session_->Execute("Ferme");
  ASSERT_EQ(session_->Execute("Ouvre,AGENDA").value, 0);
  for (const char* damaged : {"", "garbage", "202703101000:", "202703101000:-4",
                              "202703101000:99999999999999999999", "2027:1"}) {
    session_->Variables().Set("gsAgendaEnregistrements", damaged);
    FieldOf("TABLE_RDV").selected = 1;
    front_.QueueAnswer(true);
    Click("BT_SUPPRIMER");
  }
  EXPECT_EQ(StoredCount(), 1);
}

TEST_F(AgendaWindowTest, WithoutAnEngineTheWindowOpensEmpty) {
  runtime::FakeFrontEnd front;
  runtime::Transcript transcript;
  runtime::Session::Setup setup;
  setup.front_end = &front;
  setup.transcript = &transcript;
  setup.directory = VZ_PROJECT_DIR;
  RegisterProjectCode(setup.registry);
  runtime::Session session(std::move(setup));
  ASSERT_EQ(session.Execute("BIBLI,disque,ORVANE.wdl").value, 0);
  ASSERT_EQ(session.Execute("Ouvre,AGENDA").value, 0);
  EXPECT_TRUE(session.CurrentWindow()->FindField("TABLE_RDV")->rows.empty());
  session.CurrentWindow()->FindField("DATE_RDV")->value = "15/01/2027";
  session.CurrentWindow()->FindField("HEURE_RDV")->value = "09:00";
  session.CurrentWindow()->FindField("OBJET_RDV")->value = "Objet";
  session.Execute("Execute,BT_AJOUTER.CLIC");
  ASSERT_EQ(front.messages.size(), 1u);
  EXPECT_EQ(front.messages[0].second, os::Cp1252("Le rendez-vous n'a pas pu être enregistré."));
}

}  // namespace
}  // namespace vz::project
