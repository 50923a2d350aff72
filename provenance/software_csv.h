#pragma once

// software.csv: the version of each component that made the study's
// numbers: Sinkview, the libraries it was built with and R with the
// packages the model and the survival estimates used (as analysis.R and
// survival.R read them from R).

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

// Sinkview, Qt (when built with it), toml++, Boost, libxlsxwriter and
// OpenSSL, as built.
std::vector<std::pair<std::string, std::string>> BuiltComponents();

using SoftwareComponentList = std::vector<std::pair<std::string, std::string>>;

// The built components, then those of `rSoftwareCsv` (r_software.csv as R
// wrote it; empty without a fit) and of `survivalSoftwareCsv`
// (survival_software.csv; empty without survival estimates), a component
// both name with one version once. A file that is not R's two columns is a
// failure.
Expected<SoftwareComponentList, Failure> SoftwareComponents(std::string_view rSoftwareCsv,
                                                            std::string_view survivalSoftwareCsv = {});

// component,version, a row each.
std::string SoftwareCsv(const SoftwareComponentList& components);

} // namespace sinkview
