#include "lists/base_list.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orlix {
namespace {
TBaseItem* MakeBaseItem(TBaseList* owner) { return new TBaseItem(owner); }

// "Невозможно вставить элемент в неотсортированный список": cannot insert an
// element into an unsorted list.
constexpr const char* kInsertIntoUnsorted =
    "\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xE2\xF1\xF2\xE0\xE2\xE8\xF2\xFC \xFD\xEB\xE5\xEC\xE5\xED\xF2 "
    "\xE2 \xED\xE5\xEE\xF2\xF1\xEE\xF0\xF2\xE8\xF0\xEE\xE2\xE0\xED\xED\xFB\xE9 \xF1\xEF\xE8\xF1\xEE\xEA";
}  // namespace

const TItemClass TBaseItem::Class{"TBaseItem", nullptr, &MakeBaseItem};

bool TItemClass::InheritsFrom(const TItemClass& other) const {
  for (const TItemClass* c = this; c; c = c->parent)
    if (c == &other) return true;
  return false;
}

// ---- TBaseItem --------------------------------------------------------------

TBaseItem::TBaseItem(TBaseList* /*owner*/) {}

void TBaseItem::Print(TLines& lines) const { lines.push_back(Format("ID=%d  Deleted=%d", ID, Deleted ? 1 : 0)); }

void TBaseItem::Assign(const TBaseItem& /*source*/) { throw EOrlixError("Assign don't exist in the TBaseItem"); }

void TBaseItem::Merge(const TBaseItem& /*other*/) {}

int TBaseItem::Compare(const TBaseItem& /*other*/) const { return 0; }

bool TBaseItem::IsEmpty() const { return Deleted || std::fabs(Quantity) <= kZeroTolerance; }

// ---- TBaseList ----------------------------------------------------------------

TBaseList::TBaseList(int size, int capacity, const TItemClass& item_class)
    : Capacity(capacity < 1 ? 1 : capacity), ItemClass(&item_class) {
  SetSize(size);
}

TBaseList::~TBaseList() {
  for (TBaseItem* item : Items) delete item;
}

const TItemClass& TBaseList::CheckItemClass(const TItemClass& item_class, const TItemClass& record_class,
                                            const char* list_name) {
  if (!item_class.InheritsFrom(record_class))
    throw EOrlixError(std::string("ic is not ") + record_class.name + " in the " + list_name + ".Create");
  return item_class;
}

int TBaseList::CompareItems(const TBaseItem& a, const TBaseItem& b) const { return a.Compare(b); }

void TBaseList::AddCopies(const TBaseList& other) {
  for (int i = 0; i < other.Count; ++i) Item(NewIndex()).Assign(other.Item(i));
}

void TBaseList::Clear() {
  Count = 0;
  LastID = -1;
}

void TBaseList::Pack() { SetSize(Count); }

void TBaseList::MergeDuplicates() {
  SetSortMode(-1);
  Sort();
  if (Count > 1) {
    TBaseItem* kept = nullptr;
    for (int i = 0; i < Count; ++i) {
      TBaseItem& item = Item(i);
      if (item.Deleted) continue;
      if (kept && kept->Compare(item) == 0) {
        kept->Merge(item);
        item.Deleted = true;
      } else {
        kept = &item;
      }
    }
  }
  RemoveEmpty();
}

void TBaseList::RemoveEmpty() {
  int kept = 0;
  for (int i = 0; i < Count; ++i) {
    if (Items[i]->IsEmpty()) continue;
    if (i != kept) std::swap(Items[i], Items[kept]);
    ++kept;
  }
  Count = kept;
}

void TBaseList::First() { Cursor = 0; }
void TBaseList::Last() { Cursor = Count - 1; }
void TBaseList::Next() {
  if (!Eof()) ++Cursor;
}
void TBaseList::Prior() {
  if (!Bof()) --Cursor;
}
void TBaseList::FirstNew() {
  First();
  while (!Eof() && !Item(Cursor).New) Next();
}
void TBaseList::NextNew() {
  Next();
  while (!Eof() && !Item(Cursor).New) Next();
}
bool TBaseList::Bof() const { return Cursor < 0 || Count == 0; }
bool TBaseList::Eof() const { return Cursor >= Count; }

void TBaseList::SetNew() {
  for (int i = 0; i < Count; ++i) Items[i]->New = true;
}

int32_t TBaseList::GetFieldInteger(const std::string& /*field_name*/) const { return 0; }

double TBaseList::GetFieldDouble(const std::string& /*field_name*/) const {
  return OnRecord() ? Item(Cursor).Quantity : 0.0;
}

void TBaseList::Print(TLines& lines) const {
  lines.push_back(Format("Count=%d  Size=%d  Capacity=%d", Count, Size, Capacity));
  for (int i = 0; i < Count; ++i) Items[i]->Print(lines);
}

