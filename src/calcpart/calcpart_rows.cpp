#include "calcpart/calcpart_rows.h"

#include "calcpart/calcpart_messages.h"
#include "frame/failure.h"
#include "frame/format.h"
#include "lists/quick_sort.h"

namespace orlix {
namespace {

// Derived key values of the sort modes.
bool Moved(const TPartSpec& row) { return row.mdh != kNoDoc; }
bool HasReturns(const TXPart& row) { return row.rq > kEps; }
int MoveRank(const TXPart& row) { return row.dk == 2 ? 1 : 100; }
bool Linked(const TXRet& row) { return row.xp != nullptr; }

// Fixed rows first: true sorts before false.
template <auto Member>
using FixedFirst = Desc<Member>;

// PartSpec mode 3 orders moved parties before unmoved ones and compares mdh
// only between moved rows: the key part on MdhIfMoved (0 for an unmoved row)
// follows the part on Moved, so two rows reaching it are both moved or both
// not.
int32_t MdhIfMoved(const TPartSpec& row) { return Moved(row) ? row.mdh : 0; }

// PartSpec mode 4 orders fk descending only between rows both fixed and of
// dk 1: the key part follows the parts on dk and fix, so two rows reaching it
// agree on both, and rows of any other kind all carry 0.
int32_t FixedKindIfDk1(const TPartSpec& row) { return row.fix && row.dk == 1 ? row.fk : 0; }

using RemainsByDate = KeyOrder<Asc<&TRemains::d>, Asc<&TRemains::p>, Asc<&TRemains::dh>, Asc<&TRemains::mdh>>;
using RemainsByPlaceDate =
    KeyOrder<Asc<&TRemains::pi>, Asc<&TRemains::d>, Asc<&TRemains::p>, Asc<&TRemains::dh>, Asc<&TRemains::mdh>>;

using XPartFifo =
    KeyOrder<FixedFirst<&TXPart::fix>, Asc<&TXPart::d>, Asc<&TXPart::p>, AscBy<&HasReturns>, Asc<&TXPart::dh>>;
using XPartLatestFirst = KeyOrder<Asc<&TXPart::dk>, Desc<&TXPart::d>, Desc<&TXPart::dh>, Desc<&TXPart::mdh>>;
using XPartMovesFirst = KeyOrder<AscBy<&MoveRank>, Asc<&TXPart::d>, Asc<&TXPart::ot>, Asc<&TXPart::dh>>;

using XRetFifo = KeyOrder<FixedFirst<&TXRet::fix>, Asc<&TXRet::d>, Desc<&TXRet::mdh>, Asc<&TXRet::dh>>;
using XRetLatestFirst = KeyOrder<Desc<&TXRet::d>, Asc<&TXRet::dh>>;
using XRetLinkedFirst = KeyOrder<DescBy<&Linked>, Asc<&TXRet::d>, Asc<&TXRet::dh>>;

using PartSpecLatestFirst = KeyOrder<Asc<&TPartSpec::dk>, Desc<&TPartSpec::d>, Desc<&TPartSpec::dh>,
                                     Desc<&TPartSpec::idh>, Desc<&TPartSpec::mdh>>;
using PartSpecByBaseDate =
    KeyOrder<Asc<&TPartSpec::cp>, Asc<&TPartSpec::bd>, DescBy<&Moved>, AscBy<&MdhIfMoved>, Asc<&TPartSpec::idh>>;
using PartSpecFixedByPlace =
    KeyOrder<Asc<&TPartSpec::dk>, FixedFirst<&TPartSpec::fix>, DescBy<&FixedKindIfDk1>, Asc<&TPartSpec::pi>,
             Asc<&TPartSpec::bd>, Asc<&TPartSpec::d>, Asc<&TPartSpec::dh>, Asc<&TPartSpec::idh>, Asc<&TPartSpec::mdh>>;

template <class Order, class Row>
int CompareAs(const TBaseItem& a, const TBaseItem& b) {
  return Order::Compare(static_cast<const Row&>(a), static_cast<const Row&>(b));
}

// Raises the unknown-field failure of a list's field read.
[[noreturn]] void NoField(const std::string& field_name, const char* list) {
  throw EOrlixError(Format(calcpart_messages::kNoField, field_name.c_str(), list));
}

void NeedCurrentRow(const TBaseList& list, const char* name) {
  if (!list.OnRecord()) throw EOrlixError(Format(calcpart_messages::kNoCurrentRow, name));
}

int Bool(bool value) { return value ? 1 : 0; }

}  // namespace

// ---- Fix kinds -------------------------------------------------------------------

std::string TFixKindItem::PrintLine() const { return Format("id=%d  dh=%d  bdh=%d  k=%d", ID, dh, bdh, k); }

int TFixKindList::Append(int32_t dh, int32_t bdh, int32_t k) {
  TFixKindItem& row = Work();
  row.dh = dh;
  row.bdh = bdh;
  row.k = k;
  row.Quantity = 1.0;
  const int first = AddWork();
  TFixKindItem& all = Work();
  all.dh = dh;
  all.bdh = kNoDoc;
  all.k = 0;
  all.Quantity = 1.0;
  AddWork();
  return first;
}

int TFixKindList::Find2(int32_t dh, int32_t bdh) const {
  if (Count() == 0) return -1;
  TFixKindItem key;
  key.dh = dh;
  key.bdh = bdh;
  return TBaseList::Find(key);
}

int32_t TFixKindList::Lookup(int32_t dh, int32_t bdh) const {
  const int index = Find2(dh, bdh);
  return index < 0 ? -1 : At(index).k;
}

bool TFixKindList::HasKind2() const {
  for (int i = 0; i < Count(); ++i)
    if (At(i).k == 2) return true;
  return false;
}

// ---- Priorities -------------------------------------------------------------------

std::string TPriorityInItem::PrintLine() const {
  return Format("id=%d  dk=%d  ot=%d  p=%d  pfm=%d", ID, dk, ot, p, pfm);
}

int TPriorityInList::Append(int32_t dk, int32_t ot, int32_t p, int32_t pfm) {
  TPriorityInItem& row = Work();
  row.dk = dk;
  row.ot = ot;
  row.p = p;
  row.pfm = pfm;
  return AddWork();
}

int TPriorityInList::Find(int32_t dk, int32_t ot) const {
  if (Count() == 0) return -1;
  key_.dk = dk;
  key_.ot = ot;
  return TBaseList::Find(key_);
}

void TPriorityInList::Priority(int32_t dk, int32_t ot, int32_t& p, int32_t& pfm) const {
  const int index = Find(dk, ot);
  p = index < 0 ? -1 : At(index).p;
  pfm = index < 0 ? -1 : At(index).pfm;
}

// ---- Parties ------------------------------------------------------------------------

std::string TRemains::PrintLine() const {
  return Format(
      "id=%d new=%d del=%d dh=%d mdh=%d d=%s pi=%d ot=%d dk=%d q=%s p=%d pfm=%d rub=%s cur=%s th=%d ci=%d fq=%s", ID,
      Bool(New), Bool(Deleted), dh, mdh, FormatDate(d).c_str(), pi, ot, dk, FormatDouble(Quantity).c_str(), p, pfm,
      FormatDouble(rub).c_str(), FormatDouble(cur).c_str(), th, ci, FormatDouble(fq).c_str());
}

TRemainsList::TRemainsList(int size, int capacity)
    : TRowList(size, capacity), priorities_(kPriorityListSize, kPriorityListSize) {}

int TRemainsList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  switch (SortMode()) {
    case kByDate:
      return CompareAs<RemainsByDate, TRemains>(a, b);
    case kByPlaceDate:
      return CompareAs<RemainsByPlaceDate, TRemains>(a, b);
    default:
      return TRowList::CompareItems(a, b);
  }
}

