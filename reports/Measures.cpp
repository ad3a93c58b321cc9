#include "reports/Measures.h"

#include <cmath>
#include <limits>

#include "model/RunTime.h"
#include "model/CodePage.h"

namespace mivo {

TPoint AddPoints(TPoint a, TPoint b) { return TPoint{CheckedAdd(a.X, b.X), CheckedAdd(a.Y, b.Y)}; }

std::int32_t RoundToInt32(double value) {
    if (std::isnan(value)) throw ERangeError();
    // Round half to even independently of the current rounding mode.
    double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::round(value / 2.0);
    if (r < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        throw ERangeError();
    return static_cast<std::int32_t>(r);
}

std::string CopyTail(std::string_view text, std::int32_t from, std::int32_t count) {
    if (count == 0) return {};
    if (count < 0) {
        if (from <= 1) return std::string(text);
        return std::string(text.substr(CodePointOffset(text, static_cast<std::size_t>(from) - 1)));
    }
    std::size_t first = from <= 1 ? 0 : static_cast<std::size_t>(from) - 1;
    std::size_t begin = CodePointOffset(text, first);
    std::string_view rest = text.substr(begin);
    return std::string(rest.substr(0, CodePointOffset(rest, static_cast<std::size_t>(count))));
}

}  // namespace mivo
