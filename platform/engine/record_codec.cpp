#include "platform/engine/record_codec.h"

#include <cstdint>
#include <cstring>

#include "platform/os/short_copy.h"

namespace vz::engine {
namespace {

constexpr unsigned kLiteral = 0;
constexpr unsigned kZeros = 1;
constexpr unsigned kRepeat = 2;
constexpr int kMostVarintBytes = 5;

// Shortest runs worth a token of their own inside a literal: a zero run
// costs one token byte and a new literal header, a repeat one byte more.
constexpr std::size_t kLeastZeroRun = 3;
constexpr std::size_t kLeastRepeatRun = 4;

void PutVarint(uint64_t value, std::string* out) {
  while (value >= 0x80) {
    out->push_back(static_cast<char>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  out->push_back(static_cast<char>(value));
}

// False when the varint is cut off or longer than kMostVarintBytes.
bool GetVarint(const unsigned char*& at, const unsigned char* end, uint64_t* value) {
  uint64_t result = 0;
  for (int i = 0; i < kMostVarintBytes; ++i) {
    if (at == end) return false;
    const unsigned char byte = *at++;
    result |= static_cast<uint64_t>(byte & 0x7F) << (7 * i);
    if ((byte & 0x80) == 0) {
      *value = result;
      return true;
    }
  }
  return false;
}

void PutToken(std::size_t length, unsigned kind, std::string* out) {
  PutVarint((static_cast<uint64_t>(length) << 2) | kind, out);
}

}  // namespace

void CompactRecord(std::string_view bytes, std::string* out) {
  out->clear();
  out->push_back(static_cast<char>(kCompactVersion));
  PutVarint(bytes.size(), out);
  std::size_t end = bytes.size();
  while (end > 0 && bytes[end - 1] == '\0') --end;  // trailing zeros are implied
  std::size_t literal = 0;                          // start of the pending literal
  auto flush = [&](std::size_t upto) {
    if (upto > literal) {
      PutToken(upto - literal, kLiteral, out);
      out->append(bytes.data() + literal, upto - literal);
    }
  };
  std::size_t at = 0;
  while (at < end) {
    const char byte = bytes[at];
    std::size_t run = 1;
    while (at + run < end && bytes[at + run] == byte) ++run;
    const bool zero = byte == '\0';
    if (run >= (zero ? kLeastZeroRun : kLeastRepeatRun)) {
      flush(at);
      PutToken(run, zero ? kZeros : kRepeat, out);
      if (!zero) out->push_back(byte);
      literal = at + run;
    }
    at += run;
  }
  flush(end);
}

CompactFault ExpandRecord(std::string_view stored, std::string* out) {
  const auto* at = reinterpret_cast<const unsigned char*>(stored.data());
  const unsigned char* const end = at + stored.size();
  if (at == end || *at != kCompactVersion) return CompactFault::kUnknownVersion;
  ++at;
  uint64_t length = 0;
  if (!GetVarint(at, end, &length) || length > kMostRecordBytes) return CompactFault::kBadLength;
  out->assign(static_cast<std::size_t>(length), '\0');
  char* const record = out->data();
  std::size_t filled = 0;
  while (at != end) {
    // Most tokens are one byte: runs shorter than 32 bytes.
    uint64_t token = *at;
    if (token < 0x80) {
      ++at;
    } else if (!GetVarint(at, end, &token)) {
      return CompactFault::kTruncatedRun;
    }
    const unsigned kind = static_cast<unsigned>(token & 3);
    const uint64_t n = token >> 2;
    if (n == 0 || kind > kRepeat) return CompactFault::kBadRun;
    if (n > length - filled) return CompactFault::kBadLength;
    const std::size_t count = static_cast<std::size_t>(n);
    if (kind == kLiteral) {
      if (static_cast<std::size_t>(end - at) < count) return CompactFault::kTruncatedRun;
      os::CopyShort(record + filled, at, count);  // most literals are short
      at += count;
    } else if (kind == kRepeat) {
      if (at == end) return CompactFault::kTruncatedRun;
      std::memset(record + filled, *at++, count);
    }  // zeros: already there
    filled += count;
  }
  return CompactFault::kNone;
}

const char* CompactFaultReason(CompactFault fault) {
  switch (fault) {
    case CompactFault::kNone:
      return "sound";
    case CompactFault::kUnknownVersion:
      return "unknown version";
    case CompactFault::kBadLength:
      return "bad length";
    case CompactFault::kTruncatedRun:
      return "truncated run";
    case CompactFault::kBadRun:
      return "bad run";
  }
  return "damaged";
}

std::string DamagedRecordReport(int64_t recno, CompactFault fault) {
  return "record " + std::to_string(recno) + ": " + kDamagedCompactRecord + " (" +
         CompactFaultReason(fault) + ")";
}

}  // namespace vz::engine
