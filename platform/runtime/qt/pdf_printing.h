// Printing a PDF file on the desktop: the print dialog lets the user choose
// the printer, then each page of the PDF is rendered (QtPdf) at the
// printer's resolution (at most 300 dots per inch) and drawn on its own page,
// scaled to the printable area with its proportions kept.
//
// Failure: a PDF that cannot be read, or a printer that cannot be started,
// prints nothing and gives the reason (cp1252, French) as kUnavailable; a
// dialog the user cancels gives kCancelled. Never throws.
// REQUIRES: a QApplication exists; called on its thread.
#ifndef VZ_PLATFORM_RUNTIME_QT_PDF_PRINTING_H_
#define VZ_PLATFORM_RUNTIME_QT_PDF_PRINTING_H_

#include <QPrinter>
#include <QWidget>
#include <filesystem>
#include <string>

#include "platform/runtime/front_end.h"

namespace vz::runtime {

PrintOutcome PrintPdfWithDialog(QWidget* parent, const std::filesystem::path& pdf,
                                const QString& title);

// Draws every page of `pdf` on `printer`, already set up. False, with the
// reason in `problem`, when nothing could be printed.
bool RenderPdfPages(const std::filesystem::path& pdf, QPrinter& printer, std::string& problem);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_PDF_PRINTING_H_
