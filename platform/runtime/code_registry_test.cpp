#include "platform/runtime/code_registry.h"

#include <gtest/gtest.h>

#include <memory>

namespace vz::runtime {
namespace {

using PlainCode = void (*)(CodeContext&, Window&);
void BarCode(CodeContext&, Window&) {}
void MergeCode(CodeContext&, Window&) {}
void OtherCode(CodeContext&, Window&) {}

// Which of the functions above the registry holds under those names, or
// nullptr when it holds no code for them.
PlainCode Found(const CodeRegistry& registry, const char* window, const char* field,
                const char* event) {
  const WindowCode* code = registry.FindWindowCode(window, field, event);
  if (code == nullptr) return nullptr;
  const PlainCode* plain = code->target<PlainCode>();
  return plain != nullptr ? *plain : nullptr;
}

// Window code is found however the names are written, again and again (a
// progress window asks for the same code at every client), and never for a
// name that differs.
TEST(CodeRegistry, FindsWindowCodeByFoldedNamesEveryTime) {
  CodeRegistry registry;
  registry.AddWindowCode("EX_attente", "NbTraite", "entree", BarCode);
  registry.AddWindowCode("RESULTAT", "BOUTON1", "CLIC", MergeCode);
  struct Case {
    const char* window;
    const char* field;
    const char* event;
    PlainCode code;
  };
  const Case cases[] = {
      {"EX_attente", "NbTraite", "entree", BarCode},
      {"EX_attente", "NbTraite", "entree", BarCode},
      {"ex_attente.wdw", "NBTRAITE",
       "Entr\xE9"
       "e",
       BarCode},
      {"R\xE9sultat", "bouton1", "clic", MergeCode},
      {"EX_attente", "NbTraite", "sortie", nullptr},
      {"EX_attente", "NbTrait", "entree", nullptr},
      {"EX_attente", "NbTraite", "entree", BarCode},
      {"EX_ATTENTE2", "NbTraite", "entree", nullptr},
      {"RESULTAT", "BOUTON1", "CLIC", MergeCode},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Found(registry, c.window, c.field, c.event), c.code)
        << c.window << "." << c.field << "." << c.event;
  }
}

// A later registration replaces the code found before, even for the names
// just asked for.
TEST(CodeRegistry, ALaterRegistrationReplacesTheCodeJustFound) {
  CodeRegistry registry;
  registry.AddWindowCode("EX_attente", "NbTraite", "entree", BarCode);
  EXPECT_EQ(Found(registry, "EX_attente", "NbTraite", "entree"), BarCode);
  registry.AddWindowCode("ex_attente", "NBTRAITE", "ENTREE", OtherCode);
  EXPECT_EQ(Found(registry, "EX_attente", "NbTraite", "entree"), OtherCode);
}

// A copy of a registry finds its own code, also once the original is gone.
TEST(CodeRegistry, ACopyOutlivesTheOriginal) {
  auto original = std::make_unique<CodeRegistry>();
  original->AddWindowCode("W", "F", "E", BarCode);
  EXPECT_EQ(Found(*original, "W", "F", "E"), BarCode);
  CodeRegistry copy = *original;
  CodeRegistry assigned;
  assigned = *original;
  CodeRegistry moved = std::move(*original);
  original.reset();
  EXPECT_EQ(Found(copy, "W", "F", "E"), BarCode);
  EXPECT_EQ(Found(assigned, "W", "F", "E"), BarCode);
  EXPECT_EQ(Found(moved, "W", "F", "E"), BarCode);
}

}  // namespace
}  // namespace vz::runtime
