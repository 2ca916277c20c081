// Test helpers for the desktop front end: one application object on the
// offscreen platform for the whole test program, and a window library with
// every kind of field. Header-only.
#ifndef VZ_PLATFORM_RUNTIME_QT_QT_TEST_SUPPORT_H_
#define VZ_PLATFORM_RUNTIME_QT_QT_TEST_SUPPORT_H_

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <string>

#include "platform/runtime/window_library.h"

namespace vz::runtime {

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "vz_runtime_qt_test";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

// Types text into a widget as a keyboard would, one character at a time,
// accents and characters of any script included.
inline void TypeText(QWidget* widget, const QString& text) {
  for (char32_t code_point : text.toStdU32String()) {
    const QString one = QString::fromStdU32String(std::u32string(1, code_point));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
    QApplication::sendEvent(widget, &release);
  }
}

inline constexpr char kAllKindsLibrary[] = R"wdl(library TEST
window FICHE title="Fiche & client" x=40 y=30 w=640 h=480 default=BT_OK escape=ESC
  caption L_TITRE x=20 y=10 w=600 h=30 label="Fiche du client"
  text    NOM     x=20 y=50 w=400 h=24 lw=150 length=10 label="Nom && prénom" tab=2
  text    VILLE   x=20 y=80 w=400 h=24 lw=150 label="Ville" tab=1
  text    CACHE   x=20 y=110 w=400 h=24 lw=150 label="Caché" state=I
  text    FIGE    x=20 y=140 w=400 h=24 lw=150 label="Figé" state=- value="lu"
  switch  ACTIF   x=440 y=50 w=180 h=24 label="Client actif"
  options SITU    x=20 y=170 w=400 h=60 lw=150 label="Situation"
    choice "Célibataire"
    choice "Marié(e)"
    choice "Veuf / veuve"
  list    FAMILLE x=20 y=240 w=280 h=90 lw=80 label="Famille"
    entry "Cadres\t1"
    entry "Employés\t2"
    entry "Artisans\t3"
  table   LIGNES  x=310 y=240 w=310 h=150 label="Rubriques"
    column LIBELLE title="Libellé" w=150
    column VALDEB  title="Minimum" w=80 edit=1
    column VALFIN  title="Maximum" w=80 edit=1
  image   LOGO    x=20 y=340 w=100 h=50 label="Logo" value="LOGO.BMP"
  button  BT_CALC x=20 y=420 w=120 h=32 label="Calculer" event=CLIC
  button  BT_OK   x=360 y=420 w=120 h=32 label="&Valider" code=TF0
  button  BT_NON  x=500 y=420 w=120 h=32 label="Abandon" code=ABA
  button  BT_OFF  x=160 y=420 w=120 h=32 label="Éteint" code=OFF state=-
end
)wdl";

inline WindowLibrary AllKindsLibrary() {
  return *ParseWindowLibrary(kAllKindsLibrary, "test.wdl").library;
}

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_QT_TEST_SUPPORT_H_
