// The letter run meeting faults and kills: a SELECTES that the window code
// cannot read fails the pass (nothing put in place, the fault told and
// logged), the program's "abandon" drops a pass, and a letters run killed
// (SIGKILL) at 50 points leaves the letters folder holding the previous set
// or the new one, whole; the next run works. RTF letters: no PDF, so the
// forked children never start Qt.
#include <gtest/gtest.h>

#include <map>

#include "platform/engine/faulty_storage.h"
#include "platform/engine/process_storage.h"
#include "project/letter_run_test_fixture.h"
#include "project/project_data.h"
#include "src/util/run_log.h"
#include "tests/support/killed_child.h"

namespace vz::project {
namespace {

using engine::FileFault;
using engine::testing::FaultPlan;
using engine::testing::FaultyStorage;

// name -> bytes of the regular files of `folder` (its own files only).
std::map<std::string, std::string> FolderContents(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file()) contents[it->path().filename().string()] = ReadBytes(it->path());
  }
  return contents;
}

// 12 clients, postcodes 75001 ... 75012 (also their order).
std::vector<Client> TwelveClients() {
  std::vector<Client> clients;
  for (int i = 1; i <= 12; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "01%06d1", i);
    clients.push_back({code, std::to_string(75000 + i), "CLIENT" + std::to_string(i)});
  }
  return clients;
}

class LetterRunFaultsTest : public LetterRunTest {
 protected:
  void RunLetters(const std::vector<Client>& clients) {
    OpenResult("REQ00009", "LETTRE.RTF");
    ProgramProducesLetters(clients);
    session_->Execute("Execute,BOUTON1.FIN");  // as the program ends the letters
    session_->Execute("Ferme");
  }
  void TearDown() override {
    engine::UseStorage(nullptr);
    LetterRunTest::TearDown();
  }
  fs::path Folder() const { return data_ / "LETTRES" / "REQ00009-LETTRE"; }
  std::string RunLog() const { return ReadBytes(util::RunLogPath(data_.string())); }
};

// A pass of the twelve clients holds their twelve letters and the RTF that
// gathers them.
constexpr size_t kFilesOfAPass = 13;

TEST_F(LetterRunFaultsTest, ASelectesThatCannotBeReadPutsNoLetterInPlace) {
  runtime::WriteFile(data_ / "LETTRE.RTF", "{\\rtf1 Bonjour #0000A\\par}");
  const std::vector<Client> clients = TwelveClients();
  Extract("REQ00009", clients);
  RunLetters(clients);
  const auto previous = FolderContents(Folder());
  ASSERT_EQ(previous.size(), kFilesOfAPass);
  runtime::WriteFile(data_ / "LETTRE.RTF", "{\\rtf1 Au revoir #0000A\\par}");
  struct Case {
    FileFault fault;
    int64_t from;
  } cases[] = {{FileFault::kDamaged, 1}, {FileFault::kDamaged, 7}, {FileFault::kIoError, 4}};
  FaultyStorage faulty(engine::DefaultStorage());
  engine::UseStorage(&faulty);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    front_.messages.clear();
    db::Hferme("");  // the files open again, on the failing storage
    ProjectDataForContext(installation_.runtime_context()).Hferme("");
    faulty.Arm(FaultPlan{c.fault, "SELECTES", c.from, false, 0});
    RunLetters(clients);
    faulty.Disarm();
    ASSERT_EQ(front_.messages.size(), 1u);
    EXPECT_EQ(front_.messages[0].first, runtime::MessageKind::kError);
    const std::string shown = os::Utf8(front_.messages[0].second);
    EXPECT_NE(shown.find("SELECTES"), std::string::npos) << shown;
    EXPECT_NE(shown.find("les lettres précédentes sont conservées"), std::string::npos) << shown;
    EXPECT_EQ(FolderContents(Folder()), previous);
  }
  engine::UseStorage(nullptr);
  EXPECT_NE(RunLog().find("SELECTES"), std::string::npos);
  // The disk sound again: the new letters replace the previous ones.
  front_.messages.clear();
  RunLetters(clients);
  EXPECT_NE(FolderContents(Folder()), previous);
  EXPECT_EQ(FolderContents(Folder()).size(), kFilesOfAPass);
}

