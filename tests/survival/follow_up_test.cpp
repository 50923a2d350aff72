// The follow-up rules of the survival estimates, each edge on dates alone,
// and survival_hips.csv as the study writes it, without R.
#include <gtest/gtest.h>

#include "protocol/calendar_date.h"
#include "survival/follow_up.h"
#include "survival/survival_hips.h"

using namespace sinkview;

namespace {

CalendarDate Day(const char* iso) { return *ParseCalendarDate(iso); }

// Surgery on 2020-01-01, the last radiograph a year later, cut-off 2030-01-01.
FollowUpDates Hip() {
  FollowUpDates dates;
  dates.surgery = Day("2020-01-01");
  dates.lastRadiograph = Day("2021-01-01");
  dates.cutoff = Day("2030-01-01");
  return dates;
}

struct Case {
  const char* what;
  FollowUpDates dates;
  int days;
  SurvivalStatus status;
  FollowUpEnd end;
};

} // namespace

TEST(FollowUp, EndsAtTheFirstEventWithEventsWinningTiesAndTheCutoffCensoring) {
  const auto with = [](auto change) {
    FollowUpDates dates = Hip();
    change(dates);
    return dates;
  };
  const Case cases[] = {
      {"nothing after the last radiograph", Hip(), 366, SurvivalStatus::Censored,
       FollowUpEnd::LastRadiograph},
      {"a revision", with([](auto& d) { d.revision = Day("2022-01-01"); }), 731, SurvivalStatus::Revision,
       FollowUpEnd::Revision},
      {"a revision on the day of surgery", with([](auto& d) { d.revision = d.surgery; }), 0,
       SurvivalStatus::Revision, FollowUpEnd::Revision},
      {"a death", with([](auto& d) { d.death = Day("2020-06-01"); }), 152, SurvivalStatus::Death,
       FollowUpEnd::Death},
      {"a withdrawal", with([](auto& d) { d.withdrawn = Day("2020-02-01"); }), 31, SurvivalStatus::Censored,
       FollowUpEnd::Withdrawn},
      {"revision and death on one day", with([](auto& d) { d.revision = d.death = Day("2023-01-01"); }), 1096,
       SurvivalStatus::Revision, FollowUpEnd::Revision},
      {"death on the day of the withdrawal", with([](auto& d) { d.death = d.withdrawn = Day("2023-01-01"); }),
       1096, SurvivalStatus::Death, FollowUpEnd::Death},
      {"revision on the day of the withdrawal",
       with([](auto& d) { d.revision = d.withdrawn = Day("2023-01-01"); }), 1096, SurvivalStatus::Revision,
       FollowUpEnd::Revision},
      {"a death before the revision", with([](auto& d) {
         d.death = Day("2022-01-01");
         d.revision = Day("2022-01-02");
       }),
       731, SurvivalStatus::Death, FollowUpEnd::Death},
      {"a withdrawal before the revision", with([](auto& d) {
         d.withdrawn = Day("2021-06-01");
         d.revision = Day("2022-01-01");
       }),
       517, SurvivalStatus::Censored, FollowUpEnd::Withdrawn},
      {"a contact after the last radiograph", with([](auto& d) { d.lastContact = Day("2024-01-01"); }), 1461,
       SurvivalStatus::Censored, FollowUpEnd::LastContact},
      {"a contact before the last radiograph", with([](auto& d) { d.lastContact = Day("2020-07-01"); }), 366,
       SurvivalStatus::Censored, FollowUpEnd::LastRadiograph},
      {"a contact on the day of the last radiograph", with([](auto& d) { d.lastContact = d.lastRadiograph; }),
       366, SurvivalStatus::Censored, FollowUpEnd::LastRadiograph},
      {"a contact and no radiograph", with([](auto& d) {
         d.lastRadiograph.reset();
         d.lastContact = Day("2020-03-01");
       }),
       60, SurvivalStatus::Censored, FollowUpEnd::LastContact},
      {"a revision after the cut-off", with([](auto& d) {
         d.cutoff = Day("2022-01-01");
         d.revision = Day("2022-01-02");
       }),
       731, SurvivalStatus::Censored, FollowUpEnd::Cutoff},
      {"a revision on the cut-off", with([](auto& d) { d.revision = d.cutoff = Day("2022-01-01"); }), 731,
       SurvivalStatus::Revision, FollowUpEnd::Revision},
      {"a contact after the cut-off", with([](auto& d) {
         d.cutoff = Day("2022-01-01");
         d.lastContact = Day("2023-01-01");
       }),
       731, SurvivalStatus::Censored, FollowUpEnd::Cutoff},
      {"a withdrawal before the cut-off and a death after", with([](auto& d) {
         d.cutoff = Day("2022-01-01");
         d.withdrawn = Day("2021-01-01");
         d.death = Day("2023-01-01");
       }),
       366, SurvivalStatus::Censored, FollowUpEnd::Withdrawn},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto followUp = FollowUpOf(c.dates);
    ASSERT_TRUE(std::holds_alternative<FollowUp>(followUp));
    const FollowUp& f = std::get<FollowUp>(followUp);
    EXPECT_EQ(f.days, c.days);
    EXPECT_EQ(StatusWord(f.status), StatusWord(c.status));
    EXPECT_EQ(EndWord(f.end), EndWord(c.end));
  }
}

