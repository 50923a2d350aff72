#include "hardcopy/pdf_name.h"

#include <string_view>

namespace sinkview {

std::string HardcopyPdfName(std::string_view patient, std::string_view window) {
  std::string name;
  for (const char c : patient) {
    const auto byte = static_cast<unsigned char>(c);
    // Folder separators and what shells and other systems' file names refuse.
    const bool refused =
        byte < 0x20 || byte == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    name += refused ? '-' : c;
  }
  const auto first = name.find_first_not_of(" .-");
  name = first == std::string::npos ? std::string()
                                    : name.substr(first, name.find_last_not_of(" .") + 1 - first);
  if (name.empty()) name = "Hardcopy";
  return name + " - " + std::string(window) + ".pdf";
}

} // namespace sinkview