void TRemainsList::SortRange(int lo, int hi) {
  switch (SortMode()) {
    case kByDate:
      SortRecords<RemainsByDate, TRemains>(Records(), lo, hi);
      return;
    case kByPlaceDate:
      SortRecords<RemainsByPlaceDate, TRemains>(Records(), lo, hi);
      return;
    default:
      TRowList::SortRange(lo, hi);
  }
}

TRemains& TRemainsList::Fill(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q,
                             double rub, double cur, int32_t th, int32_t ci) {
  TRemains& row = Work();
  row.dh = dh;
  row.mdh = mdh;
  row.d = d;
  row.pi = pi;
  row.ot = ot;
  row.dk = dk;
  row.Quantity = q;
  priorities_.Priority(dk, ot, row.p, row.pfm);
  row.rub = rub;
  row.cur = cur;
  row.th = th;
  row.ci = ci;
  row.fq = 0.0;
  return row;
}

int TRemainsList::Append(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, double rub,
                         double cur, int32_t th, int32_t ci) {
  Fill(dh, mdh, d, pi, ot, dk, q, rub, cur, th, ci);
  return AddWork();
}

int TRemainsList::AppendSorted(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q,
                               double rub, double cur, int32_t th, int32_t ci) {
  Fill(dh, mdh, d, pi, ot, dk, q, rub, cur, th, ci);
  return AddWorkSorted();
}

