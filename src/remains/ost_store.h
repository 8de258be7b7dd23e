// TOstStore: the store remains engine. A stored procedure appends rows of
// (goods date, pack, assortment, pallet, quantity), runs Execute, which adds
// up rows of the same key and drops those that net to zero, and reads the
// result by key lookup or by walking the rows no lookup has found. One table,
// no masking, no daily spreading.
#ifndef ORLIX_REMAINS_OST_STORE_H_
#define ORLIX_REMAINS_OST_STORE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "frame/format.h"
#include "frame/registry.h"
#include "lists/row.h"

namespace orlix {

class TOstStoreItem final : public TRow<TOstStoreItem> {
 public:
  void AddQuantities(const TOstStoreItem& other) { Quantity += other.Quantity; }
  // "id=%d  gd=%s  pack=%d  asrt=%d  p=%d  q=%g  del=%d".
  std::string PrintLine() const;

  // Quantity (of the base item) is "QUANTITY".
  double GOODDATE = 0.0;
  int32_t PACK = 0;
  int32_t ASRT = 0;
  int32_t PALET = 0;

  // Key order: PALET, ASRT, PACK, then GOODDATE; ascending.
  using Order = KeyOrder<Asc<&TOstStoreItem::PALET>, Asc<&TOstStoreItem::ASRT>, Asc<&TOstStoreItem::PACK>,
                         Asc<&TOstStoreItem::GOODDATE>>;
};

class TOstStoreList final : public TRowList<TOstStoreItem> {
 public:
  using TRowList::TRowList;

  // Appends a row; returns its position.
  int Append(double gooddate, int32_t pack, int32_t asrt, int32_t palet, double quantity);
  // The quantity of the row with this key, 0 when there is none. Moves the
  // cursor to the row found (or to -1) and clears its New flag.
  double GetQuantity(double gooddate, int32_t pack, int32_t asrt, int32_t palet);

 private:
  TOstStoreItem& FillKey(double gooddate, int32_t pack, int32_t asrt, int32_t palet);
};

class TOstStore final : public TObject {
 public:
  // Name in the thread's object registry.
  static constexpr const char* kRegistryName = "OstStore";
  static constexpr int kCapacity = 100;
  enum Field : int32_t { kGoodDate = 0, kPack, kAsrt, kPalet, kQuantity };

  TOstStore();            // writes "TOstStore.Create"
  ~TOstStore() override;  // writes "TOstStore.Destroy"

  void Clear() { List->Clear(); }
  void Print(TLines& lines) const;
  int Append(double gooddate, int32_t pack, int32_t asrt, int32_t palet, double quantity) {
    return List->Append(gooddate, pack, asrt, palet, quantity);
  }
  // With two rows or more: fold equal keys and drop the empty results. Every
  // remaining row, a lone one included, is then marked new.
  void Execute();

  // 0..4 for the five field names (upper-cased, not trimmed); -1 otherwise.
  static int GetFieldNumber(std::string_view name);
  double GetQuantity(double gooddate, int32_t pack, int32_t asrt, int32_t palet) {
    return List->GetQuantity(gooddate, pack, asrt, palet);
  }
  double GetFieldDate(int32_t field) const;
  int32_t GetFieldInteger(int32_t field) const;
  double GetFieldDouble(int32_t field) const;
  void FirstNew() { List->FirstNew(); }
  void NextNew() { List->NextNew(); }
  bool Eof() const { return List->Eof(); }

  const std::unique_ptr<TOstStoreList> List;
};

}  // namespace orlix

#endif  // ORLIX_REMAINS_OST_STORE_H_
