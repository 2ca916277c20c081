// Households of the demo installation: who lives there, and their CLIENT,
// ADRESSES and CLIPART records.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/datatool/demo_parts.h"
#include "tools/datatool/demo_tables.h"

namespace vz::datatool {

using vz::db::FileId;

namespace {

// CLIENT fields used here.
constexpr int kClientCodePrefix = 1, kClientFile = 2, kClientDigit = 3, kClientName = 4,
              kClientMaidenName = 5, kClientFirstName = 6, kClientAddress1 = 7, kClientAddress2 = 8,
              kClientPostcode = 9, kClientCity = 10, kClientPhone = 11, kClientMobile = 12,
              kClientSituation = 13, kClientCivility = 14, kClientBirth = 15,
              kClientProfession = 18, kClientRegime = 23, kClientFileNumber = 38, kClientTitle = 67,
              kClientStamp = 84;
// ADRESSES fields.
constexpr int kAddressPrefix = 1, kAddressFile = 2, kAddressNumber = 3, kAddressLines = 4,
              kAddressPostcode = 5, kAddressCity = 6;
// CLIPART fields.
constexpr int kEstateClient = 1, kEstateFigures = 12;

// "01 23 45 67 89": 14 characters.
// Draws are made one statement at a time: the order in which the arguments
// of one call are evaluated is unspecified, and the records must not depend
// on the compiler.
std::string Phone(Random& rng, char first) {
  int pairs[4];
  for (int& pair : pairs) pair = static_cast<int>(rng.Between(0, 99));
  char phone[32];
  std::snprintf(phone, sizeof phone, "0%c %02d %02d %02d %02d", first, pairs[0], pairs[1], pairs[2],
                pairs[3]);
  return phone;
}

// Percent weights of a small table of choices.
template <typename T, size_t N>
T Weighted(Random& rng, const std::pair<T, int> (&choices)[N]) {
  int64_t roll = rng.Between(0, 99);
  for (const auto& [value, weight] : choices) {
    if (roll < weight) return value;
    roll -= weight;
  }
  return choices[N - 1].first;
}

// Number of professions (family records left out) of family f.
int ProfessionsInFamily(int f) {
  static const std::array<int, 100> counts = [] {
    std::array<int, 100> c{};
    for (const Profession& p : Professions()) {
      const std::string code(p.code);
      if (code.substr(2) != "000") ++c[static_cast<size_t>(std::stoi(code.substr(0, 2)))];
    }
    return c;
  }();
  return counts[static_cast<size_t>(f)];
}

std::string DrawProfession(Random& rng, int age, int* family) {
  int f = 0;
  if (age < 23) {
    f = rng.Chance(80) ? 8 : 4;
  } else if (age >= 65) {
    static constexpr std::pair<int, int> kOld[] = {{7, 85}, {6, 10}, {1, 5}};
    f = Weighted(rng, kOld);
  } else {
    static constexpr std::pair<int, int> kWorking[] = {{1, 4},  {2, 10}, {3, 22}, {4, 28},
                                                       {5, 16}, {6, 10}, {8, 10}};
    f = Weighted(rng, kWorking);
  }
  *family = f;
  if (f == 8) return age < 23 ? "08001" : "08002";
  const int count = ProfessionsInFamily(f);
  char code[8];
  std::snprintf(code, sizeof code, "%02d%03d", f, static_cast<int>(rng.Between(1, count)));
  return code;
}

std::string DrawRegime(Random& rng) {
  static constexpr std::pair<const char*, int> kRegimes[] = {
      {"RM001", 60}, {"RM003", 20}, {"RM002", 8}, {"RM004", 7}, {"RM005", 3}, {"RM006", 2}};
  return Weighted(rng, kRegimes);
}

void DrawPerson(Random& rng, int age, bool female, Person& p) {
  p.female = female;
  p.age = age;
  if (rng.Chance(1)) {
    p.birth = "00000000";
  } else {
    const int month = static_cast<int>(rng.Between(1, 12));
    const int day = static_cast<int>(rng.Between(1, 28));
    char birth[32];
    std::snprintf(birth, sizeof birth, "%04d%02d%02d", kReferenceYear - age, month, day);
    p.birth = birth;
  }
  p.profession = DrawProfession(rng, age, &p.family);
  p.first_name = Text(female ? rng.Pick(FemaleFirstNames()) : rng.Pick(MaleFirstNames()));
  p.civility = female ? '2' : '1';
  p.title.clear();
  if (p.profession == "06001" && rng.Chance(50)) p.title = "Docteur";
  if ((p.profession == "06002" || p.profession == "06003") && rng.Chance(40)) {
    p.title = "Ma\xEEtre";  // cp1252 i circumflex
  }
}

}  // namespace

void DrawHousehold(int64_t number, int size, Random& rng, Household& h) {
  char code[16];
  std::snprintf(code, sizeof code, "%s%06lld", kClientPrefix, static_cast<long long>(number));
  h.code = code;
  h.persons.resize(static_cast<size_t>(size));
  h.properties.clear();
  const int age1 = static_cast<int>(rng.Between(20, 92));
  const bool first_female = size == 1 ? rng.Chance(50) : rng.Chance(8);
  if (size == 2) {
    static constexpr std::pair<char, int> kCouple[] = {{'M', 68}, {'P', 12}, {'U', 12}, {'N', 8}};
    h.situation = Weighted(rng, kCouple);
  } else {
    static constexpr std::pair<char, int> kSingle[] = {
        {'C', 35}, {'V', 20}, {'D', 25}, {'S', 12}, {'M', 8}};
    h.situation = Weighted(rng, kSingle);
    if (h.situation == 'V' && age1 < 45) h.situation = 'C';
  }
  DrawPerson(rng, age1, first_female, h.persons[0]);
  const std::string family_name = Text(rng.Pick(FamilyNames()));
  h.persons[0].name = family_name;
  if (size == 2) {
    const int age2 = std::max(19, age1 + static_cast<int>(rng.Between(-6, 6)));
    DrawPerson(rng, age2, !first_female, h.persons[1]);
    const bool shared = h.situation == 'M' ? rng.Chance(85) : rng.Chance(20);
    const std::string other = Text(rng.Pick(FamilyNames()));
    h.persons[1].name = shared ? family_name : other;
    h.persons[1].maiden_name = shared && h.persons[1].female ? other : "";
  }
  h.persons[0].maiden_name.clear();
  const std::string regime = h.situation == 'M' ? DrawRegime(rng) : "";
  for (size_t i = 0; i < h.persons.size(); ++i) {
    Person& p = h.persons[i];
    p.digit = static_cast<char>('1' + i);
    p.code = h.code + p.digit;
    p.regime = regime;
    if (p.female && size == 1 && h.situation == 'C' && p.age < 30 && rng.Chance(50)) {
      p.civility = '3';
    }
    // Closed files and deceased clients, which the selection skips.
    if (rng.Chance(1)) p.name = (rng.Chance(50) ? "(" : "*") + p.name;
  }
  const int64_t wealth_roll = rng.Between(0, 99);
  h.wealthy = wealth_roll < 12;
  h.owns_home = rng.Chance(h.persons[0].age < 30 ? 25 : 65);
  h.street_number = static_cast<int>(rng.Between(1, 120));
  h.street = static_cast<int>(rng.Between(0, static_cast<int64_t>(Streets().size()) - 1));
  h.complement =
      rng.Chance(30)
          ? static_cast<int>(rng.Between(0, static_cast<int64_t>(AddressComplements().size()) - 1))
          : -1;
  h.town = static_cast<int>(rng.Between(0, static_cast<int64_t>(Towns().size()) - 1));
  h.address_record = rng.Chance(90);
  h.second_address = h.address_record && rng.Chance(8);
  h.phone = Phone(rng, static_cast<char>('1' + rng.Between(0, 4)));
}

void WriteIdentity(const Household& h, Random& rng, DemoOutput& out) {
  const Town& town = Towns()[static_cast<size_t>(h.town)];
  const std::string line1 =
      std::to_string(h.street_number) + " " + Text(Streets()[static_cast<size_t>(h.street)]);
  const std::string line2 =
      h.complement < 0 ? "" : Text(AddressComplements()[static_cast<size_t>(h.complement)]);
  const std::string city = Text(town.name);
  for (const Person& p : h.persons) {
    RecordWriter& w = out.Start(FileId::CLIENT);
    w.Text(kClientCodePrefix, h.code.substr(0, 2));
    w.Text(kClientFile, h.code.substr(2, 6));
    w.Text(kClientDigit, std::string(1, p.digit));
    w.Text(kClientName, p.name);
    w.Text(kClientMaidenName, p.maiden_name);
    w.Text(kClientFirstName, p.first_name);
    w.Text(kClientAddress1, line1);
    w.Text(kClientAddress2, line2);
    w.Text(kClientPostcode, town.postcode);
    w.Text(kClientCity, city);
    w.Text(kClientPhone, h.phone);
    w.Text(kClientMobile, Phone(rng, rng.Chance(50) ? '6' : '7'));
    w.Text(kClientSituation, std::string(1, h.situation));
    w.Text(kClientCivility, std::string(1, p.civility));
    w.Text(kClientBirth, p.birth);
    w.Text(kClientProfession, p.profession);
    w.Text(kClientRegime, p.regime);
    w.Text(kClientFileNumber, h.code.substr(2, 6));
    w.Text(kClientTitle, p.title);
    static constexpr int kStampRanges[6][2] = {{1, 12}, {1, 28}, {8, 19},
                                               {0, 59}, {0, 59}, {0, 999}};
    int s[6];
    for (int i = 0; i < 6; ++i)
      s[i] = static_cast<int>(rng.Between(kStampRanges[i][0], kStampRanges[i][1]));
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "2024%02d%02d%02d%02d%02d%03d", s[0], s[1], s[2], s[3], s[4],
                  s[5]);
    w.Text(kClientStamp, stamp);
    out.Emit(FileId::CLIENT);
  }
  for (int n = 1; n <= (h.second_address ? 2 : (h.address_record ? 1 : 0)); ++n) {
    RecordWriter& w = out.Start(FileId::ADRESSES);
    w.Text(kAddressPrefix, h.code.substr(0, 2));
    w.Text(kAddressFile, h.code.substr(2, 6));
    w.Text(kAddressNumber, n == 1 ? "001" : "002");
    if (n == 1) {
      w.Text(kAddressLines, line1, 0);
      w.Text(kAddressLines, line2, 1);
      w.Text(kAddressPostcode, town.postcode);
      w.Text(kAddressCity, city);
    } else {  // a holiday address
      const Town& other = rng.Pick(Towns());
      const int64_t number = rng.Between(1, 40);
      const std::string street = Text(rng.Pick(Streets()));
      w.Text(kAddressLines, std::to_string(number) + " " + street, 0);
      w.Text(kAddressPostcode, other.postcode);
      w.Text(kAddressCity, Text(other.name));
    }
    out.Emit(FileId::ADRESSES);
  }
  for (const Person& p : h.persons) {
    RecordWriter& w = out.Start(FileId::CLIPART);
    w.Text(kEstateClient, p.code);
    if (!rng.Chance(30)) {
      const float assets = rng.Euros(20, h.wealthy ? 6000 : 900) * 1000.0f;
      w.Real(kEstateFigures, assets, 0);
      w.Real(kEstateFigures, std::floor(assets * static_cast<float>(rng.Between(0, 25)) / 100.0f),
             1);
    }
    out.Emit(FileId::CLIPART);
  }
}

}  // namespace vz::datatool
