// Inside the demo generator: the household being built, the writers of every
// file it fills, and the pieces that write one kind of data each
// (demo_reference.cpp, demo_household.cpp, demo_finances.cpp,
// demo_queries.cpp). Used by demo_generator.cpp and its tests only.
//
// DemoOutput owns one RecordWriter per file (built once, reused for every
// record) and counts what it hands to the sink; a refused record sets
// failed() and later records are dropped.
#ifndef VZ_TOOLS_DATATOOL_DEMO_PARTS_H_
#define VZ_TOOLS_DATATOOL_DEMO_PARTS_H_

#include <memory>
#include <string>
#include <vector>

#include "src/db/file_id.h"
#include "tools/datatool/demo_generator.h"
#include "tools/datatool/random.h"
#include "tools/datatool/record_writer.h"

namespace vz::datatool {

class DemoOutput {
 public:
  DemoOutput(RecordSink& sink, GenerateStats& stats);

  // The file's writer, cleared. REQUIRES: the catalogue knows the file.
  RecordWriter& Start(vz::db::FileId file);
  // Hands the writer's record to the sink.
  void Emit(vz::db::FileId file);
  bool failed() const { return failed_; }
  RecordSink& sink() { return sink_; }

 private:
  RecordSink& sink_;
  GenerateStats& stats_;
  std::vector<std::unique_ptr<RecordWriter>> writers_;
  bool failed_ = false;
};

// Reference year of the demo data: ages and dates are drawn against it, never
// against today's date, so that a seed always gives the same records.
inline constexpr int kReferenceYear = 2025;

struct Person {
  char digit = '1';  // person digit of the client code
  std::string code;  // 9 characters
  bool female = false;
  std::string birth;        // YYYYMMDD, or "00000000" when unknown
  int age = 0;              // in kReferenceYear
  std::string profession;   // 5 characters: family (2) + number (3)
  int family = 0;           // profession family 1..8
  std::string name;         // cp1252, upper case; may begin with "(" or "*"
  std::string first_name;   // cp1252
  std::string maiden_name;  // cp1252, married women only
  std::string regime;       // matrimonial regime code, or empty
  char civility = '1';
  std::string title;  // written-out civility, usually empty
};

struct Household {
  std::string code;  // 8 characters: prefix and file number
  std::vector<Person> persons;
  char situation = 'C';  // family situation code
  bool wealthy = false;  // draws larger assets
  bool owns_home = false;
  // Address: street number, street, complement (-1: none), town.
  int street_number = 1;
  int street = 0;
  int complement = -1;
  int town = 0;
  bool address_record = true;   // ADRESSES "001"; otherwise CLIENT fields only
  bool second_address = false;  // also an ADRESSES "002"
  std::string phone;            // 14 characters
  // Properties that loans may finance: key text (17 characters) and owner.
  struct Property {
    std::string key;  // owner's client code + line code + part
    bool financed = false;
    bool land = false;
    float value = 0, rent = 0, charges = 0, tax = 0;
  };
  std::vector<Property> properties;

  bool couple() const { return persons.size() == 2; }
};

// Reference files: RUBRIQUE, PROFES, ANNEXE.
void WriteReferenceFiles(DemoOutput& out);

// Draws household number `number` (1-based) with `size` persons.
void DrawHousehold(int64_t number, int size, Random& rng, Household& household);

// CLIENT, ADRESSES and CLIPART records of the household.
void WriteIdentity(const Household& household, Random& rng, DemoOutput& out);

// Records of the fourteen rubric files.
void WriteFinances(Household& household, Random& rng, DemoOutput& out);

// Saved queries in REQUETES; returns how many.
int WriteQueries(DemoOutput& out);

// cp1252 text of a UTF-8 literal or table entry.
std::string Text(const char* utf8);

}  // namespace vz::datatool

#endif  // VZ_TOOLS_DATATOOL_DEMO_PARTS_H_
