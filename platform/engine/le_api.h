// The record engine's functions, as the program calls them.
//
// Every function takes the context handle first (except LE_CreateContexteHF).
// Texts are NUL-terminated cp1252 strings; file and key names are matched
// without regard to case. The engine never shows a window and never throws:
// failures show only through results and the out-of-file state
// (LE_Hendehors). Records move between the engine and the record buffer that
// LE_HDecritEnregistrement gave for the file, field by field as described.
//
// Reads keep key order (byte order of the key text); a search positions on the
// first record whose key is greater than or equal to the value searched, and
// callers check the record they got. Read next follows the current record in
// key order, also after that record was deleted. Duplicate keys keep insertion
// order.
//
// Faults of data files (a damaged, full, locked, read-only or unusable file)
// are kept per context apart from the out-of-file state: LE_LastFileError.
//
// Single-threaded: the program calls these functions from one thread, and
// nothing in the engine locks.
//
// Storage: docs/storage.md. Analysis file: docs/analysis.md.
#ifndef VZ_PLATFORM_ENGINE_LE_API_H_
#define VZ_PLATFORM_ENGINE_LE_API_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Context.
int32_t LE_CreateContexteHF(int32_t description_count);
int32_t LE_HftermineCTX(int32_t ctx);

// Record description: the file's name, its declared record size, the size of
// each field, the field count, one type digit per field and the address of the
// program's record buffer. REQUIRES: sizes and types hold field_count entries;
// the buffer stays valid while the context lives.
int32_t LE_HDecritEnregistrement(int32_t ctx, const char* file, int32_t record_size,
                                 const int32_t* field_sizes, int32_t field_count, const char* types,
                                 void* buffer);

// Sharing and analysis: 0 means failure.
int32_t LE_Hinitpartage(int32_t ctx, int32_t shared_ctx);
int32_t LE_Houvreanalyse(int32_t ctx, const char* path, const char* text1, const char* text2,
                         const char* text3, const char* text4);

// Settings.
int32_t LE_Hsubstrep(int32_t ctx, const char* directory, const char* new_directory);
int32_t LE_Hmodeperso(int32_t ctx, int32_t flag);
int32_t LE_Hsecurite(int32_t ctx, int32_t level);
int32_t LE_Hgeredoublonnon(int32_t ctx);
int32_t LE_Hgeretrsnon(int32_t ctx);
int32_t LE_Hgerejnlnon(int32_t ctx);
int32_t LE_Hgererepnon(int32_t ctx);
int32_t LE_Hseterrignore(int32_t ctx, int32_t flag);
int32_t LE_Hsetnbessais(int32_t ctx, int32_t attempts);
int32_t LE_Hnbessais(int32_t ctx);
int32_t LE_Hsetnbessaismessage(int32_t ctx, int32_t attempts);

// Files: "" closes every file of the context.
int32_t LE_Hsubstnom(int32_t ctx, const char* file, const char* physical_name);
int32_t LE_Hcreation(int32_t ctx, const char* file);
int32_t LE_Hferme(int32_t ctx, const char* file);

// Reads.
int32_t LE_Hlitpremier(int32_t ctx, const char* file, const char* key, int32_t options);
int32_t LE_Hlitsuivant(int32_t ctx, const char* file, const char* key, int32_t options);
int32_t LE_Hlitrecherche(int32_t ctx, const char* file, const char* key, const char* value,
                         int32_t options);
int32_t LE_Hendehors(int32_t ctx);

// Writes: the record is taken from the buffer; modify and delete act on the
// current record.
int32_t LE_Hajoute(int32_t ctx, const char* file, int32_t options);
int32_t LE_Hmodifie(int32_t ctx, const char* file, int32_t options);
int32_t LE_Hsupprime(int32_t ctx, const char* file, int32_t options);

// Counts of the file last named by LE_Hinfogene.
int32_t LE_Hinfogene(int32_t ctx, const char* file);
int32_t LE_Hnbenr(int32_t ctx);
int32_t LE_Hnumenr(int32_t ctx);

// Our own additions: group the writes of a bulk load or of a run into one
// transaction per file (the data tool, the extraction, the benchmarks).
int32_t LE_BeginBatch(int32_t ctx);
int32_t LE_EndBatch(int32_t ctx);
// Ends the batch with none of its writes kept (an emptying by LE_Hcreation
// made in the batch included): a run that met an error commits nothing.
int32_t LE_CancelBatch(int32_t ctx);

// Our own additions, for every caller: the last fault of a data file (damaged,
// full, locked, read-only, unusable: file_error.h) met by the context's calls
// since LE_ClearFileError, apart from the out-of-file state of reads. Returns
// the kind (0 when none) and copies the file name, its physical path and the
// reason into the given texts (room for *_size bytes, NUL included; a null
// text is left out). Neither is logged, so that a run may ask after every
// record.
int32_t LE_LastFileError(int32_t ctx, char* file, int32_t file_size, char* path,
                         int32_t path_size, char* reason, int32_t reason_size);
int32_t LE_ClearFileError(int32_t ctx);

#ifdef __cplusplus
}
#endif

#endif  // VZ_PLATFORM_ENGINE_LE_API_H_
