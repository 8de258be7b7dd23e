// TCut: the write-off engine. A stored procedure appends party rows (goods
// per document and the document they came from), return rows and payment
// rows, sets the quantity to write off and two switches, runs Execute, and
// reads back what was cut from every row, per document and in total.
//
// Execute follows the goods along chains from a receipt from outside to an
// outgoing document that took them for good, oldest goods first, and takes
// the smallest quantity still available along a chain off every row of it.
// Cycles (goods coming back to a document already on their chain) are found
// and set aside first, and written off with the first chain through them.
// With VerPay an outgoing document gives only what its payments cover, and
// is charged against them; with IsPay the quantity is split between chains
// ending in an ordinary party and chains ending in a party with ot = 1.
//
// Calculation problems are result codes (CutResult), not failures; misuse
// (an unknown field, a field a table does not have, a table number outside
// 0..7, a field read off the rows, a quantity that is not a number) raises.
#ifndef ORLIX_CUT_CUT_H_
#define ORLIX_CUT_CUT_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "cut/cut_chain.h"
#include "cut/cut_lists.h"
#include "frame/format.h"
#include "frame/name_list.h"
#include "frame/registry.h"

namespace orlix {

class TCut final : public TObject {
 public:
  // Name in the thread's object registry.
  static constexpr const char* kRegistryName = "Cut";

  // Table numbers: positions in TableNames.
  enum Table : int32_t {
    kChain = 0,
    kAnyPart,
    kPartSpec,
    kRetSpec,
    kOutDocPay,
    kDocSpec,
    kDocHead,
    kCycle,
    kTableCount
  };
  // Field numbers of GetFieldNumber and the field readers.
  enum Field : int32_t {
    kFieldDocHead = 0,
    kFieldOutDocHead,
    kFieldMoveDocHead,
    kFieldPayHead,
    kFieldAccHead,
    kFieldQuantity,
    kFieldCutQ,
    kFieldDocList
  };
  // Most rows the stored cycles may take (about 60 MB).
  static constexpr int64_t kMaxCycleRows = 1'000'000;

  TCut();            // writes "TCut.Create"
  ~TCut() override;  // writes "TCut.Destroy"

  // Parameters and results to 0, flags off, every list but CycleWork emptied.
  void Clear();
  // Raises when a quantity or the date is NaN or infinite (nothing changes).
  void SetParams(double to_date, double in_quantity, double pay_quantity, double ret_quantity, bool is_pay,
                 bool ver_pay);
  // Appends put the list's cursor on the new row and return its position;
  // they raise on a NaN or infinite quantity or date.
  int AppendPartSpec(int32_t dh, int32_t mdh, double q, double d, int32_t pi, int32_t ot, int32_t dk, int32_t ci,
                     int32_t cp);
  int AppendRetSpec(int32_t dh, int32_t odh, int32_t mdh, double q, double d, int32_t pi, int32_t ci, int32_t cp);
  int AppendOutDocPay(int32_t dh, int32_t ph, int32_t ah, double pd, double ad, double q);

  // The calculation; a CutResult.
  int32_t Execute();
  // The report: parameters, every list, the chains a walk finds now.
  void Print(TLines& lines);

  // Position of the name (blanks around it and letter case ignored); -1.
  int GetTableNumber(std::string_view name) const;
  // 0..7 for the field names (lower-cased, trimmed); raises otherwise.
  static int GetFieldNumber(std::string_view name);
  int32_t GetFieldInteger(int32_t table, int32_t field) const;
  double GetFieldDouble(int32_t table, int32_t field) const;
  void FirstNew(int32_t table) const;
  void NextNew(int32_t table) const { TableList(table).NextNew(); }
  bool Eof(int32_t table) const { return TableList(table).Eof(); }
  // The table with that number; raises "List index (%d) out of bounds".
  TBaseList& TableList(int32_t table) const { return *TableNames.Object(table); }

  // The cut of one party or return row by key; 0 when there is none. The
  // cursor steps on first, so rows asked in the order Execute leaves them
  // are found at the cursor at once.
  double PartSpecCutQ(int32_t dh, int32_t mdh);
  double RetSpecCutQ(int32_t dh, int32_t odh, int32_t mdh);
  double GetCutQuantity(bool of_returns) const { return of_returns ? CutRetQuantity : CutQuantity; }

  double ToDate() const { return to_date_; }
  bool IsPay() const { return is_pay_; }
  bool VerPay() const { return ver_pay_; }

  const std::unique_ptr<TCutPartSpecList> PartSpec;
  const std::unique_ptr<TCutRetSpecList> RetSpec;
  const std::unique_ptr<TCutOutDocPayList> OutDocPay;
  const std::unique_ptr<TCutAnyPartList> AnyPart;
  const std::unique_ptr<TCutChainList> Chain;
  const std::unique_ptr<TCutCycleList> Cycle;
  const std::unique_ptr<TCutCycleList> CycleWork;
  const std::unique_ptr<TCutDocSpecList> DocSpec;
  const std::unique_ptr<TCutDocHeadList> DocHead;
  TNameList<TBaseList*> TableNames{false};  // entries do not own the lists

  // Limits of one calculation's chain search (tests lower them).
  int64_t MaxCycleRows = kMaxCycleRows;

 private:
  void BuildAnyParts();
  void CutChain();
  // What portion a may give: its quantity, or with VerPay for an outgoing
  // document also what its (and its return document's) payments cover.
  double LimitOf(const TCutAnyPart& a);
  // Charges an amount written off from portion a to its outgoing document's
  // payments and its return row; queues its return link when asked. False
  // with the code set when payments fall short.
  bool ChargeOutgoing(const TCutAnyPart& a, double amount, bool queue_link);
  // Queues cycle header c unless it is empty or queued already.
  void QueueCycle(int32_t c);
  void BuildDocSpec();
  void BuildDocHead();

  double to_date_ = 0.0;
  double in_quantity_ = 0.0;
  double pay_quantity_ = 0.0;
  double ret_quantity_ = 0.0;
  bool is_pay_ = false;
  bool ver_pay_ = false;
  double CutQuantity = 0.0;
  double CutRetQuantity = 0.0;
  double RestIn = 0.0;
  double RestPay = 0.0;
  double RestRet = 0.0;

  // Scratch of CutChain: the return and cycle queues, and a mark per cycle
  // header queued for the chain at hand.
  std::vector<int32_t> return_queue_;
  std::vector<int32_t> cycle_queue_;
  std::vector<uint32_t> cycle_queued_;
  uint32_t chain_mark_ = 0;
};

}  // namespace orlix

#endif  // ORLIX_CUT_CUT_H_
