// Code page 1252 text at the edge of the desktop widgets.
//
// The runtime keeps every text in cp1252; widgets hold QString. These two
// functions are the only crossing, by the code page table of
// platform/os/cp1252.h: every byte shows as its character and comes back as
// it was (the five unassigned bytes as the control characters of the same
// value). A character that cp1252 cannot hold (typed or pasted by the user)
// becomes "?" so that what reaches the program is always cp1252. Pure
// functions.
#ifndef VZ_PLATFORM_RUNTIME_QT_QT_TEXT_H_
#define VZ_PLATFORM_RUNTIME_QT_QT_TEXT_H_

#include <QString>
#include <string>
#include <string_view>

namespace vz::runtime {

QString ToQString(std::string_view cp1252);
std::string FromQString(const QString& text);

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_QT_QT_TEXT_H_
