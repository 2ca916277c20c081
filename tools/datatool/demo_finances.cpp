// The financial records of a demo household, in the fourteen rubric files.
// Records of one file are handed over in key order (owner "1", "2", then the
// joint owner "3"; line code; part), which keeps the engine's inserts cheap.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/datatool/demo_parts.h"

namespace vz::datatool {

using vz::db::FileId;

namespace {

// Fields shared by the rubric files.
constexpr int kOwner = 1, kLine = 2, kPart = 3, kAmount = 4;
// REVENUS.
constexpr int kIncomeEmployer = 6, kIncomeStatus = 7, kIncomeDate = 14, kIncomeGross = 15;
// EMPRUNTS.
constexpr int kLoanOutstanding = 12, kLoanProperty = 19;
// IMMORAPP.
constexpr int kRent = 6, kCharges = 14, kPropertyTax = 15, kFinanced = 22;
// FONCIER: the farm rent.
constexpr int kLandRent = 6;
// RETRPERS: the expected annuity.
constexpr int kAnnuity = 11;
// PREVSOUH: four runs of eight reals.
constexpr int kCoverRates2 = 4, kCoverRates1 = 6, kCoverHeld = 7, kCoverWanted = 8;

std::string Part(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%03d", n);
  return buffer;
}

// One planned record: its key parts and up to two amounts, kept small so that
// a household's records can be sorted into key order before they are written.
struct Line {
  Line(char o, std::string c, float a, float s = 0, std::string l = {})
      : owner(o), code(std::move(c)), amount(a), second(s), link(std::move(l)) {}
  char owner;
  std::string code;
  float amount;
  float second;
  std::string link;  // EMPRUNTS: key of the financed property
};

class FinanceWriter {
 public:
  FinanceWriter(Household& h, Random& rng, DemoOutput& out) : h_(h), rng_(rng), out_(out) {}

  void WriteAll() {
    PlanProperties();
    Income();
    Loans();
    Taxes();
    Homes();
    Rentals();
    Lands();
    SimpleAssets(FileId::VALMOBIL, {"04001", "04002", "04003", "04004", "04005"},
                 h_.wealthy ? 95 : 45, 1000, h_.wealthy ? 400000 : 60000);
    Cash();
    SimpleAssets(FileId::AUTREVAL, {"06001", "06002", "06003", "06004"}, 40, 2000,
                 h_.wealthy ? 150000 : 40000);
    SimpleAssets(FileId::PRIMEUNI, {"07001", "07002", "07003"}, h_.wealthy ? 90 : 50, 5000,
                 h_.wealthy ? 900000 : 150000);
    Pensions();
    PersonalPlans();
    DesiredRates();
    Cover();
  }

 private:
  std::string Owner(char digit) const { return h_.code + digit; }

  // Owner of an asset: a person, or both persons of a couple ("3").
  char DrawOwner(int joint_percent) {
    if (!h_.couple()) return '1';
    if (rng_.Chance(joint_percent)) return '3';
    return rng_.Chance(50) ? '1' : '2';
  }

  RecordWriter& Start(FileId file, char owner, const std::string& code, int part) {
    RecordWriter& w = out_.Start(file);
    w.Text(kOwner, Owner(owner));
    w.Text(kLine, code);
    w.Text(kPart, Part(part));
    return w;
  }

  // Sorts lines into key order and numbers the parts of equal (owner, code).
  template <typename WriteFn>
  void Emit(FileId file, std::vector<Line>& lines, WriteFn write) {
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
      return a.owner != b.owner ? a.owner < b.owner : a.code < b.code;
    });
    for (size_t i = 0; i < lines.size(); ++i) {
      int part = 1;
      for (size_t j = i;
           j > 0 && lines[j - 1].owner == lines[i].owner && lines[j - 1].code == lines[i].code;
           --j) {
        ++part;
      }
      RecordWriter& w = Start(file, lines[i].owner, lines[i].code, part);
      w.Real(kAmount, lines[i].amount);
      write(w, lines[i]);
      out_.Emit(file);
    }
    lines.clear();
  }

