#include "cut/cut.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "cut/cut_messages.h"
#include "frame/failure.h"
#include "frame/log.h"

namespace orlix {
namespace {

constexpr std::array<const char*, TCut::kTableCount> kTableNames{"chain",     "anypart", "partspec", "retspec",
                                                                 "outdocpay", "docspec", "dochead",  "cycle"};

struct FieldName {
  std::string_view name;
  int number;
};
constexpr std::array<FieldName, 11> kFieldNames{{{"dochead", TCut::kFieldDocHead},
                                                 {"outdochead", TCut::kFieldOutDocHead},
                                                 {"movedochead", TCut::kFieldMoveDocHead},
                                                 {"payhead", TCut::kFieldPayHead},
                                                 {"paydochead", TCut::kFieldPayHead},
                                                 {"acchead", TCut::kFieldAccHead},
                                                 {"accountdochead", TCut::kFieldAccHead},
                                                 {"quantity", TCut::kFieldQuantity},
                                                 {"cutq", TCut::kFieldCutQ},
                                                 {"cutquantity", TCut::kFieldCutQ},
                                                 {"doclist", TCut::kFieldDocList}}};

// ASCII letters lowered, bytes of code 0..32 cut from both ends.
std::string LowerTrimmed(std::string_view name) {
  constexpr unsigned char kLastBlank = 32;
  while (!name.empty() && static_cast<unsigned char>(name.front()) <= kLastBlank) name.remove_prefix(1);
  while (!name.empty() && static_cast<unsigned char>(name.back()) <= kLastBlank) name.remove_suffix(1);
  std::string result(name);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

// Quantities and dates must be numbers: NaN would make every comparison
// false and infinity would never be used up.
void RequireFinite(const char* operation, const char* what, double value) {
  if (!std::isfinite(value))
    throw EOrlixError(Format(cut_messages::kNotFinite, operation, what, FormatDouble(value).c_str()));
}

void PrintList(TLines& lines, const char* label, const TBaseList& list) {
  lines.push_back(label);
  list.Print(lines);
}

}  // namespace

TCut::TCut()
    : PartSpec(std::make_unique<TCutPartSpecList>()),
      RetSpec(std::make_unique<TCutRetSpecList>()),
      OutDocPay(std::make_unique<TCutOutDocPayList>()),
      AnyPart(std::make_unique<TCutAnyPartList>()),
      Chain(std::make_unique<TCutChainList>()),
      Cycle(std::make_unique<TCutCycleList>()),
      CycleWork(std::make_unique<TCutCycleList>()),
      DocSpec(std::make_unique<TCutDocSpecList>()),
      DocHead(std::make_unique<TCutDocHeadList>()) {
  Chain->SetAnyPartList(AnyPart.get());
  const std::array<TBaseList*, kTableCount> lists{Chain.get(),     AnyPart.get(), PartSpec.get(), RetSpec.get(),
                                                  OutDocPay.get(), DocSpec.get(), DocHead.get(),  Cycle.get()};
  for (int i = 0; i < kTableCount; ++i) TableNames.Add(kTableNames[i], lists[i]);
  WriteLog("TCut.Create");
}

TCut::~TCut() { WriteLog("TCut.Destroy"); }

void TCut::Clear() {
  in_quantity_ = pay_quantity_ = ret_quantity_ = 0.0;
  is_pay_ = ver_pay_ = false;
  CutQuantity = CutRetQuantity = RestIn = RestPay = RestRet = 0.0;
  // Portions point into the party and return rows: they go first.
  AnyPart->Clear();
  AnyPart->ErrorCode = kCutDone;
  Chain->Clear();
  PartSpec->Clear();
  RetSpec->Clear();
  OutDocPay->Clear();
  Cycle->Clear();
  DocSpec->Clear();
  DocHead->Clear();
}

void TCut::SetParams(double to_date, double in_quantity, double pay_quantity, double ret_quantity, bool is_pay,
                     bool ver_pay) {
  RequireFinite("SetParams", "ToDate", to_date);
  RequireFinite("SetParams", "InQuantity", in_quantity);
  RequireFinite("SetParams", "PayQuantity", pay_quantity);
  RequireFinite("SetParams", "RetQuantity", ret_quantity);
  in_quantity_ = in_quantity;
  pay_quantity_ = pay_quantity;
  ret_quantity_ = ret_quantity;
  is_pay_ = is_pay;
  ver_pay_ = ver_pay;
  to_date_ = std::trunc(to_date);
}

int TCut::AppendPartSpec(int32_t dh, int32_t mdh, double q, double d, int32_t pi, int32_t ot, int32_t dk, int32_t ci,
                         int32_t cp) {
  RequireFinite("PartSpecAppend", "q", q);
  RequireFinite("PartSpecAppend", "d", d);
  const int index = PartSpec->Append(dh, mdh, q, d, pi, ot, dk, ci, cp);
  PartSpec->SetCursor(index);
  return index;
}

int TCut::AppendRetSpec(int32_t dh, int32_t odh, int32_t mdh, double q, double d, int32_t pi, int32_t ci, int32_t cp) {
  RequireFinite("RetSpecAppend", "q", q);
  RequireFinite("RetSpecAppend", "d", d);
  const int index = RetSpec->Append(dh, odh, mdh, q, d, pi, ci, cp);
  RetSpec->SetCursor(index);
  return index;
}

int TCut::AppendOutDocPay(int32_t dh, int32_t ph, int32_t ah, double pd, double ad, double q) {
  RequireFinite("OutDocPayAppend", "q", q);
  RequireFinite("OutDocPayAppend", "pd", pd);
  RequireFinite("OutDocPayAppend", "ad", ad);
  const int index = OutDocPay->Append(dh, ph, ah, pd, ad, q);
  OutDocPay->SetCursor(index);
  return index;
}

// ---- Execute ----------------------------------------------------------------------

int32_t TCut::Execute() {
  if (PartSpec->Count() == 0) return kCutNothing;
  CutQuantity = CutRetQuantity = 0.0;
  RestIn = in_quantity_;
  RestPay = is_pay_ ? pay_quantity_ : in_quantity_;
  RestRet = is_pay_ ? ret_quantity_ : 0.0;
  // Every run recomputes the results whole; the previous run's document
  // rows would otherwise be counted again.
  DocSpec->Clear();
  DocHead->Clear();
  OutDocPay->ResetPay();

  BuildAnyParts();
  if (AnyPart->ErrorCode >= 1) return AnyPart->ErrorCode;
  BuildCycles(*Chain, *AnyPart, *Cycle, *CycleWork, MaxCycleRows);
  if (AnyPart->ErrorCode >= 1) return AnyPart->ErrorCode;

  Chain->WithoutDeleted = 1;
  for (Chain->First(); !Chain->Eof(); Chain->Next()) {
    if (!(RestIn > kZeroTolerance) || (is_pay_ && !(RestPay + RestRet > kZeroTolerance))) break;
    CutChain();
    if (AnyPart->ErrorCode > 0) return AnyPart->ErrorCode;
  }
  if (Chain->Overran()) return AnyPart->ErrorCode = kCutSearchTooLarge;
  // A run that ends on the quantity leaves the next chain found: drop it.
  Chain->Clear();

  if (!(CutQuantity > kZeroTolerance)) return kCutNothing;
  if (!(CutQuantity - CutRetQuantity > kZeroTolerance)) CutRetQuantity = CutQuantity;
  BuildDocSpec();
  BuildDocHead();
  // Date order for the readers; lookups by key then scan from the cursor.
  PartSpec->SetSortMode(kSortByDate);
  PartSpec->Sort();
  PartSpec->SetSortMode(kSortByKey);
  PartSpec->SetCursor(-1);
  RetSpec->SetSortMode(kSortByDate);
  RetSpec->Sort();
  RetSpec->SetSortMode(kSortByKey);
  RetSpec->SetCursor(-1);
  return kCutDone;
}

void TCut::BuildAnyParts() {
  AnyPart->Clear();
  AnyPart->ErrorCode = kCutDone;
  PartSpec->SetSortMode(kSortByDateKind);
  PartSpec->Sort();
  OutDocPay->SetSortMode(kSortByDateKind);
  OutDocPay->Sort();

  // The returns of each shipment and source, in list order (what FindReturn
  // walks), and how much of each return row parties have taken so far.
  std::map<std::pair<int32_t, int32_t>, std::vector<int32_t>> returns;
  for (int i = 0; i < RetSpec->Count(); ++i) returns[{RetSpec->At(i).odh, RetSpec->At(i).mdh}].push_back(i);
  std::vector<double> matched(static_cast<size_t>(RetSpec->Count()), 0.0);

  for (int i = 0; i < PartSpec->Count(); ++i) {
    TCutPartSpec& p = PartSpec->At(i);
    p.cq = 0.0;
    p.rq = 0.0;
    const bool deleted = p.d > to_date_ || p.dk == kDkNeverCut;
    if (p.dk != kDkOutgoing || p.ot == kOtReturn) {
      AnyPart->Add(&p, nullptr, p.Quantity, deleted);
      continue;
    }
    const auto found = returns.find({p.dh, p.mdh});
    if (found != returns.end())
      for (const int32_t ri : found->second) {
        TCutRetSpec& r = RetSpec->At(ri);
        r.cq = 0.0;
        // A return row is matched once: what an earlier party row of the
        // same shipment and source took is not taken again.
        const double open = r.Quantity - matched[static_cast<size_t>(ri)];
        const double avail = p.Quantity - p.rq;
        const double take = avail >= open ? open : avail;
        if (take > kZeroTolerance) {
          AnyPart->Add(&p, &r, take, deleted || r.d > to_date_);
          p.rq += take;
          matched[static_cast<size_t>(ri)] += take;
        }
        if (open - take > kZeroTolerance) {
          AnyPart->ErrorCode = kCutReturnTooLarge;
          return;
        }
      }
    if (p.Quantity - p.rq > kZeroTolerance) AnyPart->Add(&p, nullptr, p.Quantity - p.rq, deleted);
  }
  AnyPart->LinkReturns();
}

double TCut::LimitOf(const TCutAnyPart& a) {
  if (!ver_pay_ || a.part->dk != kDkOutgoing) return a.Quantity;
  double paid = OutDocPay->RestOf(a.part->dh);
  if (a.ret) paid = std::min(OutDocPay->RestOf(a.ret->dh), paid);
  return std::min(a.Quantity, paid);
}

bool TCut::ChargeOutgoing(const TCutAnyPart& a, double amount, bool queue_link) {
  if (a.part->dk != kDkOutgoing) return true;
  if (ver_pay_ && !OutDocPay->CutPay(a.part->dh, amount)) {
    AnyPart->ErrorCode = kCutPartUnpaid;
    return false;
  }
  if (!a.ret) return true;
  if (ver_pay_ && !OutDocPay->CutPay(a.ret->dh, amount)) {
    AnyPart->ErrorCode = kCutReturnUnpaid;
    return false;
  }
  a.ret->cq += amount;
  if (queue_link && a.c_ret_idx >= 0 && !AnyPart->At(a.c_ret_idx).IsEmpty()) return_queue_.push_back(a.c_ret_idx);
  return true;
}

void TCut::QueueCycle(int32_t c) {
  if (Cycle->At(c).IsEmpty() || cycle_queued_[static_cast<size_t>(c)] == chain_mark_) return;
  cycle_queued_[static_cast<size_t>(c)] = chain_mark_;
  cycle_queue_.push_back(c);
}

void TCut::CutChain() {
  if (Chain->IsCycle()) {
    AnyPart->ErrorCode = kCutClosesCycle;
    return;
  }
  const int m = Chain->Count();
  TCutAnyPart& last = Chain->Portion(m - 1);
  const bool ends_in_return = last.part->ot == kOtReturn;
  double amount = RestIn;
  int from = m - 1;
  if (is_pay_ && ends_in_return) {
    amount = std::min(last.Quantity, RestRet);
    from = m - 2;
  } else if (is_pay_) {
    amount = RestPay;
  }
  // What is left to write off bounds every chain, with IsPay too.
  amount = std::min(amount, RestIn);
  if (!(amount > kZeroTolerance)) return;
  for (int i = from; i >= 0; --i) {
    amount = std::min(amount, LimitOf(Chain->Portion(i)));
    if (!(amount > kZeroTolerance)) return;
  }

  if (is_pay_ && ends_in_return) {
    SnappedSubtract(RestRet, amount);
    SnappedSubtract(last.Quantity, amount);
    last.part->cq += amount;
  } else if (is_pay_) {
    SnappedSubtract(RestPay, amount);
  }
  if (ends_in_return) CutRetQuantity += amount;
  SnappedSubtract(RestIn, amount);
  CutQuantity += amount;

  return_queue_.clear();
  cycle_queue_.clear();
  cycle_queued_.resize(static_cast<size_t>(Cycle->Count()), 0);
  if (++chain_mark_ == 0) {  // the marks wrapped: forget them all
    std::fill(cycle_queued_.begin(), cycle_queued_.end(), 0);
    chain_mark_ = 1;
  }
  for (int i = from; i >= 0; --i) {
    TCutAnyPart& a = Chain->Portion(i);
    if (!ChargeOutgoing(a, amount, true)) return;
    for (const int32_t c : a.cycle_idx) QueueCycle(c);
    SnappedSubtract(a.Quantity, amount);
    a.part->cq += amount;
  }

  // Each cycle met is written off whole, once; members lead to the cycles
  // they share. Their quantity was set aside before the cutting.
  for (size_t k = 0; k < cycle_queue_.size(); ++k) {
    const int32_t c = cycle_queue_[k];
    TCutCycle& header = Cycle->At(c);
    if (header.IsEmpty()) continue;
    header.Deleted = true;
    const double b = header.Quantity;
    for (int j = c + 1; j <= c + header.n; ++j) {
      TCutAnyPart& member = AnyPart->At(Cycle->At(j).n);
      if (!ChargeOutgoing(member, b, true)) return;
      for (const int32_t c2 : member.cycle_idx) QueueCycle(c2);
      member.part->cq += b;
    }
  }

  // Linked return portions go whole with their partner.
  for (const int32_t x : return_queue_) {
    TCutAnyPart& a = AnyPart->At(x);
    if (a.IsEmpty()) continue;
    const double b = a.Quantity;
    if (!ChargeOutgoing(a, b, false)) return;
    SnappedSubtract(a.Quantity, b);
    a.part->cq += b;
  }
}

void TCut::BuildDocSpec() {
  for (int i = 0; i < PartSpec->Count(); ++i) {
    const TCutPartSpec& p = PartSpec->At(i);
    if (!p.Deleted && p.cq > kZeroTolerance) DocSpec->Append(p.dh, kPartSpec, p.Quantity, p.cq);
  }
  for (int i = 0; i < RetSpec->Count(); ++i) {
    const TCutRetSpec& r = RetSpec->At(i);
    if (!r.Deleted && r.cq > kZeroTolerance) DocSpec->Append(r.dh, kRetSpec, r.Quantity, r.cq);
  }
  for (int i = 0; i < OutDocPay->Count(); ++i) {
    const TCutOutDocPay& y = OutDocPay->At(i);
    if (!y.Deleted && y.ah > kNoDocHead && y.cq > kZeroTolerance) DocSpec->Append(y.ah, kOutDocPay, y.Quantity, y.cq);
  }
  DocSpec->MergeDuplicates();
}

void TCut::BuildDocHead() {
  for (int i = 0; i < OutDocPay->Count(); ++i) {
    const TCutOutDocPay& y = OutDocPay->At(i);
    if (!y.Deleted && y.cq > kZeroTolerance) DocHead->Append(y.ph);
  }
  for (int i = 0; i < DocSpec->Count(); ++i) DocHead->Append(DocSpec->At(i).dh);
  DocHead->MergeDuplicates();
}

// ---- Reads ------------------------------------------------------------------------

double TCut::PartSpecCutQ(int32_t dh, int32_t mdh) {
  PartSpec->SetCursor(std::min(PartSpec->Cursor() + 1, PartSpec->Count()));
  const int found = PartSpec->FindKey(dh, mdh);
  return found >= 0 ? PartSpec->At(found).cq : 0.0;
}

double TCut::RetSpecCutQ(int32_t dh, int32_t odh, int32_t mdh) {
  RetSpec->SetCursor(std::min(RetSpec->Cursor() + 1, RetSpec->Count()));
  const int found = RetSpec->FindKey(dh, odh, mdh);
  return found >= 0 ? RetSpec->At(found).cq : 0.0;
}

int TCut::GetTableNumber(std::string_view name) const { return TableNames.IndexOf(LowerTrimmed(name)); }

int TCut::GetFieldNumber(std::string_view name) {
  const std::string key = LowerTrimmed(name);
  for (const FieldName& field : kFieldNames)
    if (field.name == key) return field.number;
  throw EOrlixError(std::string(cut_messages::kFieldNumberHead) + std::string(name) + cut_messages::kFieldNumberTail);
}

namespace {
// The row under a list's cursor; raises when the cursor is off the rows.
template <class Row>
const Row& CurrentRow(const TRowList<Row>& list, const char* operation, int32_t table, int32_t field) {
  if (!list.OnRecord())
    throw EOrlixError(Format(cut_messages::kNoCurrentRow, operation, table, field, kTableNames[table]));
  return list.Current();
}
}  // namespace

int32_t TCut::GetFieldInteger(int32_t table, int32_t field) const {
  TableList(table);  // a number outside 0..7 fails here
  constexpr const char* kOperation = "GetFieldInteger";
  switch (table) {
    case kPartSpec:
      if (field == kFieldDocHead) return CurrentRow(*PartSpec, kOperation, table, field).dh;
      if (field == kFieldMoveDocHead) return CurrentRow(*PartSpec, kOperation, table, field).mdh;
      break;
    case kRetSpec:
      if (field == kFieldDocHead) return CurrentRow(*RetSpec, kOperation, table, field).dh;
      if (field == kFieldOutDocHead) return CurrentRow(*RetSpec, kOperation, table, field).odh;
      if (field == kFieldMoveDocHead) return CurrentRow(*RetSpec, kOperation, table, field).mdh;
      break;
    case kOutDocPay:
      if (field == kFieldDocHead) return CurrentRow(*OutDocPay, kOperation, table, field).dh;
      if (field == kFieldPayHead) return CurrentRow(*OutDocPay, kOperation, table, field).ph;
      if (field == kFieldAccHead) return CurrentRow(*OutDocPay, kOperation, table, field).ah;
      break;
    case kDocSpec:
      if (field == kFieldDocHead) return CurrentRow(*DocSpec, kOperation, table, field).dh;
      if (field == kFieldDocList) return CurrentRow(*DocSpec, kOperation, table, field).doclist;
      break;
    case kDocHead:
      if (field == kFieldDocHead) return CurrentRow(*DocHead, kOperation, table, field).dh;
      break;
    default:
      break;
  }
  throw EOrlixError(Format(cut_messages::kNoIntegerField, table, field));
}

double TCut::GetFieldDouble(int32_t table, int32_t field) const {
  TableList(table);
  constexpr const char* kOperation = "GetFieldDouble";
  const bool q = field == kFieldQuantity;
  if (field == kFieldQuantity || field == kFieldCutQ) switch (table) {
      case kPartSpec: {
        const TCutPartSpec& row = CurrentRow(*PartSpec, kOperation, table, field);
        return q ? row.Quantity : row.cq;
      }
      case kRetSpec: {
        const TCutRetSpec& row = CurrentRow(*RetSpec, kOperation, table, field);
        return q ? row.Quantity : row.cq;
      }
      case kOutDocPay: {
        const TCutOutDocPay& row = CurrentRow(*OutDocPay, kOperation, table, field);
        return q ? row.Quantity : row.cq;
      }
      case kDocSpec: {
        const TCutDocSpec& row = CurrentRow(*DocSpec, kOperation, table, field);
        return q ? row.Quantity : row.cq;
      }
      default:
        break;
    }
  throw EOrlixError(Format(cut_messages::kNoDoubleField, table, field));
}

void TCut::FirstNew(int32_t table) const {
  TBaseList& list = TableList(table);
  list.SetNew();
  list.FirstNew();
}

// ---- Print --------------------------------------------------------------------------

void TCut::Print(TLines& lines) {
  lines.push_back("Cut");
  lines.push_back(Format("ToDate=%s  InQuantity=%s  PayQuantity=%s  RetQuantity=%s IsPay=%d VerPay=%d",
                         FormatDate(to_date_).c_str(), FormatDouble(in_quantity_).c_str(),
                         FormatDouble(pay_quantity_).c_str(), FormatDouble(ret_quantity_).c_str(), is_pay_ ? 1 : 0,
                         ver_pay_ ? 1 : 0));
  PrintList(lines, "PartSpec", *PartSpec);
  PrintList(lines, "RetSpec", *RetSpec);
  PrintList(lines, "OutDocPay", *OutDocPay);
  PrintList(lines, "AnyPart", *AnyPart);
  PrintList(lines, "Chain", *Chain);
  lines.push_back("Cycle");
  Cycle->PrintCycles(lines);
  PrintList(lines, "DocSpec", *DocSpec);
  PrintList(lines, "DocHead", *DocHead);
}

}  // namespace orlix
