#include "values/list_registry.h"

#include <string>

#include "frame/log.h"

namespace orlix {
namespace {

// Windows-1251 texts of the list registry, as byte escapes.

// "  замена": a list was replaced by a create under the same name.
constexpr const char* kReplaced = "  \xE7\xE0\xEC\xE5\xED\xE0";

// "внимание - неверный тип в ": warning, wrong type in <export name>.
constexpr const char* kWrongKind =
    "\xE2\xED\xE8\xEC\xE0\xED\xE8\xE5 - \xED\xE5\xE2\xE5\xF0\xED\xFB\xE9 \xF2\xE8\xEF \xE2 ";

}  // namespace

void WriteWrongKind(std::string_view export_name) {
  std::string line = kWrongKind;
  line += export_name;
  WriteLog(line, false);
}

void WriteReplaced() { WriteLog(kReplaced); }

}  // namespace orlix
