#include "remains/field_names.h"

namespace orlix {
namespace {
constexpr unsigned char kLastBlank = 32;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= kLastBlank; }
}  // namespace

std::string LowerTrimmed(std::string_view name) {
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  std::string result(name);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

std::string UpperAscii(std::string_view name) {
  std::string result(name);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

int PositionOf(std::span<const std::string_view> names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

}  // namespace orlix
