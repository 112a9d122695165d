#include "gridlib/base/gridlibmanager.h"

#include "gridlib/base/painters.h"
#include "gridlib/base/winroutines.h"
#include "platform/ui/windowing/messages.h"

#include <utility>

namespace {

// The installed singletons (the library's start-up makes them).
struct TManagerState {
  TGridLibManager* Manager = nullptr;
  TWorkingTimeCalendarEh* Calendar = nullptr;
};

TManagerState State;

// The working day's hours of the base calendar.
constexpr Word WorkStartHour = 8, WorkFinishHour = 17;

void postThemeChanged() { PostAppMessageOnceEh(gdi::WM_THEMECHANGED, 0, 0); }

}  // namespace

TGridLibManager::TGridLibManager()
    : FPopupDateTimePickerClass(GetClass(QStringLiteral("TPopupDateTimeCalendarFormEh"))),
      FPopupCalculatorClass(GetClass(QStringLiteral("TPopupCalculatorFormEh"))),
      FUseAlphaFormatInAlphaBlend(IsStyleServicesEnabledEh()) {}

void TGridLibManager::DescribeProperties(TPropertyTable& Props) {
  using M = TGridLibManager;
  Props.Add("DateTimeCalendarPickerHighlightHolidays", &M::DateTimeCalendarPickerHighlightHolidays,
            &M::SetDateTimeCalendarPickerHighlightHolidays)
      .Default(true);
  Props.Add("DateTimeCalendarPickerShowTimeSelectionPage", &M::DateTimeCalendarPickerShowTimeSelectionPage,
            &M::SetDateTimeCalendarPickerShowTimeSelectionPage)
      .Default(true);
  Props.Add("WeekWorkingDays", &M::WeekWorkingDays, &M::SetWeekWorkingDays)
      .Default(MondayToFriday);
  Props.Add("AltDecimalSeparator", &M::AltDecimalSeparator, &M::SetAltDecimalSeparator).Default(Char(u'.'));
  // Its value follows the style services at construction, so it has no default.
  Props.Add("UseAlphaFormatInAlphaBlend", &M::UseAlphaFormatInAlphaBlend, &M::SetUseAlphaFormatInAlphaBlend);
}

void TGridLibManager::SetDateTimeCalendarPickerHighlightHolidays(bool Value) {
  if (FDateTimeCalendarPickerHighlightHolidays == Value) return;
  FDateTimeCalendarPickerHighlightHolidays = Value;
  postThemeChanged();
}

void TGridLibManager::SetWeekWorkingDays(TWeekDaysEh Value) {
  if (FWeekWorkingDays == Value) return;
  FWeekWorkingDays = Value;
  postThemeChanged();
}

bool TWorkingTimeCalendarEh::IsWorkday(TDateTime ADate) {
  return GetGridLibManager()->WeekWorkingDays().Contains(DateToWeekDayEh(ADate));
}

void TWorkingTimeCalendarEh::GetWorkingTime(TDateTime /*ADate*/, TTimeRangesEh& ATimeRanges) {
  ATimeRanges = {{EncodeTime(WorkStartHour, 0, 0, 0), EncodeTime(WorkFinishHour, 0, 0, 0)}};
}

TWeekDayEh DateToWeekDayEh(TDateTime ADate) { return TWeekDayEh(DayOfTheWeek(ADate) - 1); }

TGridLibManager* GetGridLibManager() { return State.Manager; }

TGridLibManager* SetGridLibManager(TGridLibManager* AManager) { return std::exchange(State.Manager, AManager); }

TWorkingTimeCalendarEh* GetWorkingTimeCalendarEh() { return State.Calendar; }

TWorkingTimeCalendarEh* SetWorkingTimeCalendarEh(TWorkingTimeCalendarEh* ACalendar) {
  return std::exchange(State.Calendar, ACalendar);
}