int TRemainsList::Find(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t dk, int32_t ot) {
  TRemains& key = Work();
  key.dh = dh;
  key.mdh = mdh;
  key.d = d;
  key.pi = pi;
  priorities_.Priority(dk, ot, key.p, key.pfm);
  return TBaseList::Find(key);
}

double TRemainsList::GetQuantity(int32_t dh, int32_t mdh) {
  // Keyed reads search by the default key, whatever order the list was left in.
  SetSortMode(-1);
  Work().dh = dh;
  Work().mdh = mdh;
  return FindWork();
}

int32_t TRemainsList::GetFieldInteger(const std::string& field_name) const {
  NeedCurrentRow(*this, "Remains");
  if (field_name == "DocHead") return Current().dh;
  if (field_name == "MoveDocHead") return Current().mdh;
  NoField(field_name, "Remains");
}

// ---- Consumptions -----------------------------------------------------------------

std::string TXPart::PrintLine() const {
  return Format(
      "id=%d new=%d del=%d dh=%d mdh=%d d=%s pi=%d ot=%d dk=%d q=%s rq=%s fix=%d p=%d rub=%s cur=%s th=%d ci=%d", ID,
      Bool(New), Bool(Deleted), dh, mdh, FormatDate(d).c_str(), pi, ot, dk, FormatDouble(Quantity).c_str(),
      FormatDouble(rq).c_str(), Bool(fix), p, FormatDouble(rub).c_str(), FormatDouble(cur).c_str(), th, ci);
}

int TXPartList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  switch (SortMode()) {
    case kFifo:
      return CompareAs<XPartFifo, TXPart>(a, b);
    case kLatestFirst:
      return CompareAs<XPartLatestFirst, TXPart>(a, b);
    case kMovesFirst:
      return CompareAs<XPartMovesFirst, TXPart>(a, b);
    default:
      return TRowList::CompareItems(a, b);
  }
}

void TXPartList::SortRange(int lo, int hi) {
  switch (SortMode()) {
    case kFifo:
      SortRecords<XPartFifo, TXPart>(Records(), lo, hi);
      return;
    case kLatestFirst:
      SortRecords<XPartLatestFirst, TXPart>(Records(), lo, hi);
      return;
    case kMovesFirst:
      SortRecords<XPartMovesFirst, TXPart>(Records(), lo, hi);
      return;
    default:
      TRowList::SortRange(lo, hi);
  }
}