  void PlanProperties() {
    h_.properties.clear();
    std::vector<std::pair<std::string, Household::Property>> planned;
    const int rentals = rng_.Chance(h_.wealthy ? 70 : 22)
                            ? static_cast<int>(rng_.Between(1, h_.wealthy ? 4 : 2))
                            : 0;
    const int lands = rng_.Chance(h_.wealthy ? 30 : 8) ? static_cast<int>(rng_.Between(1, 2)) : 0;
    for (int i = 0; i < rentals + lands; ++i) {
      Household::Property p;
      p.land = i >= rentals;
      const char owner = DrawOwner(60);
      const std::string code = p.land ? "0300" + std::to_string(rng_.Between(1, 3))
                                      : "0200" + std::to_string(rng_.Between(1, 4));
      p.value = rng_.Euros(p.land ? 10 : 60, p.land ? 400 : 700) * 1000.0f;
      p.rent = std::round(
          p.value * static_cast<float>(rng_.Between(p.land ? 1 : 3, p.land ? 3 : 7)) / 100.0f);
      p.charges = std::round(p.rent * static_cast<float>(rng_.Between(5, 20)) / 100.0f);
      p.tax = std::round(p.rent * static_cast<float>(rng_.Between(5, 15)) / 100.0f);
      p.financed = rng_.Chance(p.land ? 30 : 55);
      planned.push_back({Owner(owner) + code, p});
    }
    std::stable_sort(planned.begin(), planned.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < planned.size(); ++i) {
      int part = 1;
      for (size_t j = i; j > 0 && planned[j - 1].first == planned[i].first; --j) ++part;
      planned[i].second.key = planned[i].first + Part(part);
      h_.properties.push_back(planned[i].second);
    }
  }

  void Income() {
    for (const Person& p : h_.persons) {
      const float top = h_.wealthy ? 250000.0f : 90000.0f;
      switch (p.family) {
        case 3:
        case 4:
        case 5:
          lines_.push_back({p.digit, "40001", rng_.Euros(18000, static_cast<int64_t>(top))});
          break;
        case 1:
          lines_.push_back({p.digit, "40016", rng_.Euros(8000, 80000)});
          break;
        case 2:
          lines_.push_back({p.digit, "40014", rng_.Euros(15000, 150000)});
          if (rng_.Chance(30)) lines_.push_back({p.digit, "40017", rng_.Euros(20000, 90000)});
          break;
        case 6:
          lines_.push_back({p.digit, "40015", rng_.Euros(30000, 300000)});
          break;
        case 7:
          lines_.push_back({p.digit, "40005", rng_.Euros(12000, 60000)});
          break;
        default:
          if (rng_.Chance(20)) lines_.push_back({p.digit, "40005", rng_.Euros(2000, 9000)});
      }
    }
    for (const Household::Property& p : h_.properties) {
      lines_.push_back({p.key[8], "40008", p.rent});
    }
    if (rng_.Chance(h_.wealthy ? 80 : 30)) {
      const int parts = static_cast<int>(rng_.Between(1, 2));
      for (int i = 0; i < parts; ++i) {
        lines_.push_back({DrawOwner(70), "40010", rng_.Euros(200, h_.wealthy ? 60000 : 8000)});
      }
    }
    Emit(FileId::REVENUS, lines_, [&](RecordWriter& w, const Line& l) {
      const bool salary = l.code == "40001";
      w.Real(kIncomeGross, salary ? std::round(l.amount / 0.9f) : l.amount);
      if (salary) w.Real(kIncomeEmployer, std::round(l.amount * 0.12f));
      w.Text(kIncomeStatus, rng_.Chance(5) ? "V" : " ");
      w.Text(kIncomeDate, "20240101");
    });
  }

