// Every operation forwards to the program's record session.
#include "src/db/record_ops.h"

#include "src/db/record_session.h"

namespace vz::db {

int32_t ContextHandle() {
  return ProgramSession().engine_context();
}
void SetContextHandle(int32_t handle) {
  ProgramSession().SetEngineContext(handle);
}

void Hajoute(std::string_view file) {
  ProgramSession().Hajoute(file);
}
void Hmodifie(std::string_view file) {
  ProgramSession().Hmodifie(file);
}
void Hsupprime(std::string_view file) {
  ProgramSession().Hsupprime(file);
}

void Hlitpremier(std::string_view file, std::string_view key) {
  ProgramSession().Hlitpremier(file, key);
}
void Hlitsuivant(std::string_view file, std::string_view key) {
  ProgramSession().Hlitsuivant(file, key);
}
void Hlitrecherche(std::string_view file, std::string_view key, std::string_view value) {
  ProgramSession().Hlitrecherche(file, key, value);
}
bool Hendehors() {
  return ProgramSession().Hendehors();
}

void Hcreation(std::string_view file) {
  ProgramSession().Hcreation(file);
}
void Hferme(std::string_view file) {
  ProgramSession().Hferme(file);
}
void Hinfogene(std::string_view file) {
  ProgramSession().Hinfogene(file);
}
int32_t Hnbenr() {
  return ProgramSession().Hnbenr();
}
int32_t Hnumenr() {
  return ProgramSession().Hnumenr();
}
bool Hsubstnom(std::string_view file, std::string_view physical_name) {
  return ProgramSession().Hsubstnom(file, physical_name);
}
void Hsubstrep(std::string_view directory, std::string_view new_directory) {
  ProgramSession().Hsubstrep(directory, new_directory);
}
int32_t Houvreanalyse(std::string_view path, std::string_view text1, std::string_view text2,
                      std::string_view text3, std::string_view text4) {
  return ProgramSession().Houvreanalyse(path, text1, text2, text3, text4);
}

void Hmodeperso(int32_t flag) {
  ProgramSession().Hmodeperso(flag);
}
void Hseterrignore(int32_t flag) {
  ProgramSession().Hseterrignore(flag);
}
void Hsecurite(int32_t level) {
  ProgramSession().Hsecurite(level);
}
void Hsetnbessais(int32_t attempts) {
  ProgramSession().Hsetnbessais(attempts);
}
void Hsetnbessaismessage(int32_t attempts) {
  ProgramSession().Hsetnbessaismessage(attempts);
}
int32_t Hnbessais() {
  return ProgramSession().Hnbessais();
}
void Hgeredoublonnon() {
  ProgramSession().Hgeredoublonnon();
}
void Hgeretrsnon() {
  ProgramSession().Hgeretrsnon();
}
void Hgerejnlnon() {
  ProgramSession().Hgerejnlnon();
}
void Hgererepnon() {
  ProgramSession().Hgererepnon();
}
void HftermineCTX() {
  ProgramSession().HftermineCTX();
}

}  // namespace vz::db
