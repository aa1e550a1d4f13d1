// TW_FUNCTION_NAME: the qualified name of the enclosing function as a wide
// string ("CurlClient::Start", "Utils::CheckNetwork"): the compiler's pretty
// function name without return type, parameters and qualifiers, cut at each
// use (a few string operations; logging formats a line anyway). Inside a
// lambda the name is the enclosing function's followed by whatever the
// compiler calls the lambda ("CFoo::Run::<lambda()>" with GCC).
#pragma once

#include <string>

namespace Utils {

// Cuts "int ns::Cls::Fn(args) const" down to "ns::Cls::Fn" and widens it.
std::wstring QualifiedFunctionName(const char* prettyFunction);

}  // namespace Utils

#define TW_FUNCTION_NAME ::Utils::QualifiedFunctionName(__PRETTY_FUNCTION__)