  void Loans() {
    if (h_.owns_home && h_.persons[0].age < 62 && rng_.Chance(60)) {
      const float amount = rng_.Euros(60, h_.wealthy ? 900 : 350) * 1000.0f;
      lines_.push_back({DrawOwner(85), "54001", amount,
                        std::round(amount * static_cast<float>(rng_.Between(10, 95)) / 100.0f)});
    }
    for (const Household::Property& p : h_.properties) {
      if (!p.financed) continue;
      const float amount = std::round(p.value * static_cast<float>(rng_.Between(50, 100)) / 100.0f);
      const float outstanding =
          rng_.Chance(10) ? 0.0f
                          : std::round(amount * static_cast<float>(rng_.Between(5, 95)) / 100.0f);
      lines_.push_back({p.key[8], p.land ? "54004" : "54002", amount, outstanding, p.key});
    }
    if (rng_.Chance(20)) {
      const float amount = rng_.Euros(3000, 40000);
      lines_.push_back({DrawOwner(30), "54003", amount, std::round(amount * 0.6f)});
    }
    Emit(FileId::EMPRUNTS, lines_, [](RecordWriter& w, const Line& l) {
      w.Real(kLoanOutstanding, l.second);
      if (!l.link.empty()) w.Text(kLoanProperty, l.link);
    });
  }

  void Taxes() {
    const char owner = h_.couple() ? '3' : '1';
    lines_.push_back({owner, "51001", rng_.Euros(0, h_.wealthy ? 90000 : 9000)});
    if (h_.owns_home || !h_.properties.empty())
      lines_.push_back({owner, "51002", rng_.Euros(500, 5000)});
    if (rng_.Chance(20)) lines_.push_back({owner, "51003", rng_.Euros(300, 2000)});
    if (h_.wealthy && rng_.Chance(50)) lines_.push_back({owner, "51004", rng_.Euros(2000, 40000)});
    Emit(FileId::IMPOTS, lines_, [](RecordWriter&, const Line&) {});
  }

  void Homes() {
    if (h_.owns_home) {
      lines_.push_back(
          {DrawOwner(80), "01001", rng_.Euros(120, h_.wealthy ? 3000 : 900) * 1000.0f});
    }
    if (rng_.Chance(h_.wealthy ? 45 : 12)) {
      lines_.push_back({DrawOwner(70), "01002", rng_.Euros(80, h_.wealthy ? 1500 : 400) * 1000.0f});
    }
    Emit(FileId::IMMOBUSA, lines_, [](RecordWriter&, const Line&) {});
  }

  // The planned properties are already in key order.
  void Rentals() {
    for (const Household::Property& p : h_.properties) {
      if (p.land) continue;
      RecordWriter& w =
          Start(FileId::IMMORAPP, p.key[8], p.key.substr(9, 5), std::stoi(p.key.substr(14)));
      w.Real(kAmount, p.value);
      w.Real(kRent, p.rent);
      w.Real(kCharges, p.charges);
      w.Real(kPropertyTax, p.tax);
      w.Text(kFinanced, p.financed ? "O" : "N");
      out_.Emit(FileId::IMMORAPP);
    }
  }

  void Lands() {
    for (const Household::Property& p : h_.properties) {
      if (!p.land) continue;
      RecordWriter& w =
          Start(FileId::FONCIER, p.key[8], p.key.substr(9, 5), std::stoi(p.key.substr(14)));
      w.Real(kAmount, p.value);
      w.Real(kLandRent, p.rent);
      out_.Emit(FileId::FONCIER);
    }
  }

  void SimpleAssets(FileId file, std::initializer_list<const char*> codes, int percent, int64_t low,
                    int64_t high) {
    if (!rng_.Chance(percent)) return;
    for (const char* code : codes) {
      if (!rng_.Chance(45)) continue;
      const int parts = rng_.Chance(25) ? 2 : 1;
      for (int i = 0; i < parts; ++i)
        lines_.push_back({DrawOwner(35), code, rng_.Euros(low, high)});
    }
    if (lines_.empty()) lines_.push_back({DrawOwner(35), *codes.begin(), rng_.Euros(low, high)});
    Emit(file, lines_, [](RecordWriter&, const Line&) {});
  }

