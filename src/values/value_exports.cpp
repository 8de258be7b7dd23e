// Exports of the value lists: string, integer and double lists per thread,
// reached by handle. All three kinds share the thread's list registry, so one
// handle space serves them; a handle of another kind is warned about under the
// name of the export that received it and answered with the failure value.
//
// Failure values: 0 for flags, handles and counts; -1 for positions; -1000 and
// -1000.0 for item reads; the empty string for string reads.
#include "values/value_exports.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "frame/export_guard.h"
#include "frame/log.h"
#include "values/list_registry.h"
#include "values/list_num.h"
#include "values/list_str.h"

using namespace orlix;

namespace {

// What the item reads of the numeric lists answer when there is no item.
constexpr int32_t kNoIntItem = -1000;
constexpr double kNoDoubleItem = -1000.0;

constexpr ExportSite Site(const char* export_name) { return {export_name, FailureLine::kDot}; }

// Runs body(list) on the list of class L behind the handle. A handle out of
// range, freed or of another kind (the last two warned about by ResolveList)
// answers the failure value, as does a failure raised inside.
template <class L, class R, class Body>
R OnList(const char* export_name, const int32_t* handle, R failure, Body body) {
  return Guard(Site(export_name), failure, [&]() -> R {
    L* list = ResolveList<L>(IntArg(handle), export_name);
    return list ? body(*list) : failure;
  });
}

template <class L>
int32_t Create(const char* export_name, const char* name) {
  return Guard(Site(export_name), 0, [&] { return CreateList<L>(StrArg(name)); });
}

template <class L>
int32_t Free(const char* export_name, const int32_t* handle) {
  return Guard(Site(export_name), 0, [&] { return FreeList<L>(IntArg(handle), export_name); });
}

template <class L>
int32_t ByName(const char* export_name, const char* name) {
  return Guard(Site(export_name), 0, [&] { return FindList<L>(StrArg(name), export_name); });
}

template <class L>
int32_t Clear(const char* export_name, const int32_t* handle) {
  return OnList<L>(export_name, handle, 0, [](L& list) {
    list.Clear();
    return 1;
  });
}

template <class L>
int32_t Count(const char* export_name, const int32_t* handle) {
  return OnList<L>(export_name, handle, 0, [](L& list) { return list.Count(); });
}

// Value arguments: strings are trimmed, numbers read as they are.
std::string_view ValueArg(const char* value) { return TrimmedStrArg(value); }
int32_t ValueArg(const int32_t* value) { return IntArg(value); }
double ValueArg(const double* value) { return DoubleArg(value); }

template <class L, class Arg>
int32_t Add(const char* export_name, const int32_t* handle, const Arg* value) {
  return OnList<L>(export_name, handle, 0, [&](L& list) {
    list.Add(ValueArg(value));
    return 1;
  });
}

// 1 also when the value was absent.
template <class L, class Arg>
int32_t Delete(const char* export_name, const int32_t* handle, const Arg* value) {
  return OnList<L>(export_name, handle, 0, [&](L& list) {
    list.Delete(ValueArg(value));
    return 1;
  });
}

// How a search treats the list's order: the string and integer presence
// tests sort the list first (it stays sorted, so later tests use
// bisection); the other searches take the list as it is.
enum class Search { kSortFirst, kAsItIs };

template <class L, Search kSearch, class Arg>
int32_t Position(const char* export_name, const int32_t* handle, const Arg* value) {
  return OnList<L>(export_name, handle, -1, [&](L& list) {
    if constexpr (kSearch == Search::kSortFirst) list.SetSorted(true);
    return list.IndexOf(ValueArg(value));
  });
}

template <class L, Search kSearch, class Arg>
int32_t Exists(const char* export_name, const int32_t* handle, const Arg* value) {
  return OnList<L>(export_name, handle, 0, [&](L& list) {
    if constexpr (kSearch == Search::kSortFirst) list.SetSorted(true);
    return list.IndexOf(ValueArg(value)) >= 0 ? 1 : 0;
  });
}

// A non-zero flag sorts the list and keeps it sorted; 0 only unmarks it.
template <class L>
int32_t Sort(const char* export_name, const int32_t* handle, const int32_t* flag) {
  return OnList<L>(export_name, handle, 0, [&](L& list) {
    list.SetSorted(IntArg(flag) != 0);
    return 1;
  });
}

// Writes an empty line, the title with the count, the values (numeric lists
// only: string values are never written to the log) and an empty line.
template <class L, bool kWithItems>
int32_t Print(const char* export_name, const int32_t* handle, const char* title) {
  return OnList<L>(export_name, handle, 0, [&](L& list) {
    TLines lines{"", Format("%s%d", title, list.Count())};
    if constexpr (kWithItems) list.PrintItems(lines);
    lines.emplace_back();
    LogLines(&lines);
    return 1;
  });
}

// The value at index, or the kind's failure value when index is out of range.
template <class L, class R>
R ItemByIndex(const char* export_name, const int32_t* handle, const int32_t* index, R failure) {
  return OnList<L>(export_name, handle, failure, [&](L& list) {
    const int i = IntArg(index);
    return list.ValidIndex(i) ? R(list.Item(i)) : failure;
  });
}

// Copies a found string over the caller's buffer. The buffer's size is not
// passed, so the declarations make it kMaxValueLength bytes plus the
// terminator and no more than that is ever written.
void CopyIntoCallerBuffer(std::string_view text, char* buffer) {
  const size_t length = std::min(text.size(), static_cast<size_t>(kMaxValueLength));
  if (length > 0) std::memmove(buffer, text.data(), length);
  buffer[length] = '\0';
}

}  // namespace

