// TRowList: what the remains row lists (TOstatokList, TOstStoreList) share
// on top of the base list: the owned work item that appends fill and key
// lookups use, the check of the item class, and merging by the row's key.
#ifndef ORLIX_REMAINS_ROW_LIST_H_
#define ORLIX_REMAINS_ROW_LIST_H_

#include "lists/base_list.h"
#include "remains/row_order.h"

namespace orlix {

// Row: the record class, a TBaseItem descendant with a static Class and
// the key operations row_order.h asks for. (Not named Item: that is a
// member function of the base list.)
template <class Row>
class TRowList : public TBaseList {
 public:
  // Raises "ic is not <Row> in the <list_name>.Create" for an item class
  // that is not Row or a descendant.
  TRowList(int size, int capacity, const TItemClass& item_class, const char* list_name)
      : TBaseList(size, capacity, CheckItemClass(item_class, Row::Class, list_name)), WorkItem(new Row(this)) {}
  ~TRowList() override { delete WorkItem; }

  // Sort by key, fold equal keys, drop empty rows.
  void MergeDuplicates() override {
    if (ItemClass == &Row::Class) MergeRowsByKey<Row>(*this);
    else TBaseList::MergeDuplicates();
  }

  // The row under the cursor; only valid when OnRecord().
  const Row& Current() const { return ItemAs<Row>(Cursor); }

  TBaseItem* WorkItem;  // owned; filled by appends, the key of lookups

 protected:
  Row& Work() { return static_cast<Row&>(*WorkItem); }

  // Hands the filled work item over as a new row; returns its position. A
  // reused spare may still carry New from an earlier Execute: a fresh row is
  // never new until Execute says so.
  int AddWork() {
    Work().New = false;
    return Add(WorkItem);
  }

  // Looks up the row with the work item's key: the cursor goes to it (or to
  // -1), its New flag is cleared, and its quantity is the result (0 if none).
  double FindWork() {
    Cursor = Find(*WorkItem);
    if (Cursor < 0) return 0.0;
    auto& row = ItemAs<Row>(Cursor);
    row.New = false;
    return row.Quantity;
  }
};

}  // namespace orlix

#endif  // ORLIX_REMAINS_ROW_LIST_H_
