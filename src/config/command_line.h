// Command-line options: "-name=value" arguments that override the settings.
//
// Every argument becomes one entry: an argument starting with "-" and
// holding "=" gives key = text before the first "=", value = the rest (which
// may hold more "="); any other argument is a key with an empty value. Keys
// compare exactly (case-sensitive, untrimmed); the first occurrence of a key
// wins. Unknown keys are kept and never read.
//
// Parsed and applied once, on the main thread, after the single-instance
// guard is held; options then override the configuration file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CInstallerConfig;

class CommandLineOptions {
 public:
  // Adds an entry unless the key is already present.
  void Add(const std::wstring& argument);

  bool Contains(const std::wstring& key) const;

  // The value; `fallback` when the key is missing.
  std::wstring GetString(const std::wstring& key, const std::wstring& fallback = std::wstring()) const;

  // Leading white space and a sign accepted, decimal digits up to the first
  // other character; no digits give 0. A missing key, and a number beyond
  // the signed 32-bit range, give `fallback`.
  std::int32_t GetInt(const std::wstring& key, std::int32_t fallback = 0) const;

  // True only for the value "true" exactly; `fallback` when missing.
  bool GetBool(const std::wstring& key, bool fallback = false) const;

  // A decimal floating-point number at the start of the value; a missing
  // key, a value without a number, and one that overflows or underflows a
  // double give `fallback`.
  double GetDouble(const std::wstring& key, double fallback) const;

  const std::map<std::wstring, std::wstring>& Entries() const { return entries_; }

 private:
  std::map<std::wstring, std::wstring> entries_;
};

// This process's command line, split by the Windows rules.
CommandLineOptions ParseCommandLine();

// Given arguments (the program path first, as the system gives it).
CommandLineOptions ParseArguments(const std::vector<std::wstring>& arguments);

// Parses this process's command line and applies it to Config().
void ApplyCommandLine();

// Applies the options that are present to `config`, in a fixed order.
void ApplyCommandLine(const CommandLineOptions& options, CInstallerConfig& config);