void TBaseList::SetSize(int new_size) {
  if (new_size < 0) throw EOrlixError("Value < 0 in the TBaseList.SetSize");
  if (new_size == Size) return;
  if (new_size < Size) {
    for (int i = new_size; i < Size; ++i) delete Items[i];
    Items.resize(static_cast<size_t>(new_size));
    if (Count > new_size) Count = new_size;
  } else {
    // Room first (the only step that may fail before a record exists), then
    // one record at a time, so a failed construction leaves Size matching
    // the records the pool really holds.
    // The pointer array grows geometrically (the pool itself still grows by
    // Capacity records), so appending n records copies pointers O(n) times.
    if (Items.capacity() < static_cast<size_t>(new_size))
      Items.reserve(std::max(static_cast<size_t>(new_size), Items.capacity() * 2));
    while (Size < new_size) {
      Items.push_back(ItemClass->make(this));
      ++Size;
    }
    return;
  }
  Size = new_size;
}

int TBaseList::NewIndex() {
  if (Count >= Size) {
    if (Size > INT32_MAX - Capacity) throw EOrlixError("Count > Size in the TBaseList.NewIndex");
    // Grow first, so a failed growth leaves Count as it was.
    SetSize(Size + Capacity);
  }
  return Count++;
}

int TBaseList::Add(TBaseItem*& work) {
  const int index = NewIndex();
  std::swap(Items[index], work);
  TBaseItem& item = *Items[index];
  item.ID = ++LastID;
  item.Deleted = false;
  Sorted = false;
  return index;
}

int TBaseList::AddSorted(TBaseItem*& work) {
  if (!Sorted) throw EOrlixError(kInsertIntoUnsorted);
  const int n = Add(work);
  Sorted = true;
  if (n == 0) return 0;
  int lo = 0, hi = n - 1, mid = n - 1;
  int r = 0;
  while (lo < hi) {
    r = CompareItems(*Items[n], *Items[mid]);
    if (r == 0) break;
    if (r < 0) hi = mid;
    else lo = mid + 1;
    mid = (lo + hi) / 2;
  }
  r = CompareItems(*Items[n], *Items[mid]);
  if (r > 0) return n;
  TBaseItem* fresh = Items[n];
  for (int i = n; i > mid; --i) Items[i] = Items[i - 1];
  Items[mid] = fresh;
  return mid;
}

int TBaseList::Find(const TBaseItem& key) const {
  if (Count == 0) return -1;
  if (Cursor >= 0 && Cursor < Count && CompareItems(key, *Items[Cursor]) == 0) return Cursor;
  if (!Sorted) {
    for (int i = 0; i < Count; ++i)
      if (CompareItems(key, *Items[i]) == 0) return i;
    return -1;
  }
  int lo = 0, hi = Count - 1, mid = Count - 1;
  while (lo < hi) {
    const int r = CompareItems(key, *Items[mid]);
    if (r == 0) return mid;
    if (r > 0) lo = mid + 1;
    else hi = mid;
    mid = (lo + hi) / 2;
  }
  return CompareItems(key, *Items[mid]) == 0 ? mid : -1;
}

int TBaseList::FindMerge(TBaseItem*& work) {
  const int index = Find(*work);
  if (index >= 0) {
    Items[index]->Merge(*work);
    return index;
  }
  AddSorted(work);
  return -1;
}

void TBaseList::Delete(int index) {
  if (index < 0 || index >= Count) throw EOrlixError("(Index<0) or (Index>=Count) in the TBaseList.Delete");
  TBaseItem* removed = Items[index];
  for (int i = index; i < Count - 1; ++i) Items[i] = Items[i + 1];
  --Count;
  Items[Count] = removed;
}

void TBaseList::TrimEnd(int from_index) {
  if (from_index < 0 || from_index >= Count)
    throw EOrlixError("(FromIndex<0) or (FromIndex>=Count) in the TBaseList.TrimEnd");
  Count = from_index;
}

void TBaseList::SetSortMode(int mode) {
  if (mode != SortMode) {
    Sorted = false;
    SortMode = mode;
  }
}

void TBaseList::Sort() {
  if (Sorted) return;
  Sorted = true;
  if (Count > 1) QuickSort(0, Count - 1);
}

// Hoare partition around the record at the middle position, taken once.
void TBaseList::QuickSort(int lo, int hi) {
  // Recurse into the smaller part and loop on the larger, so the stack stays
  // logarithmic even on adversarial orders.
  while (lo < hi) {
    const TBaseItem* pivot = Items[lo + (hi - lo) / 2];
    int i = lo, j = hi;
    do {
      while (CompareItems(*Items[i], *pivot) < 0) ++i;
      while (CompareItems(*Items[j], *pivot) > 0) --j;
      if (i <= j) {
        std::swap(Items[i], Items[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (j > lo) QuickSort(lo, j);
      lo = i;
    } else {
      if (i < hi) QuickSort(i, hi);
      hi = j;
    }
  }
}

}  // namespace orlix
