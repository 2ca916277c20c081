#include "src/db/file_error_report.h"

#include <gtest/gtest.h>

#include "platform/os/cp1252.h"

namespace vz::db {
namespace {

TEST(FileErrorMessageTest, NamesTheFileWhatHappenedAndWhatTheProgramDid) {
  struct Case {
    FileFaultKind kind;
    const char* words;  // UTF-8
  } cases[] = {
      {FileFaultKind::kUnusable, "ne peut pas être utilisé"},
      {FileFaultKind::kDamaged, "est endommagé"},
      {FileFaultKind::kFull, "le disque est plein"},
      {FileFaultKind::kLocked, "verrouillé par un autre programme"},
      {FileFaultKind::kReadOnly, "en lecture seule"},
      {FileFaultKind::kIoError, "erreur du disque"},
      {FileFaultKind::kServerLost, "le serveur de base de données ne répond plus"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words);
    const EngineFileError error{c.kind, "REVENUS", "/srv/DONNEES/REVENUS.vzdb", "read failed"};
    const std::string message = FileErrorMessage(error, os::Cp1252("la sélection est arrêtée"));
    EXPECT_EQ(
        message.rfind(os::Cp1252("Le fichier de données REVENUS (/srv/DONNEES/REVENUS.vzdb) "), 0),
        0u)
        << message;
    EXPECT_NE(message.find(os::Cp1252(c.words)), std::string::npos) << message;
    EXPECT_NE(message.find(os::Cp1252(" : la sélection est arrêtée. [read failed]")),
              std::string::npos)
        << message;
    // One error box: no comma or line end may cut it.
    EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos);
  }
  EXPECT_TRUE((EngineFileError{FileFaultKind::kDamaged, "", "", ""}.any()));
  EXPECT_FALSE(EngineFileError{}.any());
}

}  // namespace
}  // namespace vz::db
