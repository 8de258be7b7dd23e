#include "remains/ostatok.h"

#include <array>
#include <optional>
#include <vector>
#include <string>

#include "frame/failure.h"
#include "frame/log.h"
#include "remains/field_names.h"
#include "remains/remains_messages.h"

namespace orlix {
namespace {

constexpr std::array<std::string_view, 6> kFieldNames{"ostdate", "pack", "rz", "placeindex", "quantity",
                                                       "resquantity"};

struct TableSpec {
  const char* name;   // table name, the key of GetTableNumber
  const char* label;  // label of the list in Print
  bool use_date, use_pack, use_rz;
};
constexpr std::array<TableSpec, TOstatok::kTableCount> kTables{{
    {"ostatok_short", "OstShort", false, false, false},
    {"ostatok_pack", "OstPack", false, true, false},
    {"ostatok_rz", "OstSize", false, false, true},
    {"ostatok_packrz", "OstPackSize", false, true, true},
    {"ostdaily", "OstDaily", true, false, false},
    {"ostdaily_pack", "OstDailyPack", true, true, false},
    {"ostdaily_rz", "OstDailySize", true, false, true},
    {"ostdaily_packrz", "OstDailyPackSize", true, true, true},
}};

std::unique_ptr<TOstatokList> MakeTable(TOstatok::Table table) {
  const TableSpec& spec = kTables[table];
  return std::make_unique<TOstatokList>(spec.use_date, spec.use_pack, spec.use_rz);
}

// Folds every row of from into the target (the target's masking applies),
// then merges the target and marks all its rows new.
template <class From>
void FoldInto(const From& from, TOstatokList& to) {
  to.AppendFolding(from);
  to.MergeDuplicates();
  to.SetNew();
}

template <class List>
void PrintList(TLines& lines, const char* label, const List& list) {
  lines.push_back(label);
  list.Print(lines);
}

}  // namespace

TOstatok::TOstatok()
    : OstatokFull(std::make_unique<TMovementList>()),
      OstShort(MakeTable(kShort)),
      OstPack(MakeTable(kPack)),
      OstSize(MakeTable(kSize)),
      OstPackSize(MakeTable(kPackSize)),
      OstDaily(MakeTable(kDaily)),
      OstDailyPack(MakeTable(kDailyPack)),
      OstDailySize(MakeTable(kDailySize)),
      OstDailyPackSize(MakeTable(kDailyPackSize)),
      OstDailyWork(std::make_unique<TOstatokList>(true, true, true)) {
  const std::array<TOstatokList*, kTableCount> lists{OstShort.get(),    OstPack.get(),      OstSize.get(),
                                                     OstPackSize.get(), OstDaily.get(),     OstDailyPack.get(),
                                                     OstDailySize.get(), OstDailyPackSize.get()};
  for (int i = 0; i < kTableCount; ++i) TableNames.Add(kTables[i].name, lists[i]);
  WriteLog("TOstatok.Create");
}

TOstatok::~TOstatok() { WriteLog("TOstatok.Destroy"); }

void TOstatok::Clear() {
  OstatokFull->Clear();
  for (int i = 0; i < kTableCount; ++i) TableNames.Object(i)->Clear();
  OstDailyWork->Clear();
}

int TOstatok::Append(double date, int32_t pack, int32_t rz, int32_t placeindex, double quantity,
                     double resquantity) {
  return OstatokFull->Append(date, pack, rz, placeindex, quantity, resquantity);
}

void TOstatok::Execute() {
  OstatokFull->MergeDuplicates();

  // The daily part is planned (and a plan too large refused) before any
  // table changes, so a refused Execute leaves every table as it was.
  std::optional<TDaySpread> spread;
  if (Period >= kDailyPeriod && AnyDailyTable()) {
    std::vector<TDaySpread::TableKeys> daily;
    if (UseOstDaily) daily.push_back({false, false});
    if (UseOstDailyPack) daily.push_back({true, false});
    if (UseOstDailySize) daily.push_back({false, true});
    if (UseOstDailyPackSize) daily.push_back({true, true});
    spread.emplace(OstatokFull->Rows(), LastDate, daily, DailyRowLimit);
  }

  OstShort->Clear();
  OstPack->Clear();
  OstSize->Clear();
  OstPackSize->Clear();
  FoldInto(*OstatokFull, *OstShort);
  if (UseOstPack) FoldInto(*OstatokFull, *OstPack);
  if (UseOstSize) FoldInto(*OstatokFull, *OstSize);
  if (UseOstPackSize) FoldInto(*OstatokFull, *OstPackSize);

  // Without the daily part the daily tables keep what they held.
  if (!spread) return;
  spread->Emit(*OstDailyWork);
  OstDaily->Clear();
  OstDailyPack->Clear();
  OstDailySize->Clear();
  OstDailyPackSize->Clear();
  if (UseOstDaily) FoldInto(*OstDailyWork, *OstDaily);
  if (UseOstDailyPack) FoldInto(*OstDailyWork, *OstDailyPack);
  if (UseOstDailySize) FoldInto(*OstDailyWork, *OstDailySize);
  if (UseOstDailyPackSize) FoldInto(*OstDailyWork, *OstDailyPackSize);
}

// The name as given, letter case ignored. Only trailing spaces are cut: the
// server pads CHAR values with them, and SQL itself compares CHAR values
// without them; a leading blank or any other character counts.
int TOstatok::GetTableNumber(std::string_view name) const {
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  return TableNames.IndexOf(name);
}

int TOstatok::GetFieldNumber(std::string_view name) {
  const int field = PositionOf(kFieldNames, LowerTrimmed(name));
  if (field < 0)
    throw EOrlixError(std::string(remains_messages::kFieldNumberHead) + std::string(name) +
                      remains_messages::kFieldNumberTail);
  return field;
}

double TOstatok::GetFieldDate(int32_t table, int32_t field) const {
  const TOstatokList& list = TableList(table);
  if (!list.OnRecord()) return 0.0;
  if (field != kOstdate) throw EOrlixError(Format(remains_messages::kOstatokNoDateField, field, table));
  return list.Current().ostdate;
}

int32_t TOstatok::GetFieldInteger(int32_t table, int32_t field) const {
  const TOstatokList& list = TableList(table);
  if (field != kPackField && field != kRzField && field != kPlaceIndex)
    throw EOrlixError(Format(remains_messages::kOstatokNoIntegerField, field, table));
  if (!list.OnRecord()) return 0;
  const TOstatokItem& row = list.Current();
  return field == kPackField ? row.pack : (field == kRzField ? row.rz : row.placeindex);
}

double TOstatok::GetFieldDouble(int32_t table, int32_t field) const {
  const TOstatokList& list = TableList(table);
  if (field != kQuantity && field != kResQuantity)
    throw EOrlixError(Format(remains_messages::kOstatokNoDoubleField, field, table));
  if (!list.OnRecord()) return 0.0;
  return field == kQuantity ? list.Current().Quantity : list.Current().resquantity;
}

void TOstatok::Print(TLines& lines) const {
  lines.push_back("Ostatok");
  lines.push_back(Format("Period=%d  FirstDate=%s  LastDate=%s  MaxDate=%s  UseOstPack=%d  UseOstSize=%d  "
                         "UseOstPackSize=%d",
                         Period, FormatDate(FirstDate).c_str(), FormatDate(LastDate).c_str(),
                         FormatDate(MaxDate).c_str(), UseOstPack, UseOstSize, UseOstPackSize));
  lines.push_back(Format("UseOstDaily=%d  UseOstDailyPack=%d  UseOstDailySize=%d  UseOstDailyPackSize=%d",
                         UseOstDaily, UseOstDailyPack, UseOstDailySize, UseOstDailyPackSize));
  PrintList(lines, "OstatokFull", *OstatokFull);
  const std::array<bool, kTableCount> printed{true,        UseOstPack,      UseOstSize,      UseOstPackSize,
                                              UseOstDaily, UseOstDailyPack, UseOstDailySize, UseOstDailyPackSize};
  for (int i = 0; i < kTableCount; ++i)
    if (printed[i]) PrintList(lines, kTables[i].label, *TableNames.Object(i));
  lines.push_back("");
}

}  // namespace orlix
