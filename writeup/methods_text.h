#pragma once

// methods.md: what the run did, in plain sentences, and no number that
// belongs in the results. A paragraph is there only when its part ran.

#include <string>
#include <string_view>

#include "writeup/writeup_inputs.h"

namespace sinkview {

inline constexpr std::string_view kMethodsMd = "methods.md";

std::string MethodsMarkdown(const WriteupInputs& inputs);

// The model's structure, covariates, degrees of freedom, fallback and
// sensitivity analyses; "No model was fitted: why." without one.
std::string ModelMethodText(const WriteupInputs& inputs);

} // namespace sinkview
