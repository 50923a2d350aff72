#include "writeup/sign_convention.h"

#include "study/change_signs.h"
#include "writeup/phrasing.h"
#include "writeup/say.h"

namespace sinkview {

// dictionary.csv's own statement of the sign, so that the two never differ.
std::string SignConventionText() {
  return Say(phrasing::kSignConvention, {kSubsidenceSign, kStemCementSign});
}

} // namespace sinkview
