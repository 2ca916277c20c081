#include "project/agenda_appointments.h"

#include <cstring>

#include "platform/os/accents.h"
#include "platform/os/cp1252.h"
#include "src/db/catalogue.h"
#include "src/db/field_access.h"
#include "src/db/layouts/client.h"

namespace vz::project {
namespace {

using db::FileId;

constexpr int kDateField = 1;
constexpr int kTimeField = 2;
constexpr int kClientField = 4;
constexpr size_t kSubjectText = 0;  // long text kept from field 6
constexpr size_t kNotesText = 1;    // long text kept from field 5
constexpr size_t kClientCodeLength = 9;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A typed text as it may be kept on one line of the agenda: TAB (which would
// split the list's rows into wrong columns), carriage return and line feed
// become blanks.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Number(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

std::string TwoDigits(int value) {
  return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Splits "a/b/c" on one kind of separator among those given; false when the
// text has another shape.
bool SplitThree(std::string_view text, std::string_view separators, std::string_view parts[3]) {
  const size_t first = text.find_first_of(separators);
  if (first == std::string_view::npos) return false;
  const char separator = text[first];
  const size_t second = text.find(separator, first + 1);
  if (second == std::string_view::npos ||
      text.find(separator, second + 1) != std::string_view::npos)
    return false;
  parts[0] = text.substr(0, first);
  parts[1] = text.substr(first + 1, second - first - 1);
  parts[2] = text.substr(second + 1);
  return true;
}

size_t FieldOffset(int field) {
  return db::Describe(FileId::RDV).field_offsets[static_cast<size_t>(field - 1)];
}
size_t FieldWidth(int field) {
  return static_cast<size_t>(db::Describe(FileId::RDV).field_sizes[static_cast<size_t>(field - 1)] -
                             1);
}
size_t LongTextOffset(size_t which) {
  return db::Describe(FileId::RDV).long_texts[which].text_offset;
}

Appointment FromBuffer(db::RecordSession& data) {
  const uint8_t* record = data.Buffer(FileId::RDV);
  Appointment appointment;
  appointment.date = db::GetText(record, FieldOffset(kDateField), FieldWidth(kDateField));
  appointment.time = db::GetText(record, FieldOffset(kTimeField), FieldWidth(kTimeField));
  appointment.client =
      std::string(Trim(db::GetText(record, FieldOffset(kClientField), FieldWidth(kClientField))));
  appointment.subject = db::GetText(record, LongTextOffset(kSubjectText), db::kLongTextCharacters);
  appointment.notes = db::GetText(record, LongTextOffset(kNotesText), db::kLongTextCharacters);
  appointment.record = data.Hnumenr(FileId::RDV);
  return appointment;
}

void ToBuffer(db::RecordSession& data, const Appointment& appointment) {
  uint8_t* record = data.Buffer(FileId::RDV);
  db::SetText(record, FieldOffset(kDateField), FieldWidth(kDateField), appointment.date);
  db::SetText(record, FieldOffset(kTimeField), FieldWidth(kTimeField), appointment.time);
  db::SetText(record, FieldOffset(kClientField), FieldWidth(kClientField), appointment.client);
  db::SetText(record, LongTextOffset(kSubjectText), db::kLongTextCharacters, appointment.subject);
  db::SetText(record, LongTextOffset(kNotesText), db::kLongTextCharacters, appointment.notes);
}

// Makes `which` the current record of the project's RDV position: the record
// with that number among those of its date and time.
bool Locate(db::RecordSession& data, const Appointment& which) {
  if (which.record <= 0 || which.date.size() != 8 || which.time.size() != 4) return false;
  const std::string key = which.date + which.time;
  for (data.Hlitrecherche(FileId::RDV, kAgendaKey, key); !data.Hendehors();
       data.Hlitsuivant(FileId::RDV, kAgendaKey)) {
    const uint8_t* record = data.Buffer(FileId::RDV);
    const std::string found = db::GetText(record, FieldOffset(kDateField), FieldWidth(kDateField)) +
                              db::GetText(record, FieldOffset(kTimeField), FieldWidth(kTimeField));
    if (found != key) return false;
    if (data.Hnumenr(FileId::RDV) == which.record) return true;
  }
  return false;
}

// A name as the agenda compares it: upper case, no accent, one blank
// between words.
std::string Comparable(std::string_view text) {
  std::string folded;
  for (char c : text) {
    const char plain = os::UpperPlainLetter(c);
    if (plain == ' ' && (folded.empty() || folded.back() == ' ')) continue;
    folded += plain;
  }
  if (!folded.empty() && folded.back() == ' ') folded.pop_back();
  return folded;
}

bool AllDigitsText(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

constexpr size_t kMostNamesListed = 5;

}  // namespace

std::optional<std::string> ParseTypedDate(std::string_view typed) {
  typed = Trim(typed);
  std::string_view parts[3];
  if (!SplitThree(typed, "/.-", parts)) {
    if (typed.size() != 8) return std::nullopt;
    parts[0] = typed.substr(0, 2);
    parts[1] = typed.substr(2, 2);
    parts[2] = typed.substr(4);
  }
  for (const auto& part : parts) {
    if (!AllDigits(part)) return std::nullopt;
  }
  if (parts[0].size() > 2 || parts[1].size() > 2 || parts[2].size() != 4) return std::nullopt;
  const int day = Number(parts[0]);
  const int month = Number(parts[1]);
  const int year = Number(parts[2]);
  if (year < 1900 || year > 2099 || month < 1 || month > 12) return std::nullopt;
  if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return std::string(parts[2]) + TwoDigits(month) + TwoDigits(day);
}

std::optional<std::string> ParseTypedTime(std::string_view typed) {
  typed = Trim(typed);
  std::string_view hours;
  std::string_view minutes;
  const size_t separator = typed.find_first_of(":hH");
  if (separator != std::string_view::npos) {
    hours = typed.substr(0, separator);
    minutes = typed.substr(separator + 1);
  } else if (typed.size() == 4) {
    hours = typed.substr(0, 2);
    minutes = typed.substr(2);
  } else {
    return std::nullopt;
  }
  if (!AllDigits(hours) || hours.size() > 2 || !AllDigits(minutes) || minutes.size() != 2)
    return std::nullopt;
  const int hour = Number(hours);
  const int minute = Number(minutes);
  if (hour > 23 || minute > 59) return std::nullopt;
  return TwoDigits(hour) + TwoDigits(minute);
}

std::string ShownDate(std::string_view stored) {
  if (stored.size() != 8 || !AllDigits(stored)) return std::string(stored);
  return std::string(stored.substr(6, 2)) + "/" + std::string(stored.substr(4, 2)) + "/" +
         std::string(stored.substr(0, 4));
}

std::string ShownTime(std::string_view stored) {
  if (stored.size() != 4 || !AllDigits(stored)) return std::string(stored);
  return std::string(stored.substr(0, 2)) + ":" + std::string(stored.substr(2));
}

std::optional<std::string> ClientName(db::RecordSession& data, std::string_view client) {
  if (client.size() != kClientCodeLength) return std::nullopt;
  data.Hlitrecherche(FileId::CLIENT, "CODCLI", client);
  if (data.Hendehors()) return std::nullopt;
  db::ClientRecord record{data.Buffer(FileId::CLIENT)};
  const std::string code = std::string(record.Prefix()) + std::string(record.FileNumber()) +
                           std::string(record.PersonDigit());
  if (code != client) return std::nullopt;
  return std::string(Trim(record.Name()));
}

FoundClient FindClient(db::RecordSession& data, std::string_view typed) {
  typed = Trim(typed);
  if (ClientName(data, typed)) return {std::string(typed), {}};
  if (AllDigitsText(typed)) {
    return {
        {},
        "Le code client \"" + std::string(typed) + os::Cp1252("\" ne correspond à aucun client.")};
  }
  // No key orders CLIENT by name: every client is read once.
  const std::string wanted = Comparable(typed);
  std::vector<std::string> matches;  // "CODE NAME FIRST NAME"
  std::string code;
  const db::ClientRecord record{data.Buffer(FileId::CLIENT)};
  for (data.Hlitpremier(FileId::CLIENT, "CODCLI"); !data.Hendehors();
       data.Hlitsuivant(FileId::CLIENT, "CODCLI")) {
    const std::string name = Comparable(record.Name());
    if (name.empty() || !wanted.starts_with(name)) continue;
    const std::string first_name(Trim(record.IdentityTextB()));
    if (name != wanted && Comparable(std::string(record.Name()) + " " + first_name) != wanted) {
      continue;
    }
    code = std::string(record.Prefix()) + std::string(record.FileNumber()) +
           std::string(record.PersonDigit());
    matches.push_back(code + " " + std::string(Trim(record.Name())) +
                      (first_name.empty() ? "" : " " + first_name));
  }
  if (matches.size() == 1) return {code, {}};
  if (matches.empty()) {
    return {{},
            os::Cp1252("Aucun client ne porte le nom \"") + std::string(typed) +
                os::Cp1252("\" : tapez le nom du client, son nom et son prénom, ou son code.")};
  }
  std::string listed;
  for (size_t i = 0; i < matches.size() && i < kMostNamesListed; ++i) {
    listed += (i == 0 ? "" : ", ") + matches[i];
  }
  if (matches.size() > kMostNamesListed) listed += ", ...";
  return {{},
          std::to_string(matches.size()) + os::Cp1252(" clients portent le nom \"") +
              std::string(typed) + "\" : " + listed +
              os::Cp1252(". Tapez le code du client, ou son nom et son prénom.")};
}

CheckedAppointment CheckTypedAppointment(db::RecordSession& data, const TypedAppointment& typed) {
  CheckedAppointment result;
  std::optional<std::string> date = ParseTypedDate(typed.date);
  if (!date) {
    result.error =
        os::Cp1252("La date du rendez-vous doit être une date valide, écrite JJ/MM/AAAA.");
    return result;
  }
  std::optional<std::string> time = ParseTypedTime(typed.time);
  if (!time) {
    result.error = os::Cp1252("L'heure du rendez-vous doit être une heure valide, écrite HH:MM.");
    return result;
  }
  std::string client(Trim(typed.client));
  if (!client.empty()) {
    FoundClient found = FindClient(data, client);
    if (!found.error.empty()) {
      result.error = std::move(found.error);
      return result;
    }
    client = std::move(found.code);
  }
  const std::string subject(Trim(OneLine(typed.subject)));
  if (subject.empty()) {
    result.error = "L'objet du rendez-vous est obligatoire.";
    return result;
  }
  if (subject.size() > db::kLongTextCharacters || typed.notes.size() > db::kLongTextCharacters) {
    result.error = os::Cp1252("L'objet et les notes ne peuvent dépasser 255 caractères.");
    return result;
  }
  result.appointment = Appointment{*date, *time, client, subject, OneLine(typed.notes), 0};
  return result;
}

std::vector<Appointment> ReadAppointments(db::RecordSession& data) {
  std::vector<Appointment> appointments;
  for (data.Hlitpremier(FileId::RDV, kAgendaKey); !data.Hendehors();
       data.Hlitsuivant(FileId::RDV, kAgendaKey)) {
    appointments.push_back(FromBuffer(data));
  }
  return appointments;
}

bool AddAppointment(db::RecordSession& data, Appointment& appointment) {
  data.ClearBuffer(FileId::RDV);
  ToBuffer(data, appointment);
  if (!data.Hajoute(FileId::RDV)) return false;
  appointment.record = data.Hnumenr(FileId::RDV);
  return true;
}

bool ChangeAppointment(db::RecordSession& data, const Appointment& which,
                       const Appointment& changed) {
  if (!Locate(data, which)) return false;
  ToBuffer(data, changed);  // fields 3, 7, 8 and 9 stay as read
  return data.Hmodifie(FileId::RDV);
}

bool DeleteAppointment(db::RecordSession& data, const Appointment& which) {
  if (!Locate(data, which)) return false;
  return data.Hsupprime(FileId::RDV);
}

}  // namespace vz::project