  void Cash() {
    const int64_t top = h_.wealthy ? 80000 : 15000;
    const int accounts = static_cast<int>(rng_.Between(1, 2));
    for (int i = 0; i < accounts; ++i)
      lines_.push_back({DrawOwner(70), "05001", rng_.Euros(200, top)});
    for (const Person& p : h_.persons) {
      if (rng_.Chance(70)) lines_.push_back({p.digit, "05002", rng_.Euros(100, 22950)});
      if (rng_.Chance(40)) lines_.push_back({p.digit, "05003", rng_.Euros(100, 12000)});
      if (rng_.Chance(25)) lines_.push_back({p.digit, "05004", rng_.Euros(500, 61200)});
      if (rng_.Chance(10)) lines_.push_back({p.digit, "05005", rng_.Euros(300, 15300)});
    }
    if (h_.wealthy && rng_.Chance(30))
      lines_.push_back({DrawOwner(50), "05006", rng_.Euros(10000, 300000)});
    Emit(FileId::LIQUIDIT, lines_, [](RecordWriter&, const Line&) {});
  }

  void Pensions() {
    for (const Person& p : h_.persons) {
      if (p.age < 45 && p.family != 7) continue;
      const bool retired = p.family == 7;
      lines_.push_back({p.digit, "20001", rng_.Euros(retired ? 9000 : 7000, 22000)});
      if (rng_.Chance(80))
        lines_.push_back({p.digit, "20002", rng_.Euros(3000, h_.wealthy ? 40000 : 15000)});
      if (p.family == 1 || p.family == 2 || p.family == 6 || p.profession == "07003") {
        lines_.push_back({p.digit, "20003", rng_.Euros(2000, 12000)});
      }
    }
    Emit(FileId::RETRAITE, lines_, [](RecordWriter&, const Line&) {});
  }

  void PersonalPlans() {
    for (const Person& p : h_.persons) {
      if (p.age < 35 || p.age > 70 || !rng_.Chance(h_.wealthy ? 40 : 15)) continue;
      lines_.push_back({p.digit, "22001", rng_.Euros(5000, 300000)});
      if ((p.family == 2 || p.family == 6) && rng_.Chance(30)) {
        lines_.push_back({p.digit, "22002", rng_.Euros(5000, 200000)});
      }
    }
    Emit(FileId::RETRPERS, lines_,
         [](RecordWriter& w, const Line& l) { w.Real(kAnnuity, std::round(l.amount * 0.04f)); });
  }

  void DesiredRates() {
    for (const Person& p : h_.persons) {
      if (p.age < 40 || !rng_.Chance(40)) continue;
      lines_.push_back({p.digit, "21001", static_cast<float>(rng_.Between(50, 85))});
    }
    Emit(FileId::RETRSOUH, lines_, [](RecordWriter&, const Line&) {});
  }

  void Cover() {
    for (const Person& p : h_.persons) {
      if (p.age < 25 || p.age > 65 || !rng_.Chance(40)) continue;
      RecordWriter& w = Start(FileId::PREVSOUH, p.digit, "33000", 1);
      for (size_t i = 0; i < 7; ++i) {
        const float wanted = rng_.Euros(i == 0 ? 50 : 5, i == 0 ? 500 : 60) * 1000.0f;
        w.Real(kCoverWanted, wanted, i);
        const float held = std::round(wanted * static_cast<float>(rng_.Between(0, 120)) / 100.0f);
        w.Real(kCoverHeld, held, i);
        w.Real(kCoverRates1, static_cast<float>(rng_.Between(0, 100)), i);
        w.Real(kCoverRates2, static_cast<float>(rng_.Between(0, 100)), i);
      }
      out_.Emit(FileId::PREVSOUH);
    }
  }

  Household& h_;
  Random& rng_;
  DemoOutput& out_;
  std::vector<Line> lines_;
};

}  // namespace

void WriteFinances(Household& household, Random& rng, DemoOutput& out) {
  FinanceWriter(household, rng, out).WriteAll();
}

}  // namespace vz::datatool
