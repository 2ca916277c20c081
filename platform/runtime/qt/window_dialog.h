// One window of the window library as a dialog: widgets placed at the
// library's positions and sizes, French labels, the library's tab order.
//
// The window model stays the truth. ShowModel copies the model into the
// widgets; while a model is bound, every edit the user makes (typing, a
// switch, a choice, a list or table selection, a table cell) is written into
// it at once. A switch set, a choice made, or a list entry or table row picked
// by the user (never a value ShowModel sets) that changes the model calls the
// change handler, and the widgets then show the model again. A button with a
// return code ends the dialog with that code; Escape (or closing the dialog)
// ends it with the window's escape code; Enter presses the window's default
// button; a button that runs window code calls the event handler and the input
// goes on. A disabled text field is shown read-only (plain text, out of the
// tab order); other disabled fields grey.
//
// The fields keep the library's places on a page of the window's size; the
// dialog can be resized, scrolls that page when smaller than it, and opens
// no larger than the screen's free area (PlaceOnScreen). A "&" in the label
// of a button, switch, choice or text field marks its access key (Alt and
// the letter), "&&" a plain "&". Shown, the dialog comes to the front.
//
// A watch-only dialog (a window shown while the program works, such as the
// progress window) cannot be ended: a button with a return code, Escape and
// the close box only note that the user asks to stop (stop_requested()),
// which the program reads between two steps; other buttons do nothing.
//
// ShowModel rebuilds a list, a table or a picture only when what it shows has
// changed, so that showing a model often costs little. The dialog keeps the
// window's places without its tables' rows; a table shows the rows of the
// model last shown: borrowed from the bound model (100,000 rows are shown
// without a copy), copied from a model not bound. The window's rows appear
// once a model is shown (the front end binds, then shows).
//
// The dialog borrows the bound model; it keeps nothing of it after Bind(nullptr)
// (its tables then show no row until a model is shown again).
// REQUIRES: the bound model is a copy of the window the dialog was built from
// (same fields in the same order), and it outlives the binding.
#ifndef VZ_PLATFORM_RUNTIME_QT_WINDOW_DIALOG_H_
#define VZ_PLATFORM_RUNTIME_QT_WINDOW_DIALOG_H_

#include <QDialog>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/window_model.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QShowEvent;
class QTreeWidget;

namespace vz::runtime {

class WindowDialog : public QDialog {
 public:
  // Pictures of image fields are looked up in picture_directories, in order.
  WindowDialog(const Window& layout, std::vector<std::filesystem::path> picture_directories,
               QWidget* parent = nullptr);

  // Binds the model whose edits the widgets write (nullptr: none).
  void Bind(Window* model);
  // Widgets take the values, states, rows and selections of model. The rows
  // of the bound model's tables are shown where they are, never copied;
  // those of a model not bound are copied.
  void ShowModel(const Window& model);

  // Called with the bound model when a button that runs window code is pressed.
  void set_event_handler(std::function<void(Window&, const Field&)> handler) {
    event_handler_ = std::move(handler);
  }
  // Called with the bound model and its field when the user has changed it.
  void set_change_handler(std::function<void(Window&, const Field&)> handler) {
    change_handler_ = std::move(handler);
  }
  void set_watch_only(bool watch_only) { watch_only_ = watch_only; }
  // The fields keep the library's places on a page of the window's size; the
  // dialog can be resized, scrolls that page when smaller than it, and opens
  // no larger than the screen's free area (PlaceOnScreen). A "&" in the label
  // of a button, switch, choice or text field marks its access key (Alt and
  // the letter), "&&" a plain "&". Shown, the dialog comes to the front.
  //
  // A watch-only dialog: the user has asked to stop since it was shown.
  bool stop_requested() const { return stop_requested_; }

  // Return code that ended the dialog; empty while it runs.
  const std::string& return_code() const { return return_code_; }

  // The widget that takes the input of a field (the line edit of a text
  // field, the table of a table...), or nullptr for an unknown name.
  QWidget* FieldWidget(std::string_view field_name) const;

  // Texts that the font in use cannot show whole in their place: labels,
  // captions, buttons, switches, choices and column titles, as
  // "FIELD: needs N px, has M" ("TABLE.COLUMN: ..."). Call it once the dialog
  // is shown: the last column of a table then has its stretched width.
  std::vector<std::string> ClippedTexts() const;

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Part {
    QWidget* input = nullptr;         // the focusable widget
    QLabel* label = nullptr;          // side label or caption
    QButtonGroup* options = nullptr;  // option group
    std::vector<QWidget*> all;        // every widget of the field, for states
    // What the list, table or picture shows now (rebuilt only on a change).
    std::vector<std::string> shown_entries;
    std::string shown_picture;
    bool built = false;
  };

  Part Build(const Field& field);
  Part BuildText(const Field& field);
  Part BuildOptions(const Field& field);
  Part BuildList(const Field& field);
  Part BuildTable(const Field& field);
  Part BuildImage(const Field& field);
  Part BuildButton(const Field& field);
  void Connect(size_t index);
  void ShowField(size_t index, const Field& field, Part& part, bool bound);
  void ShowPicture(const Field& field, QLabel& label);
  void ButtonPressed(size_t index);
  void UserChanged(size_t index);
  void ShowList(const Field& field, Part& part);
  void ShowTable(size_t index, const Field& field, Part& part, bool bound);
  Field* ModelField(size_t index);
  QLabel* SideLabel(const Field& field);

  Window layout_;
  QWidget* page_ = nullptr;  // holds every field's widgets, at the library's places
  std::vector<std::filesystem::path> picture_directories_;
  std::vector<Part> parts_;  // one per field of layout_, same order
  Window* model_ = nullptr;
  bool showing_ = false;  // widgets being set from the model: edits not written back
  std::string return_code_;
  std::function<void(Window&, const Field&)> event_handler_;
  std::function<void(Window&, const Field&)> change_handler_;
  bool watch_only_ = false;
  bool stop_requested_ = false;
  std::map<std::string, QPixmap> pictures_;  // "FIELD\npicture name" -> scaled picture
};

// Where a window of the library opens on a screen whose free area (without
// task bars) is `available`: its inside no larger than the area leaves once
// a title bar and frame are drawn around it, moved as little as needed to lie
// within it. An invalid area leaves the library's place and size.
QRect PlaceOnScreen(const Rect& layout, const QRect& available);

// Finds a picture file in the directories, trying the name as written, then
// in lower and upper case; empty when none exists.
std::filesystem::path FindPicture(std::string_view file_name,
                                  const std::vector<std::filesystem::path>& directories);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_WINDOW_DIALOG_H_
