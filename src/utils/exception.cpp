#include "utils/exception.h"

#include "platform/codepage.h"

namespace Utils {

Exception::Exception(const std::wstring& message)
    : message_(platform::ToNarrow(message, platform::kCodePageAnsi)) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept { return message_.c_str(); }

}  // namespace Utils
