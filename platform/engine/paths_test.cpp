#include "platform/engine/paths.h"

#include <gtest/gtest.h>

namespace vz::engine {
namespace {

TEST(PathsTest, SameDirectoryIgnoresCaseSlashesAndTrailingSeparators) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"D:\\VESTRA", "d:/vestra", true},
      {"D:\\VESTRA\\", "D:\\VESTRA", true},
      {"D:\\VESTRA", "D:\\VESTRA2", false},
      {"D:\\VESTRA", "E:\\VESTRA", false},
      {"", "", true},
      {"?", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(SameDirectory(c.a, c.b), c.same) << c.a << " " << c.b;
}

TEST(PathsTest, SubstitutionsResolve) {
  DirectorySubstitutions subs;
  EXPECT_EQ(subs.Resolve("D:\\VESTRA"), "VESTRA");  // drive dropped, relative
  EXPECT_EQ(subs.Resolve("..\\DATA\\"), "../DATA");
  EXPECT_EQ(subs.Resolve("C:\\"), ".");
  subs.Set("D:\\VESTRA", "?");
  EXPECT_EQ(subs.Resolve("d:/vestra"), ".");
  subs.Set("d:/Vestra/", "/srv/data/");  // a later substitution replaces the earlier one
  EXPECT_EQ(subs.Resolve("D:\\VESTRA"), "/srv/data");
  subs.Set("D:\\VESTRA", "");
  EXPECT_EQ(subs.Resolve("D:\\VESTRA"), ".");
  subs.Set("D:\\VESTRA", "..\\FIC01");
  EXPECT_EQ(subs.Resolve("D:\\VESTRA"), "../FIC01");
  EXPECT_EQ(subs.Resolve("D:\\AUTRE"), "AUTRE");  // other directories untouched
}

TEST(PathsTest, DatabasePathUpperCasesThePhysicalName) {
  EXPECT_EQ(DatabasePath("/srv/data", "Selectes"), "/srv/data/SELECTES.vzdb");
  EXPECT_EQ(DatabasePath("/", "a"), "/A.vzdb");
  EXPECT_EQ(DatabasePath("", "01000001"), "./01000001.vzdb");
  EXPECT_EQ(DatabasePath(".", "r\xE9q"), "./R\xE9Q.vzdb");  // cp1252 letters kept
}

}  // namespace
}  // namespace vz::engine
