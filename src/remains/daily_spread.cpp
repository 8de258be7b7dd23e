#include "remains/daily_spread.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "frame/failure.h"
#include "frame/format.h"
#include "remains/remains_messages.h"
#include "remains/row_order.h"

namespace orlix {
namespace {

// One dated row of a key, seen as the days it counts on: the plain method
// copies a row dated o (o <= last date) onto o + k for k = 0 .. d, where
// d = trunc(last - o). With o = start + frac, start = trunc(o) (so that frac
// is exact; o - floor(o) rounds for small negative o), o + k is the double
// (start + k) + frac: rows of a key that share frac land on the same dates
// exactly when their whole days meet.
struct DatedRow {
  double frac;   // o - trunc(o), exact, in (-1, 1)
  double start;  // trunc(o)
  double end;    // start + d: the last whole day the row counts on
  double quantity;
  double resquantity;
};

class DaySpreader final {
 public:
  DaySpreader(double last_date, int max_rows, TOstatokList& out)
      : last_(last_date), max_rows_(max_rows), out_(out) {}

  void SpreadKey(const TOstatokList& merged, int first, int end) {
    const auto& key = merged.ItemAs<TOstatokItem>(first);
    rows_.clear();
    for (int i = first; i < end; ++i) AddDatedRow(merged.ItemAs<TOstatokItem>(i));
    if (rows_.empty()) return;
    std::sort(rows_.begin(), rows_.end(), [](const DatedRow& a, const DatedRow& b) {
      return a.frac != b.frac ? a.frac < b.frac : a.start < b.start;
    });
    const int segment = out_.Count;
    size_t group = 0;
    for (size_t i = 1; i <= rows_.size(); ++i) {
      if (i < rows_.size() && rows_[i].frac == rows_[group].frac) continue;
      SpreadGroup(group, i, key);
      group = i;
    }
    // Rows of different fractions meet only where rounding makes their dates
    // equal; fold those before deciding which balances are empty.
    if (rows_.front().frac != rows_.back().frac) SortRowsFrom<TOstatokItem>(out_, segment);
    FoldRowsFrom<TOstatokItem>(out_, segment);
  }

 private:
  void AddDatedRow(const TOstatokItem& row) {
    const double date = row.ostdate;
    // Rows after the last date (and NaN dates) are in no daily row; neither
    // do they reach any day up to it.
    if (std::isnan(date) || date > last_) return;
    const double days = date < last_ ? std::trunc(last_ - date) : 0.0;
    if (!(days < max_rows_)) TooManyRows();
    const double start = std::trunc(date);
    rows_.push_back({date - start, start, start + days, row.Quantity, row.resquantity});
  }

  // Rows [begin, end) of rows_ share one fraction and are ordered by start.
  // Emits one balance per whole day from the first start while any row
  // counts, stopping at the last date.
  void SpreadGroup(size_t begin, size_t end, const TOstatokItem& key) {
    double last_end = rows_[begin].end;
    for (size_t i = begin; i < end; ++i) last_end = std::max(last_end, rows_[i].end);
    if (static_cast<double>(out_.Count) + (last_end - rows_[begin].start + 1) > max_rows_) TooManyRows();

    const double frac = rows_[begin].frac;
    active_.clear();
    double quantity = 0.0, resquantity = 0.0;
    double next_retire = std::numeric_limits<double>::infinity();
    size_t next = begin;
    double day = rows_[begin].start;
    for (;;) {
      if (active_.empty()) {
        if (next == end) break;
        day = rows_[next].start;
      }
      for (; next < end && rows_[next].start <= day; ++next) {
        active_.push_back(&rows_[next]);
        quantity += rows_[next].quantity;
        resquantity += rows_[next].resquantity;
        next_retire = std::min(next_retire, rows_[next].end);
      }
      const double date = day + frac;
      if (date > last_) break;  // later days only lie further out
      out_.Append(date, key.pack, key.rz, key.placeindex, quantity, resquantity);
      if (day >= next_retire) {
        // Rows whose span ends today stop counting. The sum is rebuilt from
        // the rows still counting rather than by subtraction, which would
        // leave rounding dust. Spans of one fraction end on at most two
        // distinct days, so this runs rarely.
        std::erase_if(active_, [day](const DatedRow* row) { return row->end <= day; });
        quantity = resquantity = 0.0;
        next_retire = std::numeric_limits<double>::infinity();
        for (const DatedRow* row : active_) {
          quantity += row->quantity;
          resquantity += row->resquantity;
          next_retire = std::min(next_retire, row->end);
        }
      }
      day += 1.0;
    }
  }

  [[noreturn]] void TooManyRows() const {
    throw EOrlixError(Format(remains_messages::kTooManyDailyRows, FormatDate(last_).c_str(), max_rows_));
  }

  const double last_;
  const int max_rows_;
  TOstatokList& out_;
  std::vector<DatedRow> rows_;
  std::vector<const DatedRow*> active_;
};

bool SameKey(const TOstatokItem& a, const TOstatokItem& b) {
  return a.placeindex == b.placeindex && a.pack == b.pack && a.rz == b.rz;
}

}  // namespace

void SpreadDays(const TOstatokList& merged, double last_date, int max_rows, TOstatokList& out) {
  if (!std::isfinite(last_date) || std::fabs(last_date) > kMaxSpreadDate)
    throw EOrlixError(Format(remains_messages::kLastDateOutOfRange, FormatDouble(last_date).c_str()));
  out.Clear();
  DaySpreader spreader(last_date, max_rows, out);
  for (int first = 0; first < merged.Count;) {
    int end = first + 1;
    while (end < merged.Count && SameKey(merged.ItemAs<TOstatokItem>(first), merged.ItemAs<TOstatokItem>(end))) ++end;
    spreader.SpreadKey(merged, first, end);
    first = end;
  }
  // Keys arrive in order and each key's rows are ordered and unique.
  out.Sorted = true;
}

}  // namespace orlix
