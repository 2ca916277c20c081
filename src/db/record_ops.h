// Record operations: the program's one path to the record engine, spelt as
// free functions. Each forwards to the program's record session
// (record_session.h), which holds the context handle, hands texts to the
// engine through the conversion ring and keeps the process-wide record
// buffers in step with the engine (buffer_sync.h).
//
// File and key names are passed as the callers write them ("requetes" and
// "REQUETES" both work; the engine matches names without regard to case).
// Nothing here reports an error but a refused physical name (Hsubstnom): the
// engine is set to ignore errors, a failed write leaves no trace and a failed
// read shows only through Hendehors() and a zeroed buffer. The read and search
// operations do not allocate. Single-threaded, like the record buffers.
//
// REQUIRES: the context exists and every file is described (context.h, or
// SetContextHandle and DescribeAllFiles) before any operation but the
// settings.
#ifndef VZ_SRC_DB_RECORD_OPS_H_
#define VZ_SRC_DB_RECORD_OPS_H_

#include <cstdint>
#include <string_view>

namespace vz::db {

// The context handle, written once when the context is created and passed
// first to every engine call. 0 until then.
int32_t ContextHandle();
void SetContextHandle(int32_t handle);

// Writes: the record is taken from the file's buffer.
void Hajoute(std::string_view file);
void Hmodifie(std::string_view file);   // rewrites the current record
void Hsupprime(std::string_view file);  // deletes the current record

// Reads into the file's buffer; a search positions on the first record whose
// key is greater than or equal to the value, and callers check the record.
void Hlitpremier(std::string_view file, std::string_view key);
void Hlitsuivant(std::string_view file, std::string_view key);
void Hlitrecherche(std::string_view file, std::string_view key, std::string_view value);

// True when the last read found no record.
bool Hendehors();

// Files.
void Hcreation(std::string_view file);  // creates the file empty
void Hferme(std::string_view file);     // "" closes every file
void Hinfogene(std::string_view file);  // the subject of Hnbenr and Hnumenr
int32_t Hnbenr();
int32_t Hnumenr();
// False when the engine refuses the physical name (the file then keeps the
// physical name it had).
bool Hsubstnom(std::string_view file, std::string_view physical_name);
void Hsubstrep(std::string_view directory, std::string_view new_directory);
int32_t Houvreanalyse(std::string_view path, std::string_view text1, std::string_view text2,
                      std::string_view text3, std::string_view text4);

// Engine settings; results ignored except Hnbessais.
void Hmodeperso(int32_t flag);
void Hseterrignore(int32_t flag);
void Hsecurite(int32_t level);
void Hsetnbessais(int32_t attempts);
void Hsetnbessaismessage(int32_t attempts);
int32_t Hnbessais();
void Hgeredoublonnon();
void Hgeretrsnon();
void Hgerejnlnon();
void Hgererepnon();
void HftermineCTX();

}  // namespace vz::db

#endif  // VZ_SRC_DB_RECORD_OPS_H_
