#include "lists/base_list.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "lists/quick_sort.h"

namespace orlix {
namespace {

// "Невозможно вставить элемент в неотсортированный список": cannot insert an
// element into an unsorted list.
constexpr const char* kInsertIntoUnsorted =
    "\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xE2\xF1\xF2\xE0\xE2\xE8\xF2\xFC \xFD\xEB\xE5\xEC\xE5\xED\xF2 "
    "\xE2 \xED\xE5\xEE\xF2\xF1\xEE\xF0\xF2\xE8\xF0\xEE\xE2\xE0\xED\xED\xFB\xE9 \xF1\xEF\xE8\xF1\xEE\xEA";
}  // namespace

// ---- TBaseItem --------------------------------------------------------------

void TBaseItem::Print(TLines& lines) const { lines.push_back(Format("ID=%d  Deleted=%d", ID, Deleted ? 1 : 0)); }

void TBaseItem::Assign(const TBaseItem& /*source*/) { throw EOrlixError("Assign don't exist in the TBaseItem"); }

void TBaseItem::Merge(const TBaseItem& /*other*/) {}

int TBaseItem::Compare(const TBaseItem& /*other*/) const { return 0; }

bool TBaseItem::IsEmpty() const { return Deleted || std::fabs(Quantity) <= kZeroTolerance; }

// ---- TBaseList ----------------------------------------------------------------

TBaseList::TBaseList(int size, int capacity, TRecordKind kind)
    : kind_(kind),
      stride_(kind.size == 0 ? 0 : (kind.size + kind.alignment - 1) / kind.alignment * kind.alignment),
      capacity_(capacity < 1 ? 1 : capacity) {
  try {
    SetSize(size);
  } catch (...) {
    // No destructor runs for a list whose construction fails: free the
    // records made so far here.
    DeleteRecords();
    throw;
  }
}

TBaseList::~TBaseList() { DeleteRecords(); }

void TBaseList::DeleteRecords() noexcept {
  for (TBaseItem* item : items_) ReleaseRecord(item);
  items_.clear();
  size_ = count_ = 0;
  free_slots_.clear();
  blocks_.clear();
}

void TBaseList::ReleaseRecord(TBaseItem* record) noexcept {
  if (!record) return;
  if (record->in_block_) record->~TBaseItem();
  else delete record;
}

void TBaseList::ReserveSlots(size_t count) {
  if (free_slots_.size() >= count) return;
  const size_t more = count - free_slots_.size();
  if (free_slots_.capacity() < count) free_slots_.reserve(std::max(count, free_slots_.capacity() * 2));
  std::unique_ptr<std::byte[]> memory(new std::byte[more * stride_]);
  std::byte* block = memory.get();
  blocks_.push_back(std::move(memory));  // a failure here frees the block
  // Last place first, so records are built in address order.
  for (size_t i = more; i-- > 0;) free_slots_.push_back(block + i * stride_);
}

int TBaseList::CompareItems(const TBaseItem& a, const TBaseItem& b) const { return a.Compare(b); }

void TBaseList::AddCopies(const TBaseList& other) {
  for (int i = 0; i < other.count_; ++i) Item(NewIndex()).Assign(other.Item(i));
}

void TBaseList::Clear() {
  count_ = 0;
  last_id_ = -1;
}

void TBaseList::Pack() { SetSize(count_); }

void TBaseList::MergeDuplicates() {
  SetSortMode(-1);
  Sort();
  FoldFrom(0);
}

void TBaseList::RemoveEmpty() {
  int kept = 0;
  for (int i = 0; i < count_; ++i) {
    if (items_[i]->IsEmpty()) continue;
    if (i != kept) std::swap(items_[i], items_[kept]);
    ++kept;
  }
  count_ = kept;
}

void TBaseList::First() { cursor_ = 0; }
void TBaseList::Last() { cursor_ = count_ - 1; }
void TBaseList::Next() {
  if (!Eof()) ++cursor_;
}
void TBaseList::Prior() {
  if (!Bof()) --cursor_;
}
void TBaseList::FirstNew() {
  First();
  while (!Eof() && !Item(cursor_).New) Next();
}
void TBaseList::NextNew() {
  Next();
  while (!Eof() && !Item(cursor_).New) Next();
}
bool TBaseList::Bof() const { return cursor_ < 0 || count_ == 0; }
bool TBaseList::Eof() const { return cursor_ >= count_; }

void TBaseList::SetNew() {
  for (int i = 0; i < count_; ++i) items_[i]->New = true;
}

int32_t TBaseList::GetFieldInteger(const std::string& /*field_name*/) const { return 0; }

double TBaseList::GetFieldDouble(const std::string& /*field_name*/) const {
  return OnRecord() ? Item(cursor_).Quantity : 0.0;
}

void TBaseList::Print(TLines& lines) const {
  lines.push_back(Format("Count=%d  Size=%d  Capacity=%d", count_, size_, capacity_));
  for (int i = 0; i < count_; ++i) items_[i]->Print(lines);
}

void TBaseList::SetSize(int new_size) {
  if (new_size < 0) throw EOrlixError("Value < 0 in the TBaseList.SetSize");
  if (new_size == size_) return;
  if (new_size < size_) {
    // Room to keep the freed block places first: the only step that may fail.
    free_slots_.reserve(free_slots_.size() + static_cast<size_t>(size_ - new_size));
    for (int i = new_size; i < size_; ++i) {
      TBaseItem* record = items_[i];
      void* place = record->in_block_ ? dynamic_cast<void*>(record) : nullptr;
      ReleaseRecord(record);
      if (place) free_slots_.push_back(place);
    }
    items_.resize(static_cast<size_t>(new_size));
    if (count_ > new_size) count_ = new_size;
    size_ = new_size;
    return;
  }
  // Room first (the only step that may fail before a record exists), then
  // one record at a time, so a failed construction leaves Size matching
  // the records the pool really holds.
  // The pointer array grows geometrically (the pool itself still grows by
  // Capacity records), so appending n records copies pointers O(n) times.
  if (items_.capacity() < static_cast<size_t>(new_size))
    items_.reserve(std::max(static_cast<size_t>(new_size), items_.capacity() * 2));
  if (stride_ == 0) {
    while (size_ < new_size) {
      items_.push_back(kind_.make_at(nullptr, *this));
      ++size_;
    }
    return;
  }
  ReserveSlots(static_cast<size_t>(new_size - size_));
  while (size_ < new_size) {
    TBaseItem* record = kind_.make_at(free_slots_.back(), *this);  // on failure the place stays free
    free_slots_.pop_back();
    record->in_block_ = true;
    items_.push_back(record);
    ++size_;
  }
}

int TBaseList::NewIndex() {
  if (count_ >= size_) {
    if (size_ > INT32_MAX - capacity_) throw EOrlixError("Count > Size in the TBaseList.NewIndex");
    // Grow first, so a failed growth leaves Count as it was.
    SetSize(size_ + capacity_);
  }
  return count_++;
}

int TBaseList::Add(TBaseItem*& work) {
  const int index = NewIndex();
  std::swap(items_[index], work);
  TBaseItem& item = *items_[index];
  item.ID = ++last_id_;
  item.Deleted = false;
  sorted_ = false;
  return index;
}

int TBaseList::AddSorted(TBaseItem*& work) {
  if (!sorted_) throw EOrlixError(kInsertIntoUnsorted);
  const int n = Add(work);
  sorted_ = true;
  if (n == 0) return 0;
  int lo = 0, hi = n - 1, mid = n - 1;
  int r = 0;
  while (lo < hi) {
    r = CompareItems(*items_[n], *items_[mid]);
    if (r == 0) break;
    if (r < 0) hi = mid;
    else lo = mid + 1;
    mid = (lo + hi) / 2;
  }
  r = CompareItems(*items_[n], *items_[mid]);
  if (r > 0) return n;
  TBaseItem* fresh = items_[n];
  for (int i = n; i > mid; --i) items_[i] = items_[i - 1];
  items_[mid] = fresh;
  return mid;
}

int TBaseList::Find(const TBaseItem& key) const {
  if (count_ == 0) return -1;
  if (cursor_ >= 0 && cursor_ < count_ && CompareItems(key, *items_[cursor_]) == 0) return cursor_;
  if (!sorted_) {
    for (int i = 0; i < count_; ++i)
      if (CompareItems(key, *items_[i]) == 0) return i;
    return -1;
  }
  int lo = 0, hi = count_ - 1, mid = count_ - 1;
  while (lo < hi) {
    const int r = CompareItems(key, *items_[mid]);
    if (r == 0) return mid;
    if (r > 0) lo = mid + 1;
    else hi = mid;
    mid = (lo + hi) / 2;
  }
  return CompareItems(key, *items_[mid]) == 0 ? mid : -1;
}

int TBaseList::FindMerge(TBaseItem*& work) {
  const int index = Find(*work);
  if (index >= 0) {
    items_[index]->Merge(*work);
    return index;
  }
  AddSorted(work);
  return -1;
}

void TBaseList::Delete(int index) {
  if (index < 0 || index >= count_) throw EOrlixError("(Index<0) or (Index>=Count) in the TBaseList.Delete");
  TBaseItem* removed = items_[index];
  for (int i = index; i < count_ - 1; ++i) items_[i] = items_[i + 1];
  --count_;
  items_[count_] = removed;
}

void TBaseList::TrimEnd(int from_index) {
  if (from_index < 0 || from_index >= count_)
    throw EOrlixError("(FromIndex<0) or (FromIndex>=Count) in the TBaseList.TrimEnd");
  count_ = from_index;
}

void TBaseList::SetOrderedCount(int count) {
  if (count < 0 || count > count_) throw EOrlixError(Format("List index (%d) out of bounds", count));
  count_ = count;
  sorted_ = true;
}

void TBaseList::SetSortMode(int mode) {
  if (mode != sort_mode_) {
    sorted_ = false;
    sort_mode_ = mode;
  }
}

void TBaseList::Sort() {
  if (sorted_) return;
  // Marked only once sorted: a sort that fails (out of memory for its keys)
  // leaves the list unsorted and saying so.
  if (count_ > 1) SortRange(0, count_ - 1);
  sorted_ = true;
}

void TBaseList::SortFrom(int begin) {
  if (begin < 0) begin = 0;
  if (count_ - begin > 1) SortRange(begin, count_ - 1);
}

void TBaseList::FoldFrom(int begin) {
  if (begin < 0) begin = 0;
  if (count_ - begin > 1) {
    TBaseItem* kept = nullptr;
    for (int i = begin; i < count_; ++i) {
      TBaseItem& item = *items_[i];
      if (item.Deleted) continue;
      if (kept && kept->Compare(item) == 0) {
        kept->Merge(item);
        item.Deleted = true;
      } else {
        kept = &item;
      }
    }
  }
  int write = begin;
  for (int i = begin; i < count_; ++i) {
    if (items_[i]->IsEmpty()) continue;
    if (i != write) std::swap(items_[i], items_[write]);
    ++write;
  }
  count_ = write;
}

bool TBaseList::CheckSorted() {
  for (int i = 1; i < count_; ++i)
    if (CompareItems(*items_[i - 1], *items_[i]) > 0) return false;
  sorted_ = true;
  return true;
}

void TBaseList::SortRange(int lo, int hi) {
  QuickSort(items_.data(), lo, hi, [this](const TBaseItem* a, const TBaseItem* b) { return CompareItems(*a, *b); });
}

}  // namespace orlix