int TXPartList::Append(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, bool /*fix*/,
                       int32_t p, double rub, double cur, int32_t th, int32_t ci) {
  TXPart& row = Work();
  row.dh = dh;
  row.mdh = mdh;
  row.d = d;
  row.pi = pi;
  row.ot = ot;
  row.dk = dk;
  row.Quantity = q;
  row.fix = fix_kinds_.Exists(dh);
  row.p = p;
  row.rub = rub;
  row.cur = cur;
  row.th = th;
  row.ci = ci;
  row.rq = 0.0;
  row.lq = 0.0;
  return AddWork();
}

double TXPartList::GetQuantity(int32_t dh, int32_t mdh) {
  SetSortMode(-1);
  Work().dh = dh;
  Work().mdh = mdh;
  return FindWork();
}

int32_t TXPartList::GetFieldInteger(const std::string& field_name) const {
  NeedCurrentRow(*this, "XPart");
  if (field_name == "DocHead") return Current().dh;
  if (field_name == "MoveDocHead") return Current().mdh;
  NoField(field_name, "XPart");
}

// ---- Returns ----------------------------------------------------------------------

std::string TXRet::PrintLine() const {
  return Format("id=%d new=%d del=%d dh=%d odh=%d mdh=%d d=%s pi=%d  q=%s fix=%d rub=%s cur=%s th=%d ci=%d xp=%d", ID,
                Bool(New), Bool(Deleted), dh, odh, mdh, FormatDate(d).c_str(), pi, FormatDouble(Quantity).c_str(),
                Bool(fix), FormatDouble(rub).c_str(), FormatDouble(cur).c_str(), th, ci, Bool(xp != nullptr));
}

int TXRetList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  switch (SortMode()) {
    case kFifo:
      return CompareAs<XRetFifo, TXRet>(a, b);
    case kLatestFirst:
      return CompareAs<XRetLatestFirst, TXRet>(a, b);
    case kLinkedFirst:
      return CompareAs<XRetLinkedFirst, TXRet>(a, b);
    default:
      return TRowList::CompareItems(a, b);
  }
}

void TXRetList::SortRange(int lo, int hi) {
  switch (SortMode()) {
    case kFifo:
      SortRecords<XRetFifo, TXRet>(Records(), lo, hi);
      return;
    case kLatestFirst:
      SortRecords<XRetLatestFirst, TXRet>(Records(), lo, hi);
      return;
    case kLinkedFirst:
      SortRecords<XRetLinkedFirst, TXRet>(Records(), lo, hi);
      return;
    default:
      TRowList::SortRange(lo, hi);
  }
}

int TXRetList::Append(int32_t dh, int32_t odh, int32_t mdh, double d, int32_t pi, double q, bool /*fix*/, double rub,
                      double cur, int32_t th, int32_t ci) {
  TXRet& row = Work();
  row.dh = dh;
  row.odh = odh;
  row.mdh = mdh;
  row.d = d;
  row.pi = pi;
  row.Quantity = q;
  row.fix = fix_kinds_.Exists(dh);
  row.rub = rub;
  row.cur = cur;
  row.th = th;
  row.ci = ci;
  row.xp = nullptr;
  return AddWork();
}

double TXRetList::GetQuantity(int32_t dh, int32_t odh, int32_t mdh) {
  SetSortMode(-1);
  Work().dh = dh;
  Work().odh = odh;
  Work().mdh = mdh;
  return FindWork();
}

int32_t TXRetList::GetFieldInteger(const std::string& field_name) const {
  NeedCurrentRow(*this, "XRet");
  if (field_name == "DocHead") return Current().dh;
  if (field_name == "OutDocHead") return Current().odh;
  if (field_name == "MoveDocHead") return Current().mdh;
  NoField(field_name, "XRet");
}

// ---- Party splits (PartSpec) --------------------------------------------------

std::string TPartSpec::PrintLine() const {
  return Format(
      "id=%d new=%d del=%d dh=%d idh=%d mdh=%d q=%s d=%s pi=%d ot=%d dk=%d fix=%d fk=%d rub=%s cur=%s th=%d ci=%d "
      "bd=%s bot=%d cp=%d",
      ID, Bool(New), Bool(Deleted), dh, idh, mdh, FormatDouble(Quantity).c_str(), FormatDate(d).c_str(), pi, ot, dk,
      Bool(fix), fk, FormatDouble(rub).c_str(), FormatDouble(cur).c_str(), th, ci, FormatDate(bd).c_str(), bot, cp);
}

