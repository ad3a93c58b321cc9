#include "reports/DateTime.h"

#include <cctype>
#include <chrono>
#include <ctime>

#include "model/RunTime.h"

namespace mivo {

TDateTime Now() {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return TDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                     static_cast<int>(ms)};
}

const TDateFormats& LocaleDateFormats() {
    static const TDateFormats formats = {
        "yyyy-mm-dd",
        "dddd, d mmmm yyyy",
        "hh:nn",
        "hh:nn:ss",
        {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
        {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
         "November", "December"},
        {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
        {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
    };
    return formats;
}

namespace {

int DayOfWeek(const TDateTime& value) {  // 0 = Sunday
    using namespace std::chrono;
    year_month_day ymd{year{value.Year}, month{static_cast<unsigned>(value.Month)},
                       day{static_cast<unsigned>(value.Day)}};
    if (!ymd.ok()) return 0;
    return static_cast<int>(weekday{sys_days{ymd}}.c_encoding());
}

std::string Number(int value, int digits) {
    std::string s = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<std::size_t>(digits) - s.size(), '0');
    return value < 0 ? "-" + s : s;
}

const std::string& Name(const std::string (&names)[12], int month) {
    static const std::string none;
    return month >= 1 && month <= 12 ? names[month - 1] : none;
}

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view word) {
    if (text.size() - pos < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(text[pos + k])) != word[k]) return false;
    return true;
}

class TDateFormatter {
public:
    TDateFormatter(const TDateTime& value, const TDateFormats& formats) : value_(value), formats_(formats) {}

    std::string Run(std::string_view format, int depth) {
        // Nested formats (ddddd, t, c) go one level deep at most, so that a
        // locale format naming itself cannot recurse without end.
        if (depth > 2) return {};
        bool twelve = HasAmPm(format);
        std::string out;
        bool afterHour = false;
        std::size_t i = 0;
        while (i < format.size()) {
            char c = format[i];
            char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            std::size_t n = RunLength(format, i, lc);
            if (c == '"' || c == '\'') {
                std::size_t end = format.find(c, i + 1);
                if (end == std::string_view::npos) end = format.size();
                out.append(format.substr(i + 1, end - i - 1));
                i = end < format.size() ? end + 1 : end;
                continue;
            }
            if (lc == 'a' && StartsWithNoCase(format, i, "am/pm")) {
                out += value_.Hour < 12 ? "AM" : "PM";
                i += 5;
                continue;
            }
            if (lc == 'a' && StartsWithNoCase(format, i, "a/p")) {
                out += value_.Hour < 12 ? "A" : "P";
                i += 3;
                continue;
            }
            switch (lc) {
                case 'd':
                    if (n <= 2) out += Number(value_.Day, static_cast<int>(n));
                    else if (n == 3) out += formats_.ShortDayNames[DayOfWeek(value_)];
                    else if (n == 4) out += formats_.LongDayNames[DayOfWeek(value_)];
                    else if (n == 5) out += Run(formats_.ShortDate, depth + 1);
                    else out += Run(formats_.LongDate, depth + 1);
                    afterHour = false;
                    break;
                case 'm':
                    if (afterHour && n <= 2) out += Number(value_.Minute, static_cast<int>(n));
                    else if (n <= 2) out += Number(value_.Month, static_cast<int>(n));
                    else if (n == 3) out += Name(formats_.ShortMonthNames, value_.Month);
                    else out += Name(formats_.LongMonthNames, value_.Month);
                    afterHour = false;
                    break;
                case 'y':
                    out += n <= 2 ? Number(value_.Year % 100, 2) : Number(value_.Year, 4);
                    afterHour = false;
                    break;
                case 'h': {
                    int hour = value_.Hour;
                    if (twelve) hour = hour % 12 == 0 ? 12 : hour % 12;
                    out += Number(hour, n >= 2 ? 2 : 1);
                    afterHour = true;
                    i += n;
                    continue;
                }
                case 'n':
                    out += Number(value_.Minute, n >= 2 ? 2 : 1);
                    afterHour = false;
                    break;
                case 's':
                    out += Number(value_.Second, n >= 2 ? 2 : 1);
                    afterHour = false;
                    break;
                case 'z':
                    out += Number(value_.Millisecond, n >= 3 ? 3 : 1);
                    afterHour = false;
                    break;
                case 't':
                    out += Run(n >= 2 ? formats_.LongTime : formats_.ShortTime, depth + 1);
                    afterHour = false;
                    break;
                case 'c':
                    out += Run(formats_.ShortDate, depth + 1) + " " + Run(formats_.LongTime, depth + 1);
                    afterHour = false;
                    break;
                default:
                    out.append(n, c);
                    break;  // separators keep an hour specifier in effect
            }
            i += n;
        }
        return out;
    }

private:
    static std::size_t RunLength(std::string_view format, std::size_t i, char lower) {
        std::size_t n = 1;
        if (lower < 'a' || lower > 'z') return 1;
        while (i + n < format.size() &&
               std::tolower(static_cast<unsigned char>(format[i + n])) == lower)
            ++n;
        return n;
    }

    static bool HasAmPm(std::string_view format) {
        for (std::size_t i = 0; i < format.size(); ++i)
            if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p")) return true;
        return false;
    }

    const TDateTime& value_;
    const TDateFormats& formats_;
};

}  // namespace

std::string FormatDateTime(std::string_view format, const TDateTime& value, const TDateFormats& formats) {
    return TDateFormatter(value, formats).Run(format, 0);
}

std::string TimeToStr(const TDateTime& value, const TDateFormats& formats) {
    return FormatDateTime(formats.LongTime, value, formats);
}

}  // namespace mivo
