#include "graphics/graf_scene.h"

#include <stdexcept>
#include <tuple>

#include "ui/surface.h"

namespace sinkview {

namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255};

template <typename Controls> auto& ByName(Controls& controls, std::string_view name) {
  for (auto& control : controls) {
    if (control.name == name) return control;
  }
  throw std::invalid_argument("no control " + std::string(name));
}

} // namespace

const DesignRect& DesignRectOf(std::string_view name) { return ByName(kGrafControls, name).rect; }

SceneControl& GrafScene::at(std::string_view name) { return ByName(controls, name); }

const SceneControl& GrafScene::at(std::string_view name) const { return ByName(controls, name); }

void GrafScene::Place(ClientScale scale) {
  for (std::size_t i = 0; i < controls.size(); ++i)
    controls[i].rect = ResizedRect(kGrafControls.at(i), scale.x, scale.y);
}

GrafScene MakeGrafScene(const PreparedSeries& p, ClientScale scale) {
  const DiagramTitles titles = TitlesForSide(p.model);
  GrafScene scene;
  for (const GrafControl& design : kGrafControls) {
    scene.controls.push_back({design.name, ControlKind::Label, 0, {}, {}, "", true, design.rect});
  }
  for (int number = 1; number <= 5; ++number) {
    SceneControl& box = scene.at("Picture" + std::to_string(number));
    box.kind = ControlKind::PictureBox;
    box.picture = number;
    // The sketch is drawn in black on grey; the diagrams take the window's
    // text colour on white.
    box.background = number == 1 ? kSketchBackground : kWhite;
    if (number == 1) box.foreColor = kBlack;
  }
  const auto set = [&](std::string_view name, std::string_view text) {
    SceneControl& control = scene.at(name);
    control.text = std::string(text);
    return &control;
  };
  set("Command1", kFileMenuCaption)->kind = ControlKind::Button;
  set("Command2", kPrintGraphicsCaption)->kind = ControlKind::Button;
  set("Label1", kReferenceSystemCaption);
  set("Label2", titles.upperLeft);
  set("Label3", titles.lowerLeft);
  set("Label4", titles.upperRight);
  set("Label5", titles.lowerRight);
  set("Label6", HeaderText(p));
  // The slash and the red stem/cement title after each subsidence title.
  for (const auto& [title, slash, shown] : {std::tuple{"Label7", "Label9", titles.leftStemCementShown},
                                            {"Label8", "Label10", titles.rightStemCementShown}}) {
    SceneControl* red = set(title, titles.stemCement);
    red->foreColor = kLightRed;
    red->visible = shown;
    set(slash, kSlashCaption)->visible = shown;
  }
  scene.Place(scale);
  return scene;
}

} // namespace sinkview
