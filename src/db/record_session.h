// The record session: one engine context and the record buffers of the
// catalogue's files for it, kept in step with the engine. It is the one place
// where the program and the window code call the record engine; no code above
// src/db calls it directly.
//
// Ownership. Every session owns one zeroed block of buffers, one per
// catalogue file, in catalogue order (so the CLIENT buffer follows the
// CLIPART buffer directly), each of the size the catalogue gives. Two kinds
// of session exist in a process:
// - the program's session, ProgramSession(). Its block is the process-wide
//   record buffers (record_buffers.h) that the program reads and writes
//   through the layouts. Its handle is set when the database context is
//   created (SetEngineContext) and every file is described at once
//   (DescribeAllFiles). It passes every call to the engine, also before its
//   context exists (the engine then answers as for an unknown context).
//   The free functions of record_ops.h forward to it.
// - a session of its own, built on a given context (the window code's, one
//   per engine context: project/project_data.h). Each file is described to
//   the engine on its first use (the first Buffer() or operation naming it).
//   Built on no context (handle 0 or less) it never calls the engine: reads
//   are out of file, writes and file calls are refused, counts are 0.
// Two sessions never touch each other's buffers or current records.
//
// Synchronisation (buffer_sync.h): an add or a modify synchronises the file's
// buffer before and after the engine call, a delete and a read after it.
// After a read the session asks the engine whether it is out of file only for
// a file the synchronisation treats (one in the key table). Files are named
// by FileId or as callers write them ("requetes" and "REQUETES" both work); a
// name outside the catalogue goes to the engine with no buffer work. Texts
// reach the engine through the conversion ring (conversion_ring.h): cut at a
// NUL, at most 255 characters, a text of 255 or more as its first 254.
//
// Failure: nothing throws and nothing shows a window. Failures show through
// results (false, 0), Hendehors() and LastFileError(), which tells a damaged,
// full, locked, read-only or unusable data file from a read that found no
// record (file_error_report.h): a read that finds nothing
// leaves a zeroed buffer (for a file the synchronisation treats); a refused
// write leaves the buffer as the caller filled it (keys rebuilt, long texts
// split). Reads and searches do not allocate. Single-threaded, like the
// conversion ring.
//
// The engine keeps the buffers' addresses for as long as the context lives,
// so a session must outlive every use of its context (the program's session
// and the window code's sessions are never destroyed).
//
// REQUIRES: the program's session has its context and every file described
// before any operation but the settings.
#ifndef VZ_SRC_DB_RECORD_SESSION_H_
#define VZ_SRC_DB_RECORD_SESSION_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "src/db/file_error_report.h"
#include "src/db/file_id.h"
#include "src/db/file_name_cache.h"

namespace vz::db {

class RecordSession {
 public:
  // A session of its own on engine_context (0 or less: no engine).
  explicit RecordSession(int32_t engine_context);
  RecordSession(const RecordSession&) = delete;
  RecordSession& operator=(const RecordSession&) = delete;

  int32_t engine_context() const { return context_; }
  // The program's session only: the context created at start-up (or 0).
  void SetEngineContext(int32_t engine_context) { context_ = engine_context; }

  // The session's buffer of the file (described to the engine on first use
  // in a session of its own). The layouts' accessors apply to it:
  //   vz::db::QueryLineRecord line{session.Buffer(vz::db::FileId::REQUETES)};
  uint8_t* Buffer(FileId file);
  size_t BufferSize(FileId file) const;
  // Zeroes the buffer: a fresh record to fill before Hajoute.
  void ClearBuffer(FileId file);
  // Describes every file, in catalogue order, with this session's buffers.
  void DescribeAllFiles();

  // Writes from the buffer; modify and delete act on the record last read in
  // this session. True when the engine did the write.
  bool Hajoute(FileId file);
  bool Hajoute(std::string_view file);
  bool Hmodifie(FileId file);
  bool Hmodifie(std::string_view file);
  bool Hsupprime(FileId file);
  bool Hsupprime(std::string_view file);

  // Reads into the buffer. A search positions on the first record whose key
  // is greater than or equal to the value; callers check the record they got.
  void Hlitpremier(FileId file, std::string_view key);
  void Hlitpremier(std::string_view file, std::string_view key);
  void Hlitsuivant(FileId file, std::string_view key);
  void Hlitsuivant(std::string_view file, std::string_view key);
  void Hlitrecherche(FileId file, std::string_view key, std::string_view value);
  void Hlitrecherche(std::string_view file, std::string_view key, std::string_view value);
  // True when the last read of this session found no record.
  bool Hendehors() const;