int TPartSpecList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  switch (SortMode()) {
    case kLatestFirst:
      return CompareAs<PartSpecLatestFirst, TPartSpec>(a, b);
    case kByBaseDate:
      return CompareAs<PartSpecByBaseDate, TPartSpec>(a, b);
    case kFixedByPlace:
      return CompareAs<PartSpecFixedByPlace, TPartSpec>(a, b);
    default:
      return TRowList::CompareItems(a, b);
  }
}

void TPartSpecList::SortRange(int lo, int hi) {
  switch (SortMode()) {
    case kLatestFirst:
      SortRecords<PartSpecLatestFirst, TPartSpec>(Records(), lo, hi);
      return;
    case kByBaseDate:
      SortRecords<PartSpecByBaseDate, TPartSpec>(Records(), lo, hi);
      return;
    case kFixedByPlace:
      SortRecords<PartSpecFixedByPlace, TPartSpec>(Records(), lo, hi);
      return;
    default:
      TRowList::SortRange(lo, hi);
  }
}

TPartSpec& TPartSpecList::Fill(int32_t dh, int32_t idh, int32_t mdh, double q, double d, int32_t pi, int32_t ot,
                               int32_t dk, double rub, double cur, int32_t th, int32_t ci, int32_t pci, double bd,
                               int32_t bot) {
  TPartSpec& row = Work();
  row.dh = dh;
  row.idh = idh;
  row.mdh = mdh;
  row.Quantity = q;
  row.d = d;
  row.pi = pi;
  row.ot = ot;
  row.dk = dk;
  row.fix = fix_kinds_.Exists(dh);
  row.fk = row.fix ? fix_kinds_.Lookup(dh, idh) : -1;
  row.rub = rub;
  row.cur = cur;
  row.th = th;
  row.ci = ci;
  row.pci = pci;
  row.bd = bd;
  row.bot = bot;
  row.rq = 0.0;
  row.cp = 0;
  return row;
}

int TPartSpecList::Append(int32_t dh, int32_t idh, int32_t mdh, double q, double d, int32_t pi, int32_t ot, int32_t dk,
                          bool /*fix*/, double rub, double cur, int32_t th, int32_t ci, int32_t pci, double bd,
                          int32_t bot) {
  Fill(dh, idh, mdh, q, d, pi, ot, dk, rub, cur, th, ci, pci, bd, bot);
  return AddWork();
}

int TPartSpecList::AppendSorted(int32_t dh, int32_t idh, int32_t mdh, double q, double d, int32_t pi, int32_t ot,
                                int32_t dk, bool /*fix*/, double rub, double cur, int32_t th, int32_t ci, int32_t pci,
                                double bd, int32_t bot) {
  Fill(dh, idh, mdh, q, d, pi, ot, dk, rub, cur, th, ci, pci, bd, bot);
  return AddWorkSorted();
}

double TPartSpecList::GetQuantity(int32_t dh, int32_t idh, int32_t mdh) {
  SetSortMode(-1);
  Work().dh = dh;
  Work().idh = idh;
  Work().mdh = mdh;
  return FindWork();
}

int32_t TPartSpecList::GetFieldInteger(const std::string& field_name) const {
  NeedCurrentRow(*this, "PartSpec");
  if (field_name == "DocHead") return Current().dh;
  if (field_name == "InDocHead") return Current().idh;
  if (field_name == "MoveDocHead") return Current().mdh;
  NoField(field_name, "PartSpec");
}

void TPartSpecList::SetNew() {
  for (int i = 0; i < Count(); ++i) At(i).New = At(i).cp == 0;
}

// ---- Return splits (RetSpec) ---------------------------------------------------

