#include "remains/ost_store.h"

#include <array>

#include "frame/failure.h"
#include "frame/log.h"
#include "remains/field_names.h"
#include "remains/remains_messages.h"

namespace orlix {
namespace {
constexpr std::array<std::string_view, 5> kFieldNames{"GOODDATE", "PACK", "ASRT", "PALET", "QUANTITY"};
}  // namespace

// ---- TOstStoreItem --------------------------------------------------------------

std::string TOstStoreItem::PrintLine() const {
  return Format("id=%d  gd=%s  pack=%d  asrt=%d  p=%d  q=%s  del=%d", ID, FormatDate(GOODDATE).c_str(), PACK, ASRT,
                PALET, FormatDouble(Quantity).c_str(), Deleted ? 1 : 0);
}

// ---- TOstStoreList --------------------------------------------------------------

TOstStoreItem& TOstStoreList::FillKey(double gooddate, int32_t pack, int32_t asrt, int32_t palet) {
  TOstStoreItem& key = Work();
  key.GOODDATE = gooddate;
  key.PACK = pack;
  key.ASRT = asrt;
  key.PALET = palet;
  return key;
}

int TOstStoreList::Append(double gooddate, int32_t pack, int32_t asrt, int32_t palet, double quantity) {
  TOstStoreItem& row = FillKey(gooddate, pack, asrt, palet);
  row.Quantity = quantity;
  return AddWork();
}

double TOstStoreList::GetQuantity(double gooddate, int32_t pack, int32_t asrt, int32_t palet) {
  FillKey(gooddate, pack, asrt, palet);
  return FindWork();
}

// ---- TOstStore --------------------------------------------------------------------

TOstStore::TOstStore() : List(std::make_unique<TOstStoreList>(0, kCapacity)) {
  WriteLog("TOstStore.Create");
}

TOstStore::~TOstStore() { WriteLog("TOstStore.Destroy"); }

void TOstStore::Print(TLines& lines) const {
  lines.push_back("OstStore");
  List->Print(lines);
  lines.push_back("");
}

void TOstStore::Execute() {
  // A lone row is neither folded nor tested for emptiness, but it is marked
  // new like any result row, so the walk over unread rows always sees it.
  if (List->Count() > 1) List->MergeDuplicates();
  List->SetNew();
}

int TOstStore::GetFieldNumber(std::string_view name) { return PositionOf(kFieldNames, UpperAscii(name)); }

double TOstStore::GetFieldDate(int32_t field) const {
  if (field != kGoodDate) throw EOrlixError(Format(remains_messages::kStoreNoDateField, field));
  return List->OnRecord() ? List->Current().GOODDATE : 0.0;
}

int32_t TOstStore::GetFieldInteger(int32_t field) const {
  if (field != kPack && field != kAsrt && field != kPalet)
    throw EOrlixError(Format(remains_messages::kStoreNoIntegerField, field));
  if (!List->OnRecord()) return 0;
  const TOstStoreItem& row = List->Current();
  return field == kPack ? row.PACK : (field == kAsrt ? row.ASRT : row.PALET);
}

double TOstStore::GetFieldDouble(int32_t field) const {
  if (field != kQuantity) throw EOrlixError(Format(remains_messages::kStoreNoDoubleField, field));
  return List->OnRecord() ? List->Current().Quantity : 0.0;
}

}  // namespace orlix
