#include "protocol/study_names.h"

#include "base/reader_text.h"

namespace sinkview {

std::string GuardedNameProblem(std::string_view name) {
  if (!StartsLikeAFormula(name)) return {};
  return "starts like a spreadsheet formula (with =, +, - or @), so the CSV files must write it with a ' "
         "before it and R would give it back so: start the name with another character";
}

std::string ControlCharacterProblem(const std::string& name) {
  if (WithoutControlCharacters(name) == name) return {};
  return "holds a control character (a line end, tab, NUL or direction mark): write it on one line without "
         "them";
}

} // namespace sinkview
