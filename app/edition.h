#pragma once

#include <string>

namespace sinkview {

// The program is built in two editions from the same sources: they differ in
// the year of their window captions, and the second one tells the user
// when a file of the older format (without stem/cement values) was loaded.
struct Edition {
  int year = 2008;
  bool showsOldFormatNotice = false;

  // "ORVA / VOK - GRAPHICS 2008", the caption of the main and graphics window.
  std::string Caption() const { return "ORVA / VOK - GRAPHICS " + std::to_string(year); }
  // The table window's: the same, then TABLE after 35 blanks.
  std::string TableCaption() const { return Caption() + std::string(35, ' ') + "TABLE"; }
};

inline constexpr Edition kMainEdition{2008, false};
inline constexpr Edition kSecondEdition{2002, true};

} // namespace sinkview
