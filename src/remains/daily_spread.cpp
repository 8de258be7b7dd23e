#include "remains/daily_spread.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <unordered_map>
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

// A row key of a daily table and the fraction of its dates.
struct TableKey {
  int32_t placeindex, pack, rz;
  double frac;
  bool operator==(const TableKey&) const = default;
};
struct TableKeyHash {
  size_t operator()(const TableKey& key) const {
    size_t h = std::hash<double>()(key.frac);
    for (const int32_t part : {key.placeindex, key.pack, key.rz}) h = h * 1000003u ^ std::hash<int32_t>()(part);
    return h;
  }
};
// The days a table key's rows can lie on.
struct Span {
  double first, last;
};

bool SameKey(const TMovement& a, const TMovement& b) {
  return a.placeindex == b.placeindex && a.pack == b.pack && a.rz == b.rz;
}

}  // namespace

// Spreads in two passes: the first turns every key's rows into dated rows,
// grouped by fraction, and adds up the days each group spans, so that an
// oversized spread is refused before any row is made; the second emits.
class DaySpreader final {
 public:
  DaySpreader(double last_date, int max_rows) : last_(last_date), max_rows_(max_rows) {}

  // Reads the keys and their dated rows and counts the rows to be built:
  // the running balances exactly as spread, and for each table an upper
  // bound. Raises before anything is built when the count is too high.
  void Prepare(std::span<const TMovement> merged, std::span<const TDaySpread::TableKeys> tables) {
    std::vector<std::unordered_map<TableKey, Span, TableKeyHash>> spans(tables.size());
    double total = 0.0;
    for (size_t first = 0; first < merged.size();) {
      size_t end = first + 1;
      while (end < merged.size() && SameKey(merged[first], merged[end])) ++end;
      const size_t begin = rows_.size();
      for (size_t i = first; i < end; ++i) AddDatedRow(merged[i]);
      if (rows_.size() > begin) {
        std::sort(rows_.begin() + static_cast<std::ptrdiff_t>(begin), rows_.end(),
                  [](const DatedRow& a, const DatedRow& b) {
                    return a.frac != b.frac ? a.frac < b.frac : a.start < b.start;
                  });
        keys_.push_back({&merged[first], begin, rows_.size()});
        for (size_t group = begin, next; group < rows_.size(); group = next) {
          next = GroupEnd(group, rows_.size());
          double last_end = rows_[group].end;
          for (size_t i = group; i < next; ++i) last_end = std::max(last_end, rows_[i].end);
          total += last_end - rows_[group].start + 1;
          for (size_t t = 0; t < tables.size(); ++t) {
            const TMovement& key = merged[first];
            const TableKey table_key{key.placeindex, tables[t].use_pack ? key.pack : TOstatokList::kDefaultPack,
                                     tables[t].use_rz ? key.rz : TOstatokList::kDefaultRz, rows_[group].frac};
            auto [span, fresh] = spans[t].try_emplace(table_key, Span{rows_[group].start, last_end});
            if (!fresh) {
              span->second.first = std::min(span->second.first, rows_[group].start);
              span->second.last = std::max(span->second.last, last_end);
            }
          }
        }
        if (total > max_rows_) TooManyRows();
      }
      first = end;
    }
    // A table key's rows lie on the days from its earliest movement to the
    // last day any of its keys counts on.
    for (const auto& table : spans) {
      for (const auto& [key, span] : table) total += span.last - span.first + 1;
      if (total > max_rows_) TooManyRows();
    }
  }

  void Emit(TOstatokList& out) {
    out.Clear();
    for (const KeyRows& key : keys_) {
      const int segment = out.Count();
      for (size_t group = key.begin, next; group < key.end; group = next) {
        next = GroupEnd(group, key.end);
        SpreadGroup(group, next, *key.row, out);
      }
      // Rows of different fractions meet only where rounding makes their
      // dates equal; fold those before deciding which balances are empty.
      if (rows_[key.begin].frac != rows_[key.end - 1].frac) out.SortFrom(segment);
      out.FoldFrom(segment);
    }
  }

 private:
  // The rows of one key: its first merged row (for the key) and its range
  // of rows_, ordered by fraction, then start.
  struct KeyRows {
    const TMovement* row;
    size_t begin, end;
  };

  void AddDatedRow(const TMovement& row) {
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
  void SpreadGroup(size_t begin, size_t end, const TMovement& key, TOstatokList& out) {
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
      out.Append(date, key.pack, key.rz, key.placeindex, quantity, resquantity);
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
  std::vector<DatedRow> rows_;
  std::vector<KeyRows> keys_;
  std::vector<const DatedRow*> active_;
};

TDaySpread::TDaySpread(std::span<const TMovement> merged, double last_date, std::span<const TableKeys> tables,
                       int max_rows) {
  if (!std::isfinite(last_date) || std::fabs(last_date) > kMaxSpreadDate)
    throw EOrlixError(Format(remains_messages::kLastDateOutOfRange, FormatDouble(last_date).c_str()));
  spreader_ = std::make_unique<DaySpreader>(last_date, max_rows);
  spreader_->Prepare(merged, tables);
}

TDaySpread::~TDaySpread() = default;

void TDaySpread::Emit(TOstatokList& out) {
  spreader_->Emit(out);
  // Keys arrive in order and each key's rows are ordered and unique.
  out.CheckSorted();
}

}  // namespace orlix
