#include "install/process_lookup.h"

#include "platform/process.h"

std::uint32_t FindProcessByName(const std::wstring& name) { return platform::FindProcessIdByName(name); }
