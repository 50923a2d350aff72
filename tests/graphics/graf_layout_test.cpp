#include "graphics/graf_layout.h"

#include <gtest/gtest.h>

#include "model/numtext.h"

using namespace sinkview;

namespace {

MeasurementModel Replacement(const std::string& side, int stemCement) {
  MeasurementModel m;
  m.ProsthesisSide = side;
  m.HasStemCementData = static_cast<std::int16_t>(stemCement);
  return m;
}

const GrafControl& Control(std::string_view name) {
  for (const GrafControl& c : kGrafControls) {
    if (c.name == name) return c;
  }
  throw std::out_of_range(std::string(name));
}

} // namespace

TEST(TitlesForSide, RightExchangesLeftAndRightAndTheStemCementLabelsFollowTheSubsidence) {
  const struct {
    const char* side;
    int stemCement;
    DiagramTitles titles;
  } cases[] = {
      {"left",
       1,
       {"medial distances", "subsidence total", "lateral distances", "bone/stem angle", "stem-cement", true,
        false}},
      {"left",
       0,
       {"medial distances", "subsidence total", "lateral distances", "bone/stem angle", "stem-cement", false,
        false}},
      {"right",
       1,
       {"lateral distances", "bone/stem angle", "medial distances", "subsidence total", "stem-cement", false,
        true}},
      {"right",
       0,
       {"lateral distances", "bone/stem angle", "medial distances", "subsidence total", "stem-cement", false,
        false}},
      {"Right",
       1,
       {"medial distances", "subsidence total", "lateral distances", "bone/stem angle", "stem-cement", true,
        false}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TitlesForSide(Replacement(c.side, c.stemCement)), c.titles) << c.side << " " << c.stemCement;
  }
}

TEST(HeaderText, PatientOnTheFirstLineThenPeriodCountAndLimit) {
  SetDecimalSeparator('.');
  MeasurementModel m;
  m.PatientCode = "M\xFCller Otto OM-1937"; // Windows-1252, as read
  m.ObservationMonths = 24;
  m.RadiographCount = 6;
  m.ComparabilityLimit = 3;
  EXPECT_EQ(HeaderText(m),
            "M\xC3\xBCller Otto OM-1937\nobservation period: 24 months      number of radiographs: "
            "6      comp. limit: 3 mm");
  m.ObservationMonths = 7.5f;
  m.RadiographCount = 30;
  EXPECT_EQ(HeaderText(m).substr(HeaderText(m).find('\n') + 1),
            "observation period: 7.5 months      number of radiographs: 30      comp. limit: 3 mm");
}

TEST(ResizedRect, RectanglesScaleLabelsMoveAndHeaderAndStemCementLabelsStay) {
  EXPECT_EQ(ResizedRect(Control("Picture3"), 2, 3), (DesignRect{240, 11880, 5784, 6156}));
  EXPECT_EQ(ResizedRect(Control("Command2"), 0.5, 1), (DesignRect{3480, 6120, 906, 372}));
  EXPECT_EQ(ResizedRect(Control("Label4"), 2, 2), (DesignRect{11760, 960, 0, 0}));
  for (const char* fixed : {"Label6", "Label7", "Label8", "Label9", "Label10"}) {
    EXPECT_EQ(ResizedRect(Control(fixed), 2, 2), Control(fixed).rect) << fixed;
  }
}

TEST(GrafControls, PictureBoxesAndButtonsLieInsideTheDesignClientArea) {
  for (const GrafControl& c : kGrafControls) {
    EXPECT_LE(c.rect.left + c.rect.width, kGrafClientWidth) << c.name;
    EXPECT_LE(c.rect.top + c.rect.height, kGrafClientHeight) << c.name;
  }
}
