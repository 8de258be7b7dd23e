// TOstatok: the remains engine. A stored procedure appends stock movements
// (date, pack, size, place, two quantities), runs Execute once, and reads
// eight balance tables: by place, optionally split by pack and/or size, and,
// when asked for, the same day by day as running balances up to LastDate.
// Rows are read by key lookup or by walking the rows no lookup has found.
#ifndef ORLIX_REMAINS_OSTATOK_H_
#define ORLIX_REMAINS_OSTATOK_H_

#include <cstdint>
#include <memory>
#include <string_view>

#include "frame/format.h"
#include "frame/name_list.h"
#include "frame/registry.h"
#include "remains/daily_spread.h"
#include "remains/movement_list.h"
#include "remains/ostatok_list.h"

namespace orlix {

class TOstatok final : public TObject {
 public:
  // Name in the thread's object registry.
  static constexpr const char* kRegistryName = "Ostatok";

  // Table numbers: positions in TableNames.
  enum Table : int32_t {
    kShort = 0,
    kPack,
    kSize,
    kPackSize,
    kDaily,
    kDailyPack,
    kDailySize,
    kDailyPackSize,
    kTableCount
  };
  // Field numbers of GetFieldNumber and the field readers.
  enum Field : int32_t { kOstdate = 0, kPackField, kRzField, kPlaceIndex, kQuantity, kResQuantity };
  // The daily tables are built only from this period on.
  static constexpr int32_t kDailyPeriod = 2;

  TOstatok();  // writes "TOstatok.Create"
  ~TOstatok() override;  // writes "TOstatok.Destroy"

  // Empties the input and every table; parameters and flags stay.
  void Clear();
  void Print(TLines& lines) const;
  int Append(double date, int32_t pack, int32_t rz, int32_t placeindex, double quantity, double resquantity);
  // Builds the tables the flags ask for from the input rows. The input is
  // merged in place but not spread, so a later Execute (after more Appends,
  // say) again sees each movement once.
  void Execute();

  // Position of the table name (letter case and trailing spaces ignored); -1.
  int GetTableNumber(std::string_view name) const;
  // 0..5 for the six field names (lower-cased, trimmed); raises otherwise.
  static int GetFieldNumber(std::string_view name);

  // The table with that number; raises "List index (%d) out of bounds".
  TOstatokList& TableList(int32_t table) const { return *TableNames.Object(table); }
  double GetQuantity(int32_t table, double date, int32_t pack, int32_t rz, int32_t placeindex) {
    return TableList(table).GetQuantity(date, pack, rz, placeindex);
  }
  double GetResQuantity(int32_t table) const { return TableList(table).GetResQuantity(); }
  double GetFieldDate(int32_t table, int32_t field) const;
  int32_t GetFieldInteger(int32_t table, int32_t field) const;
  double GetFieldDouble(int32_t table, int32_t field) const;
  void FirstNew(int32_t table) const { TableList(table).FirstNew(); }
  void NextNew(int32_t table) const { TableList(table).NextNew(); }
  bool Eof(int32_t table) const { return TableList(table).Eof(); }

  int32_t Period = 0;
  double FirstDate = 0.0;  // stored and printed only
  double LastDate = 0.0;   // last day of the daily tables
  double MaxDate = 0.0;    // stored and printed only
  bool UseOstPack = false;
  bool UseOstSize = false;
  bool UseOstPackSize = false;
  bool UseOstDaily = false;
  bool UseOstDailyPack = false;
  bool UseOstDailySize = false;
  bool UseOstDailyPackSize = false;
  // Most rows the daily part of one Execute may build (tests lower it).
  int DailyRowLimit = kMaxDailyRows;

  const std::unique_ptr<TMovementList> OstatokFull;
  const std::unique_ptr<TOstatokList> OstShort;
  const std::unique_ptr<TOstatokList> OstPack;
  const std::unique_ptr<TOstatokList> OstSize;
  const std::unique_ptr<TOstatokList> OstPackSize;
  const std::unique_ptr<TOstatokList> OstDaily;
  const std::unique_ptr<TOstatokList> OstDailyPack;
  const std::unique_ptr<TOstatokList> OstDailySize;
  const std::unique_ptr<TOstatokList> OstDailyPackSize;
  // The running balances of the last spreading; scratch, not a table.
  const std::unique_ptr<TOstatokList> OstDailyWork;
  TNameList<TOstatokList*> TableNames{false};  // entries do not own the lists

 private:
  bool AnyDailyTable() const { return UseOstDaily || UseOstDailyPack || UseOstDailySize || UseOstDailyPackSize; }
};

}  // namespace orlix

#endif  // ORLIX_REMAINS_OSTATOK_H_
