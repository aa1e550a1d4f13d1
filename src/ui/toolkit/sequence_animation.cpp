#include "ui/toolkit/sequence_animation.h"

#include <cstdio>

#include "ui/toolkit/attribute_values.h"

namespace ui {
namespace {

constexpr std::size_t kNameBuffer = 260;  // characters, terminator included

bool IsFlag(wchar_t c) { return c == L'-' || c == L'+' || c == L' ' || c == L'#' || c == L'0'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Formats the one integer conversion found at format[start] ('%') and leaves
// `*end` after it. False when it is not a supported integer conversion.
bool FormatConversion(const std::wstring& format, std::size_t start, std::uint32_t frame,
                      std::size_t* end, std::wstring* out) {
  std::string printfFormat = "%";
  std::size_t i = start + 1;
  while (i < format.size() && IsFlag(format[i])) printfFormat.push_back(static_cast<char>(format[i++]));
  std::size_t digits = 0;
  while (i < format.size() && IsDigit(format[i]) && digits < 3) {
    printfFormat.push_back(static_cast<char>(format[i++]));
    ++digits;
  }
  if (i < format.size() && format[i] == L'.') {
    printfFormat.push_back('.');
    ++i;
    digits = 0;
    while (i < format.size() && IsDigit(format[i]) && digits < 3) {
      printfFormat.push_back(static_cast<char>(format[i++]));
      ++digits;
    }
  }
  if (i < format.size() && (IsDigit(format[i]) || format[i] == L'*')) return false;
  while (i < format.size() && (format[i] == L'l' || format[i] == L'h')) ++i;  // lengths: int anyway
  if (i >= format.size()) return false;
  const wchar_t conversion = format[i];
  if (conversion != L'd' && conversion != L'i' && conversion != L'u' && conversion != L'x' &&
      conversion != L'X' && conversion != L'o') {
    return false;
  }
  printfFormat.push_back(static_cast<char>(conversion));
  char buffer[1100];
  int n;
  if (conversion == L'd' || conversion == L'i') {
    n = std::snprintf(buffer, sizeof buffer, printfFormat.c_str(), static_cast<int>(frame));
  } else {
    n = std::snprintf(buffer, sizeof buffer, printfFormat.c_str(), static_cast<unsigned>(frame));
  }
  if (n < 0) return false;
  for (const char* p = buffer; *p; ++p) out->push_back(static_cast<wchar_t>(*p));
  *end = i + 1;
  return true;
}

}  // namespace

SequenceAnimation SequenceAnimation::ForLabel() { return SequenceAnimation(); }

SequenceAnimation SequenceAnimation::ForButton() {
  SequenceAnimation a;
  a.backAndForth = true;
  a.span = 60;
  return a;
}

bool SequenceAnimation::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"sequencebkimage") {
    format = value;
    return true;
  }
  const std::wstring key = ToLowerAscii(name);
  if (key == L"sequencecount") count = ParseInt(value);
  else if (key == L"sequencespan") span = ParseInt(value);
  else if (key == L"sequenceloop") loop = value != L"false";
  else if (key == L"autostart") autostart = value != L"false";
  else if (key == L"sequenceround") backAndForth = value != L"false";
  else return false;
  return true;
}

SequenceAnimation::Step SequenceAnimation::Advance() {
  if (format.empty()) return {};
  const std::uint32_t last = static_cast<std::uint32_t>(count) - 1u;
  if (forward && index > last) {
    if (backAndForth) {
      forward = false;
      index = static_cast<std::uint32_t>(count) - 2u;
    } else {
      index = 0;
      if (!loop) return {StepKind::kStop, 0};
    }
  }
  if (!forward && index == 0) {
    if (backAndForth) forward = true;
    index = 0;
    if (!loop) return {StepKind::kStop, 0};
  }
  const std::uint32_t frame = index;
  index = forward ? index + 1 : index - 1;
  return {StepKind::kShow, frame};
}

std::wstring SequenceAnimation::FrameName(const std::wstring& format, std::uint32_t frame) {
  std::wstring out;
  bool converted = false;
  for (std::size_t i = 0; i < format.size();) {
    if (format[i] != L'%') {
      out.push_back(format[i++]);
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == L'%') {
      out.push_back(L'%');
      i += 2;
      continue;
    }
    std::size_t end = 0;
    if (converted || !FormatConversion(format, i, frame, &end, &out)) return std::wstring();
    converted = true;
    i = end;
  }
  if (out.size() > kNameBuffer - 1) out.resize(kNameBuffer - 1);
  return out;
}

}  // namespace ui