TEST_F(LetterRunFaultsTest, AnAbandonedPassLeavesThePreviousLetters) {
  runtime::WriteFile(data_ / "LETTRE.RTF", "{\\rtf1 Bonjour #0000A\\par}");
  Extract("REQ00009", kClients);
  RunLetters(kByPostcode);
  const auto previous = FolderContents(Folder());
  runtime::WriteFile(data_ / "LETTRE.RTF", "{\\rtf1 Au revoir #0000A\\par}");
  front_.messages.clear();
  OpenResult("REQ00009", "LETTRE.RTF");
  ProgramMerges({{"0000A", "MARTIN"}});
  ASSERT_EQ(session_->Execute("Execute,BOUTON1.ABANDON").value, 0);
  session_->Execute("Execute,BOUTON1.FIN");
  session_->Execute("Ferme");
  EXPECT_TRUE(front_.messages.empty()) << "the program tells the adviser itself";
  EXPECT_EQ(FolderContents(Folder()), previous);
  EXPECT_EQ(FilesIn(data_ / "LETTRES").size(), previous.size()) << "no staging folder left";
}

TEST_F(LetterRunFaultsTest, AKilledLettersRunLeavesThePreviousLettersOrTheNewOnes) {
  runtime::WriteFile(data_ / "LETTRE.RTF", "{\\rtf1 Bonjour #0000A\\par}");
  const std::vector<Client> clients = TwelveClients();
  Extract("REQ00009", clients);
  RunLetters(clients);
  const auto previous = FolderContents(Folder());
  ASSERT_EQ(previous.size(), kFilesOfAPass);
  runtime::WriteFile(data_ / "LETTRE.RTF", "{\\rtf1 Au revoir #0000A\\par}");
  db::Hferme("");
  const auto letters = [&] {
    RunLetters(clients);
    db::Hferme("");
    return 0;
  };
  // The whole run once, in a child, to count its operations and learn the
  // new letters; the previous ones are then put back.
  const vz::testing::ChildRun whole = vz::testing::RunInChildKilledAt(0, letters);
  ASSERT_FALSE(whole.killed);
  ASSERT_GT(whole.operations, 50);
  const auto fresh = FolderContents(Folder());
  ASSERT_EQ(fresh.size(), kFilesOfAPass);
  ASSERT_NE(fresh, previous);
  const auto put_back = [&] {
    fs::remove_all(Folder());
    fs::create_directories(Folder());
    for (const auto& [name, bytes] : previous) runtime::WriteFile(Folder() / name, bytes);
  };
  put_back();

  constexpr int kPoints = 50;
  int killed = 0;
  for (int i = 0; i < kPoints; ++i) {
    const int64_t at = vz::testing::KillPoint(whole.operations, i, kPoints);
    SCOPED_TRACE(at);
    if (vz::testing::RunInChildKilledAt(at, letters).killed) ++killed;
    for (const char* file : {"SELECTES", "INTERFA"}) {
      for (const auto& entry : fs::directory_iterator(data_)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(file) && name.ends_with(".vzdb")) {
          EXPECT_EQ(vz::testing::IntegrityOf(entry.path().string()), "ok") << name;
        }
      }
    }
    const auto now = FolderContents(Folder());
    EXPECT_TRUE(now == previous || now == fresh) << now.size() << " letters";
    if (now == fresh) put_back();
  }
  EXPECT_GE(killed, kPoints - 1);
  // The next run works, and clears the staging folders the kills left.
  front_.messages.clear();
  RunLetters(clients);
  EXPECT_EQ(FolderContents(Folder()), fresh);
  EXPECT_EQ(FilesIn(data_ / "LETTRES").size(), kFilesOfAPass);
}

}  // namespace
}  // namespace vz::project
