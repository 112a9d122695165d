// The library-wide settings of the grid library and the working-time
// calendar the date-time picker asks.  Both live from the library's start-up
// to its shutdown (baseunit.h); an application installs a replacement with
// the Set... routine, which answers the previous object for the caller to
// free.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/typinfo.h"

#include <vector>

RTL_ENUM(TWeekDayEh, wwdMondayEh, wwdTuesdayEh, wwdWednesdayEh, wwdThursdayEh, wwdFridayEh, wwdSaturdayEh,
         wwdSundayEh)
using TWeekDaysEh = TSet<TWeekDayEh>;

struct TTimeRangeEh {
  TDateTime StartTime = 0;
  TDateTime FinishTime = 0;
};
using TTimeRangesEh = std::vector<TTimeRangeEh>;

// Which forms the edit controls open as date-time picker and calculator,
// which week days are working days, and the decimal separator accepted
// besides the locale's.
class TGridLibManager : public TPersistent {
  RTL_CLASS(TGridLibManager, TPersistent)
public:
  // The picker and calculator classes come from the class registry by name;
  // they stay unset while the edit-button unit has not registered its forms.
  TGridLibManager();
  // Publishes the five value properties.  The two form classes stay public
  // only: a class reference has no published kind and no stream value.
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  TClass PopupDateTimePickerClass() const { return FPopupDateTimePickerClass; }
  void SetPopupDateTimePickerClass(TClass Value) { FPopupDateTimePickerClass = Value; }
  TClass PopupCalculatorClass() const { return FPopupCalculatorClass; }
  void SetPopupCalculatorClass(TClass Value) { FPopupCalculatorClass = Value; }
  // A change posts WM_THEMECHANGED once to the application, so that every
  // window repaints.
  bool DateTimeCalendarPickerHighlightHolidays() const { return FDateTimeCalendarPickerHighlightHolidays; }
  void SetDateTimeCalendarPickerHighlightHolidays(bool Value);
  bool DateTimeCalendarPickerShowTimeSelectionPage() const { return FDateTimeCalendarPickerShowTimeSelectionPage; }
  void SetDateTimeCalendarPickerShowTimeSelectionPage(bool Value) { FDateTimeCalendarPickerShowTimeSelectionPage = Value; }
  // A change posts WM_THEMECHANGED once to the application.
  TWeekDaysEh WeekWorkingDays() const { return FWeekWorkingDays; }
  void SetWeekWorkingDays(TWeekDaysEh Value);
  Char AltDecimalSeparator() const { return FAltDecimalSeparator; }
  void SetAltDecimalSeparator(Char Value) { FAltDecimalSeparator = Value; }
  bool UseAlphaFormatInAlphaBlend() const { return FUseAlphaFormatInAlphaBlend; }
  void SetUseAlphaFormatInAlphaBlend(bool Value) { FUseAlphaFormatInAlphaBlend = Value; }

private:
  static constexpr TWeekDaysEh MondayToFriday{wwdMondayEh, wwdTuesdayEh, wwdWednesdayEh, wwdThursdayEh, wwdFridayEh};

  TClass FPopupDateTimePickerClass = nullptr;
  TClass FPopupCalculatorClass = nullptr;
  bool FDateTimeCalendarPickerHighlightHolidays = true;
  bool FDateTimeCalendarPickerShowTimeSelectionPage = true;
  TWeekDaysEh FWeekWorkingDays = MondayToFriday;
  Char FAltDecimalSeparator = u'.';
  bool FUseAlphaFormatInAlphaBlend = false;
};

// Answers whether a day is a working day and its working hours.  The base
// knows the manager's working week and one range, 08:00 to 17:00, for every
// day; holidays and per-day hours are a descendant's business.
class TWorkingTimeCalendarEh : public TComponent {
  RTL_CLASS(TWorkingTimeCalendarEh, TComponent)
public:
  explicit TWorkingTimeCalendarEh(TComponent* AOwner) : TComponent(AOwner) {}

  // introduced virtuals
  virtual bool IsWorkday(TDateTime ADate);
  virtual void GetWorkingTime(TDateTime ADate, TTimeRangesEh& ATimeRanges);
};

// Monday gives wwdMondayEh ... Sunday wwdSundayEh.
TWeekDayEh DateToWeekDayEh(TDateTime ADate);

TGridLibManager* GetGridLibManager();
// Installs AManager and answers the previous manager, which the caller owns.
TGridLibManager* SetGridLibManager(TGridLibManager* AManager);
TWorkingTimeCalendarEh* GetWorkingTimeCalendarEh();
// Installs ACalendar and answers the previous calendar, which the caller owns.
TWorkingTimeCalendarEh* SetWorkingTimeCalendarEh(TWorkingTimeCalendarEh* ACalendar);
