#include "gridlib/base/baseunit.h"

#include "gridlib/base/alphabitmap.h"
#include "gridlib/base/drawstyle.h"
#include "gridlib/base/gridlibmanager.h"
#include "gridlib/base/painters.h"
#include "gridlib/base/sizegrip.h"
#include "gridlib/base/textdraw.h"
#include "gridlib/base/valuetext.h"
#include "platform/rtl/typinfo.h"
#include "platform/rtl/variant.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/support/testing.h"

#include <algorithm>

namespace {

using namespace gdi;

class GridLibBaseEh : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeForms();
    InitializeGridLibBaseEh();
  }
  void TearDown() override {
    if (GetGridLibManager()) FinalizeGridLibBaseEh();
    FinalizeForms();
    test::ResetUi();
  }

  static size_t themeChangesQueued() {
    const auto Queue = test::Pending();
    return size_t(std::count_if(Queue.begin(), Queue.end(), [](const MSG& M) { return M.message == WM_THEMECHANGED; }));
  }
};

// A button-bitmap cache that records what still existed when it was freed.
class TProbeCache : public IButtonsBitmapCacheEh {
public:
  explicit TProbeCache(bool& ManagerAlive) : FManagerAlive(ManagerAlive) {}
  ~TProbeCache() override { FManagerAlive = GetGridLibManager() != nullptr; }
  void Clear() override {}

private:
  bool& FManagerAlive;
};

TEST_F(GridLibBaseEh, StartUpMakesTheSharedObjects) {
  ASSERT_NE(GetGridLibManager(), nullptr);
  ASSERT_NE(GetWorkingTimeCalendarEh(), nullptr);
  ASSERT_NE(GetGridLibDrawStyleEh(), nullptr);
  EXPECT_NE(GetGridLibDrawStyleEh()->SortmarkerPainter(), nullptr);
  EXPECT_NE(GetGridLibDrawStyleEh()->TreeSignPainter(), nullptr);
  EXPECT_NE(SharedTextBitmapEh(), nullptr);
  EXPECT_EQ(GraphicProviderCountEh(), 1);
  EXPECT_GT(CheckBoxSizeEh().cx, 0);
  EXPECT_EQ(GetButtonsBitmapCacheEh(), nullptr) << "the edit-button unit fills the slot";
  EXPECT_EQ(GetClass("TSizeGripEh"), TSizeGripEh::StaticClass()) << "registered for streaming";
}

TEST_F(GridLibBaseEh, NestedStartUpsOnlyCountAndShutdownFreesInOrder) {
  TGridLibManager* Manager = GetGridLibManager();
  InitializeGridLibBaseEh();
  EXPECT_EQ(GetGridLibManager(), Manager);
  FinalizeGridLibBaseEh();
  EXPECT_EQ(GetGridLibManager(), Manager);

  bool ManagerAliveAtCacheFree = false;
  SetButtonsBitmapCacheEh(new TProbeCache(ManagerAliveAtCacheFree));
  GetCacheAlphaBitmapEh(4, 4);
  FinalizeGridLibBaseEh();
  EXPECT_TRUE(ManagerAliveAtCacheFree) << "the cache goes first";
  EXPECT_EQ(GetButtonsBitmapCacheEh(), nullptr);
  EXPECT_EQ(GetGridLibManager(), nullptr);
  EXPECT_EQ(GetWorkingTimeCalendarEh(), nullptr);
  EXPECT_EQ(GetGridLibDrawStyleEh(), nullptr);
  EXPECT_EQ(SharedTextBitmapEh(), nullptr);
  EXPECT_FALSE(IsCacheAlphaBitmapCapturedEh());
}

TEST_F(GridLibBaseEh, ManagerDefaults) {
  TGridLibManager* M = GetGridLibManager();
  EXPECT_EQ(M->WeekWorkingDays().Bits(), 31u);
  EXPECT_EQ(M->AltDecimalSeparator(), u'.');
  EXPECT_TRUE(M->DateTimeCalendarPickerHighlightHolidays());
  EXPECT_TRUE(M->DateTimeCalendarPickerShowTimeSelectionPage());
  EXPECT_FALSE(M->UseAlphaFormatInAlphaBlend()) << "styles are off";
  EXPECT_EQ(M->PopupDateTimePickerClass(), nullptr) << "no picker form registered";
  EXPECT_EQ(M->PopupCalculatorClass(), nullptr);
}

