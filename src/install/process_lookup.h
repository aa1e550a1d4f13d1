// Looking for a running program by its executable file name.
#pragma once

#include <cstdint>
#include <string>

// The id of the first running process whose executable file name equals
// `name` exactly (letter case counts), or 0 when there is none or the
// process list cannot be read.
std::uint32_t FindProcessByName(const std::wstring& name);