std::string TRetSpec::PrintLine() const {
  return Format("id=%d new=%d del=%d dh=%d odh=%d idh=%d mdh=%d q=%s d=%s pi=%d fix=%d rub=%s cur=%s th=%d ci=%d cp=%d",
                ID, Bool(New), Bool(Deleted), dh, odh, idh, mdh, FormatDouble(Quantity).c_str(), FormatDate(d).c_str(),
                pi, Bool(fix), FormatDouble(rub).c_str(), FormatDouble(cur).c_str(), th, ci, cp);
}

int TRetSpecList::Append(int32_t dh, int32_t odh, int32_t idh, int32_t mdh, double q, double d, int32_t pi,
                         bool /*fix*/, double rub, double cur, int32_t th, int32_t ci) {
  TRetSpec& row = Work();
  row.dh = dh;
  row.odh = odh;
  row.idh = idh;
  row.mdh = mdh;
  row.Quantity = q;
  row.d = d;
  row.pi = pi;
  row.fix = fix_kinds_.Exists(dh);
  row.rub = rub;
  row.cur = cur;
  row.th = th;
  row.ci = ci;
  row.cp = 0;
  return AddWork();
}

double TRetSpecList::GetQuantity(int32_t dh, int32_t odh, int32_t idh, int32_t mdh) {
  SetSortMode(-1);
  Work().dh = dh;
  Work().odh = odh;
  Work().idh = idh;
  Work().mdh = mdh;
  return FindWork();
}

int32_t TRetSpecList::GetFieldInteger(const std::string& field_name) const {
  NeedCurrentRow(*this, "RetSpec");
  if (field_name == "DocHead") return Current().dh;
  if (field_name == "OutDocHead") return Current().odh;
  if (field_name == "InDocHead") return Current().idh;
  if (field_name == "MoveDocHead") return Current().mdh;
  NoField(field_name, "RetSpec");
}

void TRetSpecList::SetNew() {
  for (int i = 0; i < Count(); ++i) At(i).New = At(i).cp == 0;
}

// ---- Reference rows ---------------------------------------------------------------

std::string TTPartSpec::PrintLine() const {
  if (!row) return Format("ID=%d  Deleted=%d", ID, Bool(Deleted));
  TPartSpec shown = *row;
  shown.ID = ID;
  shown.New = New;
  shown.Deleted = Deleted;
  return shown.PrintLine();
}

int TTPartSpecList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  if (SortMode() != kByBaseDate) return TRowList::CompareItems(a, b);
  const TPartSpec& x = *static_cast<const TTPartSpec&>(a).row;
  const TPartSpec& y = *static_cast<const TTPartSpec&>(b).row;
  return KeyOrder<Asc<&TPartSpec::bd>, Asc<&TPartSpec::mdh>, Asc<&TPartSpec::dh>>::Compare(x, y);
}

int TTPartSpecList::Add(TPartSpec& row) {
  Work().row = &row;
  Work().Quantity = 1.0;
  return AddWork();
}

std::string TTXRet::PrintLine() const { return Format("ID=%d  Deleted=%d", ID, Bool(Deleted)); }

int TTXRetList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  if (SortMode() != kCandidates) return TRowList::CompareItems(a, b);
  const TXRet& x = *static_cast<const TTXRet&>(a).row;
  const TXRet& y = *static_cast<const TTXRet&>(b).row;
  // Returns tied to an open consumption first; two untied returns are equal.
  if (!x.xp || !y.xp) return Compare3(y.xp != nullptr, x.xp != nullptr);
  int r = Compare3(x.xp->d, y.xp->d);
  if (r == 0) r = KeyOrder<Desc<&TXRet::d>, Desc<&TXRet::fix>, Desc<&TXRet::mdh>, Asc<&TXRet::dh>>::Compare(x, y);
  return r;
}

int TTXRetList::Add(TXRet& row) {
  Work().row = &row;
  Work().Quantity = 1.0;
  return AddWork();
}

}  // namespace orlix
