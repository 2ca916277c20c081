#include "src/db/context.h"

#include "src/db/analysis_writer.h"
#include "src/db/describe.h"
#include "src/db/record_ops.h"
#include "src/db/record_session.h"
#include "src/screen/bridge.h"

namespace vz::db {

void OpenDatabaseContext() {
  SetContextHandle(CreateEngineContext(kDescriptionCount));
  DescribeAllFiles();
  vz::screen::SendCommand("HFCTX");
  int32_t runtime_context = vz::screen::IntegerReturnValue();
  if (!ProgramSession().Hinitpartage(runtime_context)) {
    vz::screen::SendCommand("Erreur,Erreur d'initialisation du contexte HF");
    return;
  }
  if (Houvreanalyse(kAnalysisPath, "", "", "", "") == 0) {
    vz::screen::SendCommand("Erreur,Erreur d'ouverture de l'analyse");
  }
}

void MapPlaceholderDirectory() {
  Hsubstrep(kPlaceholderDirectory, "?");
}

void ApplyEngineSettings(std::string_view data_directory, int16_t security_level) {
  Hferme("");
  Hsubstrep(kPlaceholderDirectory, data_directory);
  Hmodeperso(1);
  Hsecurite(security_level);
  Hgeredoublonnon();
  Hgeretrsnon();
  Hgerejnlnon();
  Hgererepnon();
  Hseterrignore(1);
  Hsetnbessais(kLockAttempts);
  // The engine's own lock message would come only after one attempt more
  // than are ever made; follows the count the engine holds.
  Hsetnbessaismessage(Hnbessais() + 1);
}

}  // namespace vz::db
