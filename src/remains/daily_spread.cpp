#include "remains/daily_spread.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "frame/failure.h"
#include "frame/format.h"
#include "remains/remains_messages.h"

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

bool SameKey(const TOstatokItem& a, const TOstatokItem& b) {
  return a.placeindex == b.placeindex && a.pack == b.pack && a.rz == b.rz;
}

// Spreads in two passes: the first turns every key's rows into dated rows,
// grouped by fraction, and adds up the days each group spans, so that an
// oversized spread is refused before any row is made; the second emits.
class DaySpreader final {
 public:
  DaySpreader(double last_date, int max_rows, TOstatokList& out)
      : last_(last_date), max_rows_(max_rows), out_(out) {}

  void Prepare(const TOstatokList& merged) {
    double total = 0.0;
    for (int first = 0; first < merged.Count();) {
      int end = first + 1;
      while (end < merged.Count() && SameKey(merged.At(first), merged.At(end)))
        ++end;
      const size_t begin = rows_.size();
      for (int i = first; i < end; ++i) AddDatedRow(merged.At(i));
      if (rows_.size() > begin) {
        std::sort(rows_.begin() + static_cast<std::ptrdiff_t>(begin), rows_.end(),
                  [](const DatedRow& a, const DatedRow& b) {
                    return a.frac != b.frac ? a.frac < b.frac : a.start < b.start;
                  });
        keys_.push_back({&merged.At(first), begin, rows_.size()});
        for (size_t group = begin, next; group < rows_.size(); group = next) {
          next = GroupEnd(group, rows_.size());
          double last_end = rows_[group].end;
          for (size_t i = group; i < next; ++i) last_end = std::max(last_end, rows_[i].end);
          total += last_end - rows_[group].start + 1;
        }
        if (total > max_rows_) TooManyRows();
      }
      first = end;
    }
  }

  void Emit() {
    for (const KeyRows& key : keys_) {
      const int segment = out_.Count();
      for (size_t group = key.begin, next; group < key.end; group = next) {
        next = GroupEnd(group, key.end);
        SpreadGroup(group, next, *key.row);
      }
      // Rows of different fractions meet only where rounding makes their
      // dates equal; fold those before deciding which balances are empty.
      if (rows_[key.begin].frac != rows_[key.end - 1].frac) out_.SortFrom(segment);
      out_.FoldFrom(segment);
    }
  }

 private:
  // The rows of one key: its first merged row (for the key) and its range
  // of rows_, ordered by fraction, then start.
  struct KeyRows {
    const TOstatokItem* row;
    size_t begin, end;
  };

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

  // End of the group of rows sharing the fraction of rows_[group].
  size_t GroupEnd(size_t group, size_t end) const {
    size_t next = group + 1;
    while (next < end && rows_[next].frac == rows_[group].frac) ++next;
    return next;
  }

  // Rows [begin, end) of rows_ share one fraction and are ordered by start.
  // Emits one balance per whole day from the first start while any row
  // counts, stopping at the last date.
  void SpreadGroup(size_t begin, size_t end, const TOstatokItem& key) {
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
  std::vector<KeyRows> keys_;
  std::vector<const DatedRow*> active_;
};

}  // namespace

void SpreadDays(const TOstatokList& merged, double last_date, int max_rows, TOstatokList& out) {
  if (!std::isfinite(last_date) || std::fabs(last_date) > kMaxSpreadDate)
    throw EOrlixError(Format(remains_messages::kLastDateOutOfRange, FormatDouble(last_date).c_str()));
  DaySpreader spreader(last_date, max_rows, out);
  spreader.Prepare(merged);
  out.Clear();
  spreader.Emit();
  // Keys arrive in order and each key's rows are ordered and unique.
  out.CheckSorted();
}

}  // namespace orlix
