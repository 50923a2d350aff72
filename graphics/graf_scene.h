#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/graf_layout.h"
#include "model/model.h"
#include "ui/rgb.h"

namespace sinkview {

// The graphics window's content by control name, from which the window
// makes its widgets and a figure draws: what each control is, its colours,
// text and visibility, and where it stands at a client size.

enum class ControlKind { PictureBox, Button, Label };

// The client area's size as a multiple of the design size.
struct ClientScale {
  double x = 1, y = 1;
};

struct SceneControl {
  std::string_view name;
  ControlKind kind;
  int picture = 0; // for a picture box, what PaintPicture draws in it
  // Empty: the window's own, white behind and its text colour in front
  // (black in a figure).
  std::optional<Rgb> background, foreColor;
  std::string text;
  bool visible = true;
  DesignRect rect; // at the scale the scene was last placed for
};

struct GrafScene {
  std::vector<SceneControl> controls; // in the order of kGrafControls

  const SceneControl& at(std::string_view name) const;
  SceneControl& at(std::string_view name);
  // Moves (and for boxes and buttons resizes) every control as the window
  // does for a client area of that scale.
  void Place(ClientScale scale);
};

// The scene of the graphics window over the model, placed for `scale`.
GrafScene MakeGrafScene(const PreparedSeries& p, ClientScale scale = {});

// The design rectangle of a control of kGrafControls.
const DesignRect& DesignRectOf(std::string_view name);

} // namespace sinkview
