// The progress window EX_attente of the real window library, driven as the
// selection run drives it: the bar and percentage after each counter value,
// hostile counters and totals, and the horse pictures it names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/session.h"
#include "project/project_code.h"
#include "tests/support/file_bytes.h"

namespace vz::project {
namespace {

namespace fs = std::filesystem;
using runtime::Session;
using vz::testing::FileBytes;

class ProgressWindowTest : public ::testing::Test {
 protected:
  ProgressWindowTest() {
    Session::Setup setup;
    setup.front_end = &front_;
    setup.transcript = &transcript_;
    RegisterProgressWindow(setup.registry);
    session_ = std::make_unique<Session>(std::move(setup));
    auto load = runtime::ParseWindowLibrary(FileBytes(fs::path(VZ_PROJECT_DIR) / "ORVANE.wdl"),
                                            "ORVANE.wdl");
    EXPECT_TRUE(load.library) << load.error;
    if (load.library) session_->set_library(std::move(*load.library));
    EXPECT_EQ(session_->Execute("Ouvre,EX_attente").value, 0);
  }

  std::string Field(const std::string& name) {
    return session_->Execute("ECRAN,RECUPERE," + name).text;
  }

  runtime::FakeFrontEnd front_;
  runtime::Transcript transcript_;
  std::unique_ptr<Session> session_;
};

TEST_F(ProgressWindowTest, OpensWithTheFieldsTheRunWrites) {
  for (const char* name : {"INTITULE", "NBTOTAL", "NOM", "NbTraite", "CHEVAL"}) {
    EXPECT_EQ(session_->Execute(std::string("AFFICHE,") + name + "=X").value, 0) << name;
  }
  session_->Execute("Ouvre,EX_attente");  // starts afresh
  EXPECT_EQ(Field("NbTraite"), "0");
  EXPECT_EQ(Field("CHEVAL"), "HORSE1A.BMP");
}

TEST_F(ProgressWindowTest, BarFollowsTheCounter) {
  struct Case {
    const char* total;
    const char* done;
    size_t marks;
    const char* percent;
  };
  const Case cases[] = {
      {"200", "0", 0, "0 %"},
      {"200", "1", 0, "0 %"},
      {"200", "4", 1, "2 %"},
      {"200", "100", 25, "50 %"},
      {"200", "200", 50, "100 %"},
      {"200", "250", 50, "100 %"},  // skipped records counted
      {"0", "10", 0, "0 %"},
      {"", "10", 0, "0 %"},
      {"abc", "10", 0, "0 %"},
      {"200", "-5", 0, "0 %"},
      {"200", "12x", 0, "0 %"},
      {"3000000000", "1500000000", 25, "50 %"},
      {"200", "99999999999999999999", 0, "0 %"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.total) + " / " + c.done);
    session_->Execute(std::string("AFFICHE,NBTOTAL=") + c.total);
    session_->Execute(std::string("AFFICHE,NbTraite=") + c.done);
    EXPECT_EQ(session_->Execute("EXECUTE,NbTraite.entree").value, 0);
    EXPECT_EQ(Field("JAUGE"), std::string(c.marks, '|'));
    EXPECT_EQ(Field("POURCENT"), c.percent);
  }
}

TEST_F(ProgressWindowTest, ALongRunLetsTheDesktopProcessItsEventsNowAndThen) {
  struct Case {
    int steps;
    int fewest;  // the desktop is never left alone for long
    int most;    // events are never processed once per client
  };
  for (const Case& c : {Case{100, 0, 1}, Case{1000, 5, 10}, Case{20000, 100, 200}}) {
    SCOPED_TRACE(c.steps);
    session_->Execute("Ouvre,EX_attente");
    session_->Execute("AFFICHE,NBTOTAL=" + std::to_string(c.steps));
    const int before = front_.events_processed;
    for (int step = 1; step <= c.steps; ++step) {
      session_->Execute("AFFICHE,NbTraite=" + std::to_string(step));
      session_->Execute("EXECUTE,NbTraite.entree");
    }
    const int processed = front_.events_processed - before;
    EXPECT_GE(processed, c.fewest);
    EXPECT_LE(processed, c.most);
  }
  // A counter that is no number does not make every step process events.
  const int before = front_.events_processed;
  for (int step = 0; step < 1000; ++step) {
    session_->Execute("AFFICHE,NbTraite=x");
    session_->Execute("EXECUTE,NbTraite.entree");
  }
  EXPECT_LE(front_.events_processed - before, 10);
}

TEST(ProgressPicturesTest, EveryHorsePictureIsABitmap) {
  for (const char* name : {"HORSE1A.BMP", "HORSE2A.BMP", "HORSE3A.BMP"}) {
    SCOPED_TRACE(name);
    const std::string bytes = FileBytes(fs::path(VZ_PROJECT_DIR) / "images" / name);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    const uint32_t size = static_cast<uint8_t>(bytes[2]) | static_cast<uint8_t>(bytes[3]) << 8 |
                          static_cast<uint8_t>(bytes[4]) << 16 |
                          static_cast<uint32_t>(static_cast<uint8_t>(bytes[5])) << 24;
    EXPECT_EQ(size, bytes.size());
  }
}

}  // namespace
}  // namespace vz::project
