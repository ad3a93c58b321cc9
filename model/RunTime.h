// Run-time conventions shared by every module of the system.
//
//  - One base error class (`Exception`) carrying a message; every module
//    raises its own subclass (EListError, EXmlError, EMivoError, EWoxError,
//    and EMivoEvalError in the evaluator).
//  - Conversion errors (`EConvertError`) for text that is not a number or a
//    boolean.
//  - Checked integer arithmetic: overflow raises "Integer overflow"
//    (`EIntOverflow`), an index outside a string or array raises
//    "Range check error" (`ERangeError`); nothing ever wraps or reads out of
//    bounds.
//  - Assertions of internal invariants raise `EAssertionFailed` with the
//    message "%s (%s, line %d)".
//  - `Format`: printf-style formatting of catalogue texts with std::string
//    arguments.
#pragma once

#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>

namespace mivo {

// Base of every error the system raises.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// Text that does not convert to a number or a boolean.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Integer arithmetic that would leave its range.
class EIntOverflow : public Exception {
public:
    EIntOverflow() : Exception("Integer overflow") {}
};

// An index outside a string or an array.
class ERangeError : public Exception {
public:
    ERangeError() : Exception("Range check error") {}
};

// A failed assertion of an internal invariant.
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

// Errors of the list module.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// Errors of the XML reader and writer.
class EXmlError : public Exception {
public:
    using Exception::Exception;
};

// Errors of the decision model and its file formats.
class EMivoError : public Exception {
public:
    using Exception::Exception;
};

// Errors of the Wox interchange reader.
class EWoxError : public Exception {
public:
    using Exception::Exception;
};

namespace detail {
inline const char* FormatArg(const std::string& s) { return s.c_str(); }
inline const char* FormatArg(const char* s) { return s; }
template <typename T>
    requires std::is_arithmetic_v<T> || std::is_enum_v<T>
T FormatArg(T v) { return v; }
}  // namespace detail

// printf-style formatting; std::string arguments are passed as C strings.
template <typename... Args>
std::string Format(const char* format, const Args&... args) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    int n = std::snprintf(nullptr, 0, format, detail::FormatArg(args)...);
    if (n <= 0) return n == 0 ? std::string() : std::string(format);
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, detail::FormatArg(args)...);
#pragma GCC diagnostic pop
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// Raises EAssertionFailed with "<message> (<file>, line <line>)".
[[noreturn]] void AssertionFailed(const std::string& message, const char* file, int line);

#define MIVO_ASSERT(condition, message)                                   \
    do {                                                                  \
        if (!(condition)) ::mivo::AssertionFailed((message), __FILE__, __LINE__); \
    } while (false)

// Checked arithmetic on integers of one type.
template <typename T>
T CheckedAdd(T a, T b) {
    T r;
    if (__builtin_add_overflow(a, b, &r)) throw EIntOverflow();
    return r;
}
template <typename T>
T CheckedSub(T a, T b) {
    T r;
    if (__builtin_sub_overflow(a, b, &r)) throw EIntOverflow();
    return r;
}
template <typename T>
T CheckedMul(T a, T b) {
    T r;
    if (__builtin_mul_overflow(a, b, &r)) throw EIntOverflow();
    return r;
}

// Narrowing conversion that raises "Range check error" when the value does
// not fit the target type.
template <typename To, typename From>
To CheckedCast(From v) {
    static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
    if (!std::in_range<To>(v)) throw ERangeError();
    return static_cast<To>(v);
}

// Raises "Range check error" unless 0 <= index < size.
template <typename I, typename S>
void CheckIndex(I index, S size) {
    if (!std::cmp_greater_equal(index, 0) || !std::cmp_less(index, size)) throw ERangeError();
}

// Element access with a range check.
template <typename Container, typename I>
auto& At(Container& c, I index) {
    CheckIndex(index, c.size());
    return c[static_cast<std::size_t>(index)];
}

}  // namespace mivo
