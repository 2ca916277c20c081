// The letter template scanner (src/outputs/letter_template.h) on any bytes,
// in the format the first byte chooses. Besides crashes, it checks that the
// pieces give back every byte of the template in order, that keywords are
// 1 to 7 characters after their "#", and that the layout cost is measured
// without fault.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "src/outputs/letter_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vz::outputs::LetterFormat;
  vz::fuzz::FuzzInput input(data, size);
  constexpr LetterFormat kFormats[] = {LetterFormat::kRtf, LetterFormat::kHtml, LetterFormat::kText,
                                       LetterFormat::kFlatOdf};
  const LetterFormat format = kFormats[input.Byte() % 4];
  const vz::outputs::LetterTemplate parsed{std::string(input.Rest()), format};
  size_t next = 0;
  for (const vz::outputs::TemplatePiece& piece : parsed.pieces()) {
    if (piece.offset != next || piece.length == 0) std::abort();
    next += piece.length;
    if (piece.keyword) {
      const size_t keyword = parsed.Keyword(piece).size();
      if (parsed.Text(piece)[0] != '#' || keyword < 1 || keyword > vz::outputs::kMaxKeywordLength) {
        std::abort();
      }
    }
  }
  if (next != parsed.bytes().size()) std::abort();
  (void)vz::outputs::LayoutCostRefusal(parsed);
  return 0;
}
