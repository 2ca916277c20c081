// A window's close code (WINDOW.WINDOW.FERMETURE) runs while the window is
// still in place, whichever way it closes; objects kept by project code live
// until the session ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/fake_front_end.h"
#include "platform/runtime/runtime_test_files.h"
#include "platform/runtime/session.h"

namespace vz::runtime {
namespace {

const char kLibrary[] = R"(library TEST
window MENU title="Menu" w=400 h=300 default=OK escape=ESC
  button OK x=10 y=10 w=100 h=30 label="Valider" code=T01
end
window RESULTAT title="Résultat" w=400 h=300 default=OK escape=ESC
  text REQUETE x=0 y=0 w=300 h=20 label="Requête"
  button OK x=10 y=50 w=100 h=30 label="Fermer" code=ESC
end
)";

class Marker final : public SessionObject {
 public:
  explicit Marker(std::vector<std::string>& log) : log_(log) {}
  ~Marker() override { log_.push_back("marker destroyed"); }

 private:
  std::vector<std::string>& log_;
};

class WindowCloseCodeTest : public ::testing::Test {
 protected:
  WindowCloseCodeTest() { WriteFile(dir_.path() / "test.wdl", kLibrary); }

  Session& Start() {
    CodeRegistry registry;
    for (const char* window : {"MENU", "RESULTAT"}) {
      registry.AddWindowCode(window, window, "FERMETURE", [this](CodeContext& context, Window& w) {
        // Still on the stack, with the values it had.
        EXPECT_EQ(context.CurrentWindow(), &w);
        const Field* query = w.FindField("REQUETE");
        log_.push_back("closing " + w.name + (query ? " " + query->value : ""));
      });
    }
    Session::Setup setup;
    setup.front_end = &front_;
    setup.transcript = &transcript_;
    setup.registry = std::move(registry);
    setup.directory = dir_.path();
    session_ = std::make_unique<Session>(std::move(setup));
    EXPECT_EQ(session_->Execute("BIBLI,disque,test.wdl").value, 0);
    return *session_;
  }

  TempDir dir_;
  FakeFrontEnd front_;
  Transcript transcript_{(dir_.path() / "transcript.txt").string()};
  std::unique_ptr<Session> session_;
  std::vector<std::string> log_;
};

TEST_F(WindowCloseCodeTest, FermeRunsTheClosingWindowsCodeOnly) {
  Session& session = Start();
  session.Execute("Ouvre,MENU");
  session.Execute("Ouvre,RESULTAT");
  session.Execute("AFFICHE,REQUETE=REQ00001");
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(session.Execute("Ferme").value, 0);
  EXPECT_EQ(log_, (std::vector<std::string>{"closing RESULTAT REQ00001"}));
  EXPECT_EQ(session.open_window_count(), 1u);
  session.Execute("Ferme");
  EXPECT_EQ(log_.back(), "closing MENU");
  // Nothing left to close: no code runs.
  EXPECT_EQ(session.Execute("Ferme").value, -1);
  EXPECT_EQ(log_.size(), 2u);
}

TEST_F(WindowCloseCodeTest, ClosingTheProjectClosesEveryWindowTopFirst) {
  Session& session = Start();
  session.Execute("Ouvre,MENU");
  session.Execute("Ouvre,RESULTAT");
  session.CloseAllWindows();
  EXPECT_EQ(log_, (std::vector<std::string>{"closing RESULTAT ", "closing MENU"}));
  EXPECT_EQ(session.open_window_count(), 0u);
}

TEST_F(WindowCloseCodeTest, WindowsWithoutCloseCodeCloseQuietly) {
  CodeRegistry registry;
  Session::Setup setup;
  setup.front_end = &front_;
  setup.transcript = &transcript_;
  setup.directory = dir_.path();
  Session session(std::move(setup));
  session.Execute("BIBLI,disque,test.wdl");
  session.Execute("Ouvre,RESULTAT");
  EXPECT_EQ(session.Execute("Ferme").value, 0);
  EXPECT_EQ(session.open_window_count(), 0u);
}

TEST_F(WindowCloseCodeTest, KeptObjectsAreReplacedByNameAndEndWithTheSession) {
  Session& session = Start();
  SessionObjects& objects = session.Objects();
  EXPECT_EQ(objects.Find("run"), nullptr);
  objects.Keep("run", std::make_unique<Marker>(log_));
  SessionObject* first = objects.Find("run");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(objects.Find("RUN"), nullptr);
  objects.Keep("run", std::make_unique<Marker>(log_));
  EXPECT_EQ(log_, (std::vector<std::string>{"marker destroyed"}));
  objects.Drop("other");
  objects.Keep("other", std::make_unique<Marker>(log_));
  objects.Drop("other");
  EXPECT_EQ(log_.size(), 2u);
  session.Execute("Ouvre,RESULTAT");
  session_.reset();
  // The window closes with the session without its code; the object goes.
  EXPECT_EQ(log_.size(), 3u);
  EXPECT_EQ(log_.back(), "marker destroyed");
}

}  // namespace
}  // namespace vz::runtime
