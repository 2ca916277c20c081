// The compact form of a record's bytes, as a SQLite file stored compactly
// keeps them in its data column (docs/storage.md). The rubric records are
// mostly zeros: the compact form leaves out their runs of zeros, their runs
// of one repeated byte (blanks) and their trailing zeros, and gives back the
// exact bytes on expansion.
//
//   byte 0        kCompactVersion
//   varint        the record's full length (at most kMostRecordBytes)
//   tokens        until the end of the stored bytes, each a varint
//                 t = (n << 2) | kind, n >= 1:
//                   kind 0: n literal bytes follow
//                   kind 1: n zero bytes
//                   kind 2: n copies of the one byte that follows
//   (the bytes the tokens leave short of the full length are zeros)
//
// Varints are little-endian base 128 (7 bits a byte, high bit set on every
// byte but the last, at most 5 bytes). Keys are never encoded: only the data
// column is.
//
// Which form a file holds is a property of the file: the `format` row of its
// vz_info, kPlainFormat or kCompactFormat. An older engine refuses a format
// it does not know, so it never reads compact bytes as a record.
//
// CompactRecord never fails. ExpandRecord checks everything it reads and
// refuses damaged input with the kind of damage (never reads or writes out
// of bounds). Pure functions: no state, any thread.
#ifndef VZ_PLATFORM_ENGINE_RECORD_CODEC_H_
#define VZ_PLATFORM_ENGINE_RECORD_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vz::engine {

inline constexpr unsigned char kCompactVersion = 1;
// Larger than any record of the analysis (their sizes are 16-bit).
inline constexpr std::size_t kMostRecordBytes = std::size_t{1} << 20;

// The `format` values of a SQLite file's vz_info.
inline constexpr const char* kPlainFormat = "1";
inline constexpr const char* kCompactFormat = "2";

enum class CompactFault {
  kNone,
  kUnknownVersion,  // empty, or a first byte other than kCompactVersion
  kBadLength,       // the full length unreadable, too large, or runs beyond it
  kTruncatedRun,    // a token, its literal bytes or its repeated byte cut off
  kBadRun,          // a token of an unknown kind or of length 0
};

// The compact form of `bytes` (at most kMostRecordBytes) into `out`.
void CompactRecord(std::string_view bytes, std::string* out);

// The record's bytes from its compact form into `out`; kNone when done.
// On a fault `out` holds no meaningful bytes.
CompactFault ExpandRecord(std::string_view stored, std::string* out);

// A short English reason for the call log ("unknown version").
const char* CompactFaultReason(CompactFault fault);

// What a record that does not expand is called in the reports of the stores,
// and the whole line for record `recno` ("record 12: damaged compact record
// (bad length)").
inline constexpr const char* kDamagedCompactRecord = "damaged compact record";
std::string DamagedRecordReport(int64_t recno, CompactFault fault);

}  // namespace vz::engine

#endif  // VZ_PLATFORM_ENGINE_RECORD_CODEC_H_
