#include "ui/toolkit/sequence_animation.h"

#include "ui/toolkit/attribute_values.h"
#include "utils/integer_format.h"

namespace ui {
namespace {

constexpr std::size_t kNameBuffer = 260;  // characters, terminator included

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
  std::wstring out = Utils::FormatOneInteger(format, frame);
  if (out.size() > kNameBuffer - 1) out.resize(kNameBuffer - 1);
  return out;
}

}  // namespace ui