// ---- String lists -------------------------------------------------------------

ORLIX_EXPORT int32_t ibListStrCreate(const char* name) { return Create<TListStr>("ibListStrCreate", name); }

ORLIX_EXPORT int32_t ibListStrFree(const int32_t* handle) { return Free<TListStr>("ibListStrFree", handle); }

ORLIX_EXPORT int32_t ibListStrPrint(const int32_t* handle) {
  return Print<TListStr, false>("ibListStrPrint", handle, "ListStr: count=");
}

ORLIX_EXPORT int32_t ibListStrByName(const char* name) { return ByName<TListStr>("ibListStrByName", name); }

ORLIX_EXPORT int32_t ibListStrClear(const int32_t* handle) { return Clear<TListStr>("ibListStrClear", handle); }

ORLIX_EXPORT int32_t ibListStrAdd(const int32_t* handle, const char* value) {
  return Add<TListStr>("ibListStrAdd", handle, value);
}

ORLIX_EXPORT int32_t ibListStrDelete(const int32_t* handle, const char* value) {
  return Delete<TListStr>("ibListStrDelete", handle, value);
}

ORLIX_EXPORT int32_t ibListStrCount(const int32_t* handle) { return Count<TListStr>("ibListStrCount", handle); }

ORLIX_EXPORT int32_t ibListStrExists(const int32_t* handle, const char* value) {
  return Exists<TListStr, Search::kSortFirst>("ibListStrExists", handle, value);
}

// 1 when a list string occurs in text: anywhere for pos <= 0, starting at the
// 1-based position pos otherwise.
ORLIX_EXPORT int32_t ibListStrExistsByPos(const int32_t* handle, const char* text, const int32_t* pos) {
  return OnList<TListStr>("ibListStrExistsByPos", handle, 0, [&](TListStr& list) {
    return list.FindContainedIn(TrimmedStrArg(text), IntArg(pos)) >= 0 ? 1 : 0;
  });
}

ORLIX_EXPORT int32_t ibListStrSort(const int32_t* handle, const int32_t* flag) {
  return Sort<TListStr>("ibListStrSort", handle, flag);
}

ORLIX_EXPORT int32_t ibListStrIndex(const int32_t* handle, const char* value) {
  return Position<TListStr, Search::kAsItIs>("ibListStrIndex", handle, value);
}

// The server frees the result, so a buffer is made on every path; the empty
// string stands for "no such item".
ORLIX_EXPORT char* ibListStrGetItemByIndex(const int32_t* handle, const int32_t* index) {
  const std::string_view item =
      ItemByIndex<TListStr>("ibListStrGetItemByIndex", handle, index, std::string_view());
  return NewResultString(item);
}

// Writes the first list string containing sub over sub's own buffer (cut to
// kMaxValueLength bytes), or empties the buffer; returns the buffer.
ORLIX_EXPORT char* ibListStrGetItemBySubStr(const int32_t* handle, char* sub) {
  const std::string_view found =
      OnList<TListStr>("ibListStrGetItemBySubStr", handle, std::string_view(), [&](TListStr& list) {
        const int i = list.FindContaining(TrimmedStrArg(sub));
        return i >= 0 ? std::string_view(list.Item(i)) : std::string_view();
      });
  if (sub) CopyIntoCallerBuffer(found, sub);
  return sub;
}