  // Search and read next that leave the record's key slots as the engine
  // gives them (empty) instead of building them: for a loop over many records of a file that
  // looks at none of their key slots. Everything else is synchronised as
  // usual. The caller owns the buffer until it calls RebuildKeySlots, which
  // it does before any other code may look at the buffer.
  void HlitrechercheSlotsLater(FileId file, std::string_view key, std::string_view value);
  void HlitsuivantSlotsLater(FileId file, std::string_view key);
  // Builds the key slots of the record in the file's buffer (nothing when no
  // record is current).
  void RebuildKeySlots(FileId file);

  // Files and counts. Hinfogene names the file that Hnbenr and Hnumenr count.
  bool Hcreation(std::string_view file);  // creates the file empty
  bool Hferme(std::string_view file);     // "" closes every file
  void Hinfogene(std::string_view file);
  int32_t Hnbenr();
  int32_t Hnumenr();
  // The engine's number of the file's current record, 0 when none
  // (identifies one of several records with the same key).
  int32_t Hnumenr(FileId file);
  bool Hsubstnom(std::string_view file, std::string_view physical_name);
  bool Hsubstrep(std::string_view directory, std::string_view new_directory);

  // The context: shares the files of another context; opens an analysis
  // (0 when refused); ends the context.
  bool Hinitpartage(int32_t shared_context);
  int32_t Houvreanalyse(std::string_view path, std::string_view text1, std::string_view text2,
                        std::string_view text3, std::string_view text4);
  void HftermineCTX();

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

  // Between the two, the writes to each file are one transaction, committed
  // at EndBatch (or when the file closes). Prefer RecordBatch.
  bool BeginBatch();
  bool EndBatch();
  // Ends the batch keeping none of its writes (an emptying by Hcreation made
  // in it included): the files stay as they were before BeginBatch.
  bool CancelBatch();

  // The last fault of a data file (damaged, full, locked, read-only,
  // unusable) met by this session's engine calls since ClearFileError;
  // kind kNone when none. A read that found no record is not a fault.
  EngineFileError LastFileError() const;
  bool HasFileError() const;  // the same question, without copying texts
  void ClearFileError();

 private:
  friend RecordSession& ProgramSession();
  struct ProgramTag {};
  explicit RecordSession(ProgramTag);

  enum class WriteCall { kAdd, kModify, kDelete };
  enum class ReadCall { kFirst, kNext, kSearch };

  bool HasEngine() const { return context_ > 0 || calls_without_context_; }
  void DescribeFile(FileId file);
  // The buffer the synchronisation keeps for `file`; null for a name outside
  // the catalogue or a file the synchronisation leaves alone.
  uint8_t* TreatedBuffer(std::optional<FileId> file);
  bool Write(WriteCall call, std::optional<FileId> file, std::string_view name);
  void Read(ReadCall call, std::optional<FileId> file, std::string_view name, std::string_view key,
            std::string_view value, bool slots_later = false);
  // The engine's text of a read's file name and key: the catalogue's name of
  // `file` and the last few keys are kept whole, so that a read loop converts
  // nothing; any other text goes through the conversion ring.
  const char* EngineFileName(std::optional<FileId> file, std::string_view name);
  const char* EngineKeyName(std::string_view key);

  int32_t context_;
  bool calls_without_context_;
  std::unique_ptr<uint8_t[]> block_;
  std::array<uint8_t*, kFileCount> buffers_{};
  std::array<bool, kFileCount> undescribed_{};  // to describe on first use
  FileNameCache names_;
  std::array<std::string, kFileCount> engine_file_names_;  // made on first use
  static constexpr size_t kKeptKeyNames = 4;
  std::array<std::string, kKeptKeyNames> engine_key_names_;
  size_t next_key_name_ = 0;
};

// The program's session, created on first use and kept for the whole process.
RecordSession& ProgramSession();

// A new engine context with room for description_count file descriptions;
// 0 when the engine refuses.
int32_t CreateEngineContext(int32_t description_count);

// A batch of the session for the guard's lifetime: begun on construction,
// ended by End() or Cancel() or on scope exit (End), whichever comes first.
//   { RecordBatch batch(ProgramSession()); ... writes ... }
class RecordBatch {
 public:
  explicit RecordBatch(RecordSession& session) : session_(&session) { session_->BeginBatch(); }
  ~RecordBatch() { End(); }
  RecordBatch(const RecordBatch&) = delete;
  RecordBatch& operator=(const RecordBatch&) = delete;

  // Ends the batch now; false when a commit failed or it had already ended.
  bool End() {
    if (session_ == nullptr) return false;
    RecordSession* session = session_;
    session_ = nullptr;
    return session->EndBatch();
  }
  // Ends the batch now keeping none of its writes.
  void Cancel() {
    if (session_ == nullptr) return;
    RecordSession* session = session_;
    session_ = nullptr;
    session->CancelBatch();
  }

 private:
  RecordSession* session_;
};

}  // namespace vz::db

#endif  // VZ_SRC_DB_RECORD_SESSION_H_
