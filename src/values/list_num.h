// TListInt and TListDouble: per-thread lists of signed 32-bit integers and of
// doubles reached by handle, the numeric counterparts of TListStr.
//
// Doubles compare exactly: a search finds only a value == the key, so NaN is
// found by no search. For sorting, NaN goes after every number, which keeps
// the order strict and the numbers of a sorted list reachable by bisection.
#ifndef ORLIX_VALUES_LIST_NUM_H_
#define ORLIX_VALUES_LIST_NUM_H_

#include <cmath>
#include <cstdint>
#include <string>

#include "frame/format.h"
#include "values/value_list.h"

namespace orlix {

struct IntOrder {
  using Value = int32_t;
  using Key = int32_t;
  static constexpr const char* kCreateLine = "TListInt.Create";
  static constexpr const char* kDestroyLine = "TListInt.Destroy";
  static bool Less(int32_t a, int32_t b) { return a < b; }
  static bool Equal(int32_t a, int32_t b) { return a == b; }
  static std::string Format(int32_t value) { return orlix::Format("%d", value); }
};

struct DoubleOrder {
  using Value = double;
  using Key = double;
  static constexpr const char* kCreateLine = "TListDouble.Create";
  static constexpr const char* kDestroyLine = "TListDouble.Destroy";
  static bool Less(double a, double b) { return !std::isnan(a) && (std::isnan(b) || a < b); }
  static bool Equal(double a, double b) { return a == b; }
  // Up to 15 significant digits, "." as the separator.
  static std::string Format(double value) { return FormatDouble(value); }
};

class TListInt final : public TValueList<IntOrder> {};

class TListDouble final : public TValueList<DoubleOrder> {};

}  // namespace orlix

#endif  // ORLIX_VALUES_LIST_NUM_H_
