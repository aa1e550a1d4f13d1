// A printf for one integer whose format comes from outside the program (a
// skin's markup or user data): the format may hold one integer conversion
// (%d %i %u %x %X %o with the usual flags, at most three digits of width and
// of precision, h/l length letters ignored) and any number of "%%". Any
// other conversion, a second one, or a '*' width makes the result empty
// rather than reading an argument that is not there.
//
// Pure; any thread.
#pragma once

#include <cstdint>
#include <string>

namespace Utils {

std::wstring FormatOneInteger(const std::wstring& format, std::uint32_t value);

}  // namespace Utils
