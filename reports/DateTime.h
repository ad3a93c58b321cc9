// Date and time for report macros: a calendar date-time value, the
// locale's date and time formats, and formatting with format pictures.
//
// Format pictures (letters in any case):
//   d, dd          day without / with leading zero
//   ddd, dddd      short / long day name
//   ddddd, dddddd  the short / long date format
//   m, mm          month without / with leading zero (minutes right after
//                  an hour specifier)
//   mmm, mmmm      short / long month name
//   yy, yyyy       two-digit / four-digit year
//   h, hh          hour without / with leading zero (12-hour with am/pm)
//   n, nn          minute;  s, ss second;  z, zzz millisecond
//   t, tt          the short / long time format
//   c              the short date format, a blank and the long time format
//   am/pm, a/p     the half of the day; 12-hour clock
//   "...", '...'   literal text
// Any other character stands for itself.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace mivo {

struct TDateTime {
    int Year = 2000;
    int Month = 1;   // 1..12
    int Day = 1;     // 1..31
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;

    bool operator==(const TDateTime&) const = default;
};

// The current local date and time.
TDateTime Now();

// A source of the current date and time (injected where output must be
// reproducible).
using TClock = std::function<TDateTime()>;

struct TDateFormats {
    std::string ShortDate;
    std::string LongDate;
    std::string ShortTime;
    std::string LongTime;
    std::string ShortMonthNames[12];
    std::string LongMonthNames[12];
    std::string ShortDayNames[7];  // Sunday first
    std::string LongDayNames[7];
};

// The user's locale's formats.
const TDateFormats& LocaleDateFormats();

std::string FormatDateTime(std::string_view format, const TDateTime& value, const TDateFormats& formats);

// The time of day in the long time format.
std::string TimeToStr(const TDateTime& value, const TDateFormats& formats);

}  // namespace mivo
