#include "project/agenda_window.h"

#include <string>
#include <vector>

#include "platform/os/cp1252.h"
#include "project/agenda_appointments.h"
#include "project/project_data.h"

namespace vz::project {
namespace {

using runtime::CodeContext;
using runtime::Field;
using runtime::MessageKind;
using runtime::Window;

constexpr char kWindow[] = "AGENDA";
constexpr char kTable[] = "TABLE_RDV";
constexpr char kRowRecords[] = "gsAgendaEnregistrements";
constexpr const char* kEntryFields[] = {"DATE_RDV", "HEURE_RDV", "CLIENT_RDV", "OBJET_RDV",
                                        "NOTES_RDV"};

void Refuse(CodeContext& context, std::string_view message) {
  context.Front().ShowMessage(MessageKind::kError, message);
}

std::string FieldText(Window& window, std::string_view name) {
  const Field* field = window.FindField(name);
  return field ? field->value : std::string();
}

void SetFieldText(CodeContext& context, Window& window, std::string_view name,
                  std::string_view value) {
  Field* field = window.FindField(name);
  if (!field) {
    context.Note("AGENDA: the window has no field \"" + std::string(name) + "\"");
    return;
  }
  field->value = std::string(value.substr(0, static_cast<size_t>(field->max_length)));
}

std::string RowRecord(const Appointment& appointment) {
  return appointment.date + appointment.time + ":" + std::to_string(appointment.record);
}

// The appointment of a row as the row records keep it (date, time, number).
std::optional<Appointment> ParseRowRecord(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon != 12) return std::nullopt;
  Appointment appointment;
  appointment.date = std::string(text.substr(0, 8));
  appointment.time = std::string(text.substr(8, 4));
  int64_t number = 0;
  for (char c : text.substr(colon + 1)) {
    if (c < '0' || c > '9' || number > 100000000000) return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number <= 0) return std::nullopt;
  appointment.record = number;
  return appointment;
}

// Fills the table from RDV and selects the row of `select` when given.
void FillTable(CodeContext& context, Window& window, int64_t select = 0) {
  Field* table = window.FindField(kTable);
  if (!table) {
    context.Note("AGENDA: the window has no table TABLE_RDV");
    return;
  }
  db::RecordSession& data = ProjectDataOf(context);
  const int date = table->ColumnIndex("DATE");
  const int time = table->ColumnIndex("HEURE");
  const int client = table->ColumnIndex("CODCLI");
  const int name = table->ColumnIndex("NOM");
  const int subject = table->ColumnIndex("OBJET");
  table->rows.clear();
  table->selected = 0;
  std::string records;
  for (const Appointment& appointment : ReadAppointments(data)) {
    std::vector<std::string> row(table->columns.size());
    auto put = [&row](int column, std::string value) {
      if (column >= 0) row[static_cast<size_t>(column)] = std::move(value);
    };
    put(date, ShownDate(appointment.date));
    put(time, ShownTime(appointment.time));
    put(client, appointment.client);
    put(subject, appointment.subject);
    if (!appointment.client.empty()) {
      put(name, ClientName(data, appointment.client).value_or(""));
    }
    table->rows.push_back(std::move(row));
    if (select != 0 && appointment.record == select) table->selected = table->ItemCount();
    if (table->rows.size() > 1) records += '\t';
    records += RowRecord(appointment);
  }
  context.Variables().Set(kRowRecords, records);
}

// The appointment of the selected row, or a refusal shown to the user.
std::optional<Appointment> SelectedAppointment(CodeContext& context, Window& window) {
  const Field* table = window.FindField(kTable);
  const int row = table ? table->selected : 0;
  if (row <= 0) {
    Refuse(context, "Choisissez d'abord un rendez-vous dans la liste.");
    return std::nullopt;
  }
  const std::string records = context.Variables().Get(kRowRecords).value_or("");
  size_t start = 0;
  for (int i = 1; i < row && start != std::string::npos; ++i) {
    start = records.find('\t', start);
    if (start != std::string::npos) ++start;
  }
  std::optional<Appointment> appointment;
  if (start != std::string::npos) {
    const size_t end = records.find('\t', start);
    appointment = ParseRowRecord(std::string_view(records).substr(
        start, end == std::string::npos ? std::string::npos : end - start));
  }
  if (!appointment) {
    Refuse(context,
           os::Cp1252("La liste des rendez-vous n'est plus à jour ; elle est actualisée."));
    FillTable(context, window);
  }
  return appointment;
}

TypedAppointment TypedFields(Window& window) {
  return TypedAppointment{FieldText(window, "DATE_RDV"), FieldText(window, "HEURE_RDV"),
                          FieldText(window, "CLIENT_RDV"), FieldText(window, "OBJET_RDV"),
                          FieldText(window, "NOTES_RDV")};
}

void ClearEntryFields(CodeContext& context, Window& window) {
  for (const char* name : kEntryFields) SetFieldText(context, window, name, "");
}

void Gone(CodeContext& context, Window& window) {
  Refuse(context, os::Cp1252("Ce rendez-vous a été modifié ou supprimé entre-temps ; "
                             "la liste est actualisée."));
  FillTable(context, window);
}

void OnOpen(CodeContext& context, Window& window) {
  FillTable(context, window);
}

void OnTakeUp(CodeContext& context, Window& window) {
  std::optional<Appointment> which = SelectedAppointment(context, window);
  if (!which) return;
  for (const Appointment& appointment : ReadAppointments(ProjectDataOf(context))) {
    if (appointment.record != which->record) continue;
    SetFieldText(context, window, "DATE_RDV", ShownDate(appointment.date));
    SetFieldText(context, window, "HEURE_RDV", ShownTime(appointment.time));
    SetFieldText(context, window, "CLIENT_RDV", appointment.client);
    SetFieldText(context, window, "OBJET_RDV", appointment.subject);
    SetFieldText(context, window, "NOTES_RDV", appointment.notes);
    return;
  }
  Gone(context, window);
}

void OnAdd(CodeContext& context, Window& window) {
  db::RecordSession& data = ProjectDataOf(context);
  CheckedAppointment checked = CheckTypedAppointment(data, TypedFields(window));
  if (!checked.appointment) return Refuse(context, checked.error);
  if (!AddAppointment(data, *checked.appointment)) {
    return Refuse(context, os::Cp1252("Le rendez-vous n'a pas pu être enregistré."));
  }
  ClearEntryFields(context, window);
  FillTable(context, window, checked.appointment->record);
}

void OnChange(CodeContext& context, Window& window) {
  std::optional<Appointment> which = SelectedAppointment(context, window);
  if (!which) return;
  db::RecordSession& data = ProjectDataOf(context);
  CheckedAppointment checked = CheckTypedAppointment(data, TypedFields(window));
  if (!checked.appointment) return Refuse(context, checked.error);
  if (!ChangeAppointment(data, *which, *checked.appointment)) return Gone(context, window);
  ClearEntryFields(context, window);
  FillTable(context, window, which->record);
}

void OnDelete(CodeContext& context, Window& window) {
  std::optional<Appointment> which = SelectedAppointment(context, window);
  if (!which) return;
  const std::string question = "Supprimer le rendez-vous du " + ShownDate(which->date) +
                               os::Cp1252(" à ") + ShownTime(which->time) + " ?";
  if (!context.Front().AskYesNo(question)) return;
  if (!DeleteAppointment(ProjectDataOf(context), *which)) return Gone(context, window);
  FillTable(context, window);
}

}  // namespace

void RegisterAgendaWindow(runtime::CodeRegistry& registry) {
  registry.AddWindowCode(kWindow, kWindow, "OUVERTURE", OnOpen);
  registry.AddWindowCode(kWindow, kTable, "REMPLIR", OnOpen);
  registry.AddWindowCode(kWindow, "BT_REPRENDRE", "CLIC", OnTakeUp);
  registry.AddWindowCode(kWindow, "BT_AJOUTER", "CLIC", OnAdd);
  registry.AddWindowCode(kWindow, "BT_MODIFIER", "CLIC", OnChange);
  registry.AddWindowCode(kWindow, "BT_SUPPRIMER", "CLIC", OnDelete);
}

}  // namespace vz::project
