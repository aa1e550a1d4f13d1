// Utils::Exception: what the process and pipe primitives throw.
//
// Built from a wide message, kept as narrow text in the ANSI code page for
// what(). The primitives throw it with an empty message; their callers (the
// package and uninstaller runners) catch it and report a failure event.
#pragma once

#include <exception>
#include <string>

namespace Utils {

class Exception : public std::exception {
 public:
  explicit Exception(const std::wstring& message = std::wstring());
  ~Exception() override;
  const char* what() const noexcept override;

 private:
  std::string message_;
};

}  // namespace Utils
