#pragma once

// The model-means figure of a study, made for a paper beside the cohort
// figure and in its style: each group's model-based mean with its 95 %
// interval at each visit, the groups in the cohort figure's colours, dashes
// and markers, moved slightly apart, and the primary visit marked. Laid out
// in millimetres, so its texts keep their size in points at any width.

#include <optional>
#include <string>
#include <vector>

#include "graphics/cohort_plot.h"
#include "ui/surface.h"

namespace sinkview {

struct ModelMeansGroup {
  std::string name;
  std::vector<MeanMark> means; // the model-based means, in order of time
};

struct ModelMeansPlot : PaperPlot {
  std::vector<ModelMeansGroup> groups; // in the cohort figure's order, so each keeps its look
};

// The figure's height for a width on paper.
double ModelMeansFigureHeightMm(double widthMm);

inline constexpr const char* kModelMeansLegend = "Markers: model-based mean with 95 % CI";
std::string PrimaryVisitLegend(const std::string& visit);

// Draws the figure over the whole surface (which it clears first).
void DrawModelMeansPlot(const ModelMeansPlot& plot, Surface& surface);

} // namespace sinkview