// ---- Integer lists ------------------------------------------------------------

ORLIX_EXPORT int32_t ibListIntCreate(const char* name) { return Create<TListInt>("ibListIntCreate", name); }

ORLIX_EXPORT int32_t ibListIntFree(const int32_t* handle) { return Free<TListInt>("ibListIntFree", handle); }

ORLIX_EXPORT int32_t ibListIntPrint(const int32_t* handle) {
  return Print<TListInt, true>("ibListIntPrint", handle, "ListInt: count=");
}

ORLIX_EXPORT int32_t ibListIntByName(const char* name) { return ByName<TListInt>("ibListIntByName", name); }

ORLIX_EXPORT int32_t ibListIntClear(const int32_t* handle) { return Clear<TListInt>("ibListIntClear", handle); }

ORLIX_EXPORT int32_t ibListIntAdd(const int32_t* handle, const int32_t* value) {
  return Add<TListInt>("ibListIntAdd", handle, value);
}

ORLIX_EXPORT int32_t ibListIntDelete(const int32_t* handle, const int32_t* value) {
  return Delete<TListInt>("ibListIntDelete", handle, value);
}

ORLIX_EXPORT int32_t ibListIntCount(const int32_t* handle) { return Count<TListInt>("ibListIntCount", handle); }

ORLIX_EXPORT int32_t ibListIntExists(const int32_t* handle, const int32_t* value) {
  return Exists<TListInt, Search::kSortFirst>("ibListIntExists", handle, value);
}

ORLIX_EXPORT int32_t ibListIntIndexOf(const int32_t* handle, const int32_t* value) {
  return Position<TListInt, Search::kSortFirst>("ibListIntIndexOf", handle, value);
}

ORLIX_EXPORT int32_t ibListIntGetItemByIndex(const int32_t* handle, const int32_t* index) {
  return ItemByIndex<TListInt>("ibListIntGetItemByIndex", handle, index, kNoIntItem);
}

// ---- Double lists -------------------------------------------------------------

ORLIX_EXPORT int32_t ibListDoubleCreate(const char* name) { return Create<TListDouble>("ibListDoubleCreate", name); }

ORLIX_EXPORT int32_t ibListDoubleFree(const int32_t* handle) { return Free<TListDouble>("ibListDoubleFree", handle); }

ORLIX_EXPORT int32_t ibListDoublePrint(const int32_t* handle) {
  return Print<TListDouble, true>("ibListDoublePrint", handle, "ListDouble: count=");
}

ORLIX_EXPORT int32_t ibListDoubleByName(const char* name) { return ByName<TListDouble>("ibListDoubleByName", name); }

ORLIX_EXPORT int32_t ibListDoubleClear(const int32_t* handle) {
  return Clear<TListDouble>("ibListDoubleClear", handle);
}

ORLIX_EXPORT int32_t ibListDoubleAdd(const int32_t* handle, const double* value) {
  return Add<TListDouble>("ibListDoubleAdd", handle, value);
}

ORLIX_EXPORT int32_t ibListDoubleDelete(const int32_t* handle, const double* value) {
  return Delete<TListDouble>("ibListDoubleDelete", handle, value);
}

ORLIX_EXPORT int32_t ibListDoubleCount(const int32_t* handle) {
  return Count<TListDouble>("ibListDoubleCount", handle);
}

ORLIX_EXPORT int32_t ibListDoubleExists(const int32_t* handle, const double* value) {
  return Exists<TListDouble, Search::kAsItIs>("ibListDoubleExists", handle, value);
}

ORLIX_EXPORT int32_t ibListDoubleIndexOf(const int32_t* handle, const double* value) {
  return Position<TListDouble, Search::kAsItIs>("ibListDoubleIndexOf", handle, value);
}

ORLIX_EXPORT double ibListDoubleGetItemByIndex(const int32_t* handle, const int32_t* index) {
  return ItemByIndex<TListDouble>("ibListDoubleGetItemByIndex", handle, index, kNoDoubleItem);
}

ORLIX_EXPORT int32_t ibListDoubleSort(const int32_t* handle, const int32_t* flag) {
  return Sort<TListDouble>("ibListDoubleSort", handle, flag);
}
