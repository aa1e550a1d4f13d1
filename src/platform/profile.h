// Private-profile INI files with the Windows semantics the installer relies on.
//
// Windows: GetPrivateProfileStringW / GetPrivateProfileIntW /
// WritePrivateProfileStringW. POSIX stand-in: a UTF-8 INI reader and writer
// that behaves the same way:
//   - section and key names compare without regard to case;
//   - a missing key gives the default, a key with an empty value gives "";
//   - values are trimmed of surrounding blanks; a value in matching quotes
//     (double or single) on both ends loses them;
//   - the result is cut to bufferChars - 1 characters (the buffer of the
//     Windows call holds the terminator too);
//   - integers: a missing key or an empty value gives the default; otherwise
//     leading blanks and a sign are accepted, "0x" (lower case only) selects
//     hexadecimal, and the number ends at the first character that does not
//     fit (no digits read as 0; overflow wraps modulo 2^32).
// Writing creates the file when missing (the folder must exist) and keeps
// every other section and key. Thread-safe per call; concurrent writers of
// one file are not serialised (neither are they on Windows).
#pragma once

#include <cstddef>
#include <string>

namespace platform {

inline constexpr std::size_t kProfileBufferChars = 260;

std::wstring ReadProfileString(const std::wstring& path, const std::wstring& section,
                               const std::wstring& key, const std::wstring& defaultValue,
                               std::size_t bufferChars = kProfileBufferChars);

int ReadProfileInt(const std::wstring& path, const std::wstring& section,
                   const std::wstring& key, int defaultValue);

bool WriteProfileString(const std::wstring& path, const std::wstring& section,
                        const std::wstring& key, const std::wstring& value);

}  // namespace platform