TEST_F(GridLibBaseEh, ManagerPublishesItsValueSettings) {
  TGridLibManager* M = GetGridLibManager();
  std::vector<String> Names;
  for (const TPropInfo* P : GetPropList(M)) {
    Names.push_back(P->Name);
    EXPECT_TRUE(IsDefaultPropertyValue(M, P) || P->Name == u"UseAlphaFormatInAlphaBlend") << P->Name.toStdString();
  }
  EXPECT_EQ(Names, (std::vector<String>{"DateTimeCalendarPickerHighlightHolidays",
                                        "DateTimeCalendarPickerShowTimeSelectionPage", "WeekWorkingDays",
                                        "AltDecimalSeparator", "UseAlphaFormatInAlphaBlend"}));
  EXPECT_EQ(GetSetProp(M, "WeekWorkingDays"), "wwdMondayEh,wwdTuesdayEh,wwdWednesdayEh,wwdThursdayEh,wwdFridayEh");

  // Access by name goes through the setters, with their repaint notice.
  SetSetProp(M, "WeekWorkingDays", "[wwdSaturdayEh, wwdSundayEh]");
  EXPECT_EQ(M->WeekWorkingDays(), (TWeekDaysEh{wwdSaturdayEh, wwdSundayEh}));
  EXPECT_EQ(themeChangesQueued(), 1u);
  EXPECT_FALSE(IsDefaultPropertyValue(M, GetPropInfo(M, "WeekWorkingDays")));
  SetPropValue(M, "AltDecimalSeparator", Variant(String(",")));
  EXPECT_EQ(M->AltDecimalSeparator(), u',');
  SetEnumProp(M, "DateTimeCalendarPickerShowTimeSelectionPage", "False");
  EXPECT_FALSE(M->DateTimeCalendarPickerShowTimeSelectionPage());
}

TEST_F(GridLibBaseEh, WorkingCalendarFollowsTheWorkingWeek) {
  const struct {
    Word Day;  // of May 2024: the 20th is a Monday
    TWeekDayEh WeekDay;
    bool Workday;
  } Cases[] = {{20, wwdMondayEh, true},   {24, wwdFridayEh, true},   {25, wwdSaturdayEh, false},
               {26, wwdSundayEh, false}, {22, wwdWednesdayEh, true}};
  TWorkingTimeCalendarEh* Calendar = GetWorkingTimeCalendarEh();
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Day);
    const TDateTime Date = EncodeDate(2024, 5, C.Day) + 0.75;
    EXPECT_EQ(DateToWeekDayEh(Date), C.WeekDay);
    EXPECT_EQ(Calendar->IsWorkday(Date), C.Workday);
  }
  TTimeRangesEh Ranges{{1, 2}, {3, 4}};
  Calendar->GetWorkingTime(EncodeDate(2024, 5, 25), Ranges);
  ASSERT_EQ(Ranges.size(), 1u);
  EXPECT_DOUBLE_EQ(Ranges[0].StartTime, EncodeTime(8, 0, 0, 0));
  EXPECT_DOUBLE_EQ(Ranges[0].FinishTime, EncodeTime(17, 0, 0, 0));

  GetGridLibManager()->SetWeekWorkingDays({wwdSaturdayEh});
  EXPECT_TRUE(Calendar->IsWorkday(EncodeDate(2024, 5, 25)));
  EXPECT_FALSE(Calendar->IsWorkday(EncodeDate(2024, 5, 20)));
}

TEST_F(GridLibBaseEh, ChangesPostOneThemeChangeUntilItIsHandled) {
  TGridLibManager* M = GetGridLibManager();
  M->SetWeekWorkingDays(M->WeekWorkingDays());
  M->SetDateTimeCalendarPickerHighlightHolidays(true);
  EXPECT_EQ(themeChangesQueued(), 0u) << "equal values post nothing";
  M->SetWeekWorkingDays({wwdMondayEh});
  M->SetDateTimeCalendarPickerHighlightHolidays(false);
  EXPECT_EQ(themeChangesQueued(), 1u);
  const auto Queue = test::Pending();
  const auto Theme = std::find_if(Queue.begin(), Queue.end(), [](const MSG& Msg) { return Msg.message == WM_THEMECHANGED; });
  EXPECT_EQ(Theme->hwnd, Application->Handle());
}

TEST_F(GridLibBaseEh, SettersInstallAndHandBackThePrevious) {
  auto* Manager = new TGridLibManager;
  TGridLibManager* Previous = SetGridLibManager(Manager);
  EXPECT_EQ(GetGridLibManager(), Manager);
  EXPECT_NE(Previous, Manager);
  Previous->Free();

  auto* Calendar = new TWorkingTimeCalendarEh(nullptr);
  SetWorkingTimeCalendarEh(Calendar)->Free();
  EXPECT_EQ(GetWorkingTimeCalendarEh(), Calendar);

  auto* Style = new TGridLibDrawStyleEh;
  SetGridLibDrawStyleEh(Style)->Free();
  EXPECT_EQ(GetGridLibDrawStyleEh(), Style);
}

}  // namespace