TEST(FollowUp, AHipWithoutSurgeryOrAnythingAfterItIsLeftOutSayingWhy) {
  FollowUpDates noSurgery = Hip();
  noSurgery.surgery.reset();
  FollowUpDates afterCutoff = Hip();
  afterCutoff.cutoff = Day("2019-12-31");
  FollowUpDates nothingSeen = Hip();
  nothingSeen.lastRadiograph.reset();
  for (const auto& [dates, reason] :
       {std::pair{noSurgery, "no surgery date in the patients file"},
        {afterCutoff, "the surgery (2020-01-01) lies after the cut-off (2019-12-31)"},
        {nothingSeen, "no radiograph or contact after the surgery"}}) {
    const auto followUp = FollowUpOf(dates);
    ASSERT_TRUE(std::holds_alternative<LeftOut>(followUp)) << reason;
    EXPECT_EQ(std::get<LeftOut>(followUp).reason, reason);
  }
}

// The rows by group in the study's order, excluded hips and those without
// surgery listed apart, years from days.
TEST(SurvivalHips, RowsByGroupInTheStudysOrderAndTheHipsLeftOutApart) {
  StudyResult study;
  study.groups = {"B", "A"};
  study.protocol.cutoff = Day("2030-01-01");
  const auto hip = [&](const char* file, const char* patient, const char* group) -> PatientSummary& {
    PatientSummary& h = study.patients.emplace_back();
    h.file = file;
    h.patient = patient;
    h.group = group;
    h.events.surgery = Day("2020-01-01");
    h.lastRadiograph = Day("2021-01-01");
    return h;
  };
  hip("a1.vok", "P1", "A").events.death = Day("2020-01-02");
  hip("b1.vok", "P1", "B").events.lastContact = Day("2025-01-01");
  PatientSummary& excluded = hip("a2.vok", "P2", "A");
  excluded.events.excluded = true;
  excluded.exclusion = "infection";
  hip("b2.vok", "=P3", "B").events.surgery.reset();
  hip("a3.vok", "P4, junior", "A").events.revision = Day("2030-06-01");

  // The study's file, written as it goes, is the file R is given.
  const std::string hips = WholeText([&](const PieceSink& sink) { SurvivalHipsRows(study, sink); });
  EXPECT_EQ(hips, "file,patient,group,days,years,status,reason\r\n"
                  "b1.vok,P1,B,1827,5.002053,censored,last_contact\r\n"
                  "a1.vok,P1,A,1,0.002737851,death,death\r\n"
                  "a3.vok,\"P4, junior\",A,3653,10.00137,censored,cutoff\r\n");
  const SurvivalHips survival = SurvivalHipsOf(study);
  EXPECT_EQ(SurvivalHipsCsv(survival), hips);
  EXPECT_EQ(WholeText([&](const PieceSink& sink) { SurvivalRejectedRows(study, sink); }),
            "file,reason\r\n"
            "a2.vok,excluded by the patients file: infection\r\n"
            "b2.vok,no surgery date in the patients file\r\n");
}
