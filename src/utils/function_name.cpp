#include "utils/function_name.h"

#include <cstring>
#include <string_view>

namespace Utils {
namespace {

bool IsOpen(char c) { return c == '<' || c == '(' || c == '[' || c == '{'; }
bool IsClose(char c) { return c == '>' || c == ')' || c == ']' || c == '}'; }

// Index just past the bracket group that opens at `open`, or text.size().
std::size_t SkipGroup(std::string_view text, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    if (IsOpen(text[i])) {
      ++depth;
    } else if (IsClose(text[i]) && --depth == 0) {
      return i + 1;
    }
  }
  return text.size();
}

bool StartsWordAt(std::string_view text, std::size_t i, std::string_view word) {
  if (text.substr(i, word.size()) != word) return false;
  if (i > 0) {
    char before = text[i - 1];
    if (before != ' ' && before != ':' && before != '*' && before != '&') return false;
  }
  return true;
}

// The operator symbol may hold brackets of its own ("operator()",
// "operator<<", "operator[]"), so it is stepped over as a unit; it ends where
// the parameter list begins.
std::size_t SkipOperatorName(std::string_view text, std::size_t i) {
  std::size_t j = i + std::strlen("operator");
  if (text.substr(j, 2) == "()") return j + 2;
  while (j < text.size() && text[j] != '(') ++j;
  return j;
}

std::string QualifiedName(std::string_view text) {
  std::size_t nameStart = 0;
  int depth = 0;
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (depth == 0 && (c == ' ' || ((c == '*' || c == '&') && i == nameStart))) {
      // Clang writes "const T *fn()": the pointer mark belongs to the type.
      nameStart = i + 1;
      ++i;
    } else if (depth == 0 && c == 'o' && StartsWordAt(text, i, "operator")) {
      i = SkipOperatorName(text, i);
    } else if (depth == 0 && c == '(') {
      // A group at the very start of a name component ("(anonymous
      // namespace)::", "(lambda at ...)") belongs to the name.
      bool partOfName = i == nameStart || (i >= 2 && text.substr(i - 2, 2) == "::");
      if (partOfName) {
        i = SkipGroup(text, i);
        continue;
      }
      std::string name(text.substr(nameStart, i - nameStart));
      std::size_t afterParams = SkipGroup(text, i);
      // A function object defined inside this function: "Cls::Fn() const::<lambda()>".
      std::size_t nested = text.find("::", afterParams);
      if (nested != std::string_view::npos) {
        name += "::" + QualifiedName(text.substr(nested + 2));
      }
      return name;
    } else {
      if (IsOpen(c)) ++depth;
      if (IsClose(c) && depth > 0) --depth;
      ++i;
    }
  }
  return std::string(text.substr(nameStart));
}

}  // namespace

std::wstring QualifiedFunctionName(const char* prettyFunction) {
  if (prettyFunction == nullptr) return std::wstring();
  std::string_view text(prettyFunction);
  // Template functions end in " [with T = int]".
  std::size_t with = text.find(" [with ");
  if (with != std::string_view::npos) text = text.substr(0, with);
  std::string name = QualifiedName(text);
  // Compiler-made names are plain ASCII.
  return std::wstring(name.begin(), name.end());
}

}  // namespace Utils
