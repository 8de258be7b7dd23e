#include "reliability/roads.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <tuple>

namespace orlix::roads {

Module::Module(const std::string& module_path, const std::string& script_path) {
  handle_ = dlopen(module_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    error_ = dlerror();
    return;
  }
  std::ifstream in(script_path);
  std::stringstream script;
  script << in.rdbuf();
  const std::string text = script.str();
  const std::regex entry(R"(ENTRY_POINT\s+'(\w+)')");
  for (auto m = std::sregex_iterator(text.begin(), text.end(), entry); m != std::sregex_iterator(); ++m) {
    void* address = dlsym(handle_, (*m)[1].str().c_str());
    if (!address) error_ += "not exported: " + (*m)[1].str() + "\n";
    symbols_[(*m)[1]] = address;
  }
  if (symbols_.empty()) error_ += "no declaration in " + script_path;
}

Module::~Module() {
  // ORLIX_KEEP_MODULE keeps the library mapped, so a leak report can name its functions.
  if (handle_ && !std::getenv("ORLIX_KEEP_MODULE")) dlclose(handle_);
}

void* Module::Symbol(const std::string& name) const {
  const auto found = symbols_.find(name);
  if (found == symbols_.end() || !found->second) {
    std::fprintf(stderr, "roads: %s is not declared or not exported\n", name.c_str());
    std::abort();
  }
  return found->second;
}

void Module::SetLog(const std::string& path) const {
  reinterpret_cast<int32_t (*)(const char*)>(Symbol("ibOrlixSetLog"))(path.c_str());
}

Buffer::Buffer(const std::string& text, size_t declared) : bytes(declared + 1, '\0') {
  std::copy_n(text.begin(), std::min(text.size(), declared), bytes.begin());
}

namespace {

// Windows-1251 bytes: "строки" and "СТРОКИ", "таблица".
const std::string kStrings = "\xF1\xF2\xF0\xEE\xEA\xE8";
const std::string kStringsUpper = "\xD1\xD2\xD0\xCE\xCA\xC8";
const std::string kTable = "\xF2\xE0\xE1\xEB\xE8\xF6\xE0";

void StringListRoad(Caller& c, int seed, bool free_at_end) {
  const int n = 12 + seed % 5;
  const std::string name = kStrings + " " + std::to_string(seed);
  const int32_t h = c.Int("ibListStrCreate", 0, name.c_str());
  c.Check(h > 0, "create");
  std::vector<std::string> values;
  for (int i = 0; i < n; ++i) {
    values.push_back("doc-" + std::to_string(seed) + "-" + std::to_string(i * 11 % n));  // all distinct
    c.Check(c.Int("ibListStrAdd", 0, h, values.back().c_str()) == 1, "add");
  }
  c.Check(c.Int("ibListStrCount", 0, h) == n, "count");
  c.Check(c.Int("ibListStrByName", 0, (kStringsUpper + " " + std::to_string(seed)).c_str()) == h,
          "found by name in capitals");
  c.Check(c.Int("ibListStrExists", 0, h, values[3].c_str()) == 1, "a value exists");
  c.Check(c.Int("ibListStrExists", 0, h, "doc-absent") == 0, "an absent value does not");
  std::vector<std::string> sorted = values;
  std::sort(sorted.begin(), sorted.end());  // Exists left the list sorted by bytes
  c.Check(c.Str("ibListStrGetItemByIndex", true, h, 0) == sorted.front(), "first item after sorting");
  c.Check(c.Str("ibListStrGetItemByIndex", true, h, n - 1) == sorted.back(), "last item after sorting");
  c.Check(c.Int("ibListStrIndex", -1, h, sorted[5].c_str()) == 5, "index of an item");
  const std::string sub = "-" + std::to_string(seed) + "-1";
  const auto first_with_sub =
      std::find_if(sorted.begin(), sorted.end(), [&](const std::string& v) { return v.find(sub) != std::string::npos; });
  c.Check(c.Str("ibListStrGetItemBySubStr", false, h, Buffer(sub, 4096)) == *first_with_sub, "item by substring");
  c.Check(c.Int("ibListStrDelete", 0, h, values[0].c_str()) == 1 && c.Int("ibListStrCount", 0, h) == n - 1,
          "delete one");
  if (free_at_end) c.Check(c.Int("ibListStrFree", 0, h) == 1, "free");
}

void IntListRoad(Caller& c, int seed, bool free_at_end) {
  const int n = 20;
  const int low = seed * 1000 - n / 2;
  const int32_t h = c.Int("ibListIntCreate", 0, ("ints " + std::to_string(seed)).c_str());
  c.Check(h > 0, "create");
  for (int i = 0; i < n; ++i) c.Check(c.Int("ibListIntAdd", 0, h, low + i * 7 % n) == 1, "add");
  c.Check(c.Int("ibListIntCount", 0, h) == n, "count");
  c.Check(c.Int("ibListIntExists", 0, h, low + 3) == 1, "a value exists");
  c.Check(c.Int("ibListIntExists", 0, h, low + n) == 0, "an absent value does not");
  c.Check(c.Int("ibListIntIndexOf", -1, h, low + 11) == 11, "position after sorting");
  c.Check(c.Int("ibListIntGetItemByIndex", -1000, h, 4) == low + 4, "item by index");
  c.Check(c.Int("ibListIntDelete", 0, h, low) == 1 && c.Int("ibListIntCount", 0, h) == n - 1, "delete one");
  if (free_at_end) c.Check(c.Int("ibListIntFree", 0, h) == 1, "free");
}

void DoubleListRoad(Caller& c, int seed, bool free_at_end) {
  const int n = 16;
  const int32_t h = c.Int("ibListDoubleCreate", 0, ("doubles " + std::to_string(seed)).c_str());
  c.Check(h > 0, "create");
  for (int i = 0; i < n; ++i) c.Check(c.Int("ibListDoubleAdd", 0, h, seed + (i * 5 % n) * 0.25) == 1, "add");
  c.Check(c.Int("ibListDoubleCount", 0, h) == n, "count");
  c.Check(c.Int("ibListDoubleExists", 0, h, seed + 0.5) == 1, "a value exists");
  c.Check(c.Int("ibListDoubleExists", 0, h, seed + 0.6) == 0, "an inexact value does not");
  c.Check(c.Int("ibListDoubleSort", 0, h, 1) == 1, "sort");
  c.Check(c.Dbl("ibListDoubleGetItemByIndex", -1000.0, h, 0) == seed, "smallest first");
  c.Check(c.Int("ibListDoubleIndexOf", -1, h, seed + 0.5) == 2, "position after sorting");
  if (free_at_end) c.Check(c.Int("ibListDoubleFree", 0, h) == 1, "free");
}

// Grouping through a memory table: key, sum, count, max of strings, min of dates.
void MemTableRoad(Caller& c, int seed, bool free_at_end) {
  const int rows = 30, keys = 7;
  const int32_t t = c.Int("ibMemTableCreate", 0, (kTable + " " + std::to_string(seed)).c_str());
  c.Check(t > 0, "create");
  c.Check(c.Int("ibMemTableAddField", -1, t, "store", "int", 1, "miss") == 0 &&
              c.Int("ibMemTableAddField", -1, t, "qty", "double", 0, "sum") == 1 &&
              c.Int("ibMemTableAddField", -1, t, "moves", "int", 0, "count") == 2 &&
              c.Int("ibMemTableAddField", -1, t, "name", "string", 0, "max") == 3 &&
              c.Int("ibMemTableAddField", -1, t, "day", "date", 0, "min") == 4,
          "fields");
  struct Group {
    double qty = 0;
    int moves = 0;
    std::string name;
    int32_t day = INT32_MAX;
  };
  std::map<int, Group> groups;
  for (int i = 0; i < rows; ++i) {
    const int key = (i * 3 + seed) % keys;
    const std::string name = "n" + std::to_string((i * 7 + seed) % 10);
    const int32_t day = kBaseDay + (i * 5 + seed) % 13;
    Group& g = groups[key];
    g.qty += i * 0.5;
    ++g.moves;
    g.name = std::max(g.name, name);
    g.day = std::min(g.day, day);
    c.Check(c.Int("ibMemTableRowClear", 0, t) == 1 && c.Int("ibMemTableRowFieldSetInt", 0, t, 0, key) == 1 &&
                c.Int("ibMemTableRowFieldSetDouble", 0, t, 1, i * 0.5) == 1 &&
                c.Int("ibMemTableRowFieldSetInt", 0, t, 2, 1) == 1 &&
                c.Int("ibMemTableRowFieldSetStr", 0, t, 3, name.c_str()) == 1 &&
                c.Int("ibMemTableRowFieldSetDate", 0, t, 4, Day{day}) == 1,
            "work row");
    c.Int("ibMemTableInsert", -1, t);
  }
  int walked = 0;
  c.Int("ibMemTableFirst", 0, t);
  for (auto g = groups.begin(); g != groups.end() && c.Int("ibMemTableEOF", 1, t) == 0; ++g, ++walked) {
    c.Check(c.Int("ibMemTableFieldGetInt", 0, t, 0) == g->first, "keys in order");
    c.Check(c.Dbl("ibMemTableFieldGetDouble", 0.0, t, 1) == g->second.qty, "sum of a group");
    c.Check(c.Int("ibMemTableFieldGetInt", 0, t, 2) == g->second.moves, "count of a group");
    c.Check(c.Str("ibMemTableFieldGetStr", false, t, 3) == g->second.name, "max of a group");
    c.Check(c.Date("ibMemTableFieldGetDate", t, 4) == g->second.day, "min of a group");
    c.Int("ibMemTableNext", 0, t);
  }
  c.Check(walked == static_cast<int>(groups.size()) && c.Int("ibMemTableEOF", 1, t) == 1, "one row per key");
  const int key = seed % keys;
  c.Check(c.Int("ibMemTableRowClear", 0, t) == 1 && c.Int("ibMemTableRowFieldSetInt", 0, t, 0, key) == 1 &&
              c.Int("ibMemTableLocate", -1, t) == 1 && c.Dbl("ibMemTableFieldGetDouble", 0.0, t, 1) == groups[key].qty,
          "lookup by key");
  c.Check(c.Int("ibMemTableRowFieldSetInt", 0, t, 0, keys + 5) == 1 && c.Int("ibMemTableLocate", -1, t) == 0,
          "lookup of an absent key");
  if (free_at_end) c.Check(c.Int("ibMemTableFree", 0, t) == 1, "free");
}

// Remains: totals per place and daily running balances up to LastDate.
void RemainsRoad(Caller& c, int seed, bool free_at_end) {
  const int places = 3 + seed % 4;
  const int32_t last = kBaseDay + 6 + seed % 4, drop_day = kBaseDay + 4;
  c.Check(c.Int("ibOstatokCreate", 0, 0) == 1, "create");
  c.Check(c.Int("ibOstatokSetParams", 0, 2, Day{kBaseDay}, Day{last}, Day{last}) == 1 &&
              c.Int("ibOstatokSetUseParams", 0, 0, 0, 0, 1, 0, 0, 0) == 1,
          "parameters");
  std::map<std::pair<int, int32_t>, double> daily;  // (place, day) -> balance
  int row = 0;
  for (int p = 1; p <= places; ++p) {
    const double in = p + seed % 5 + 1.5, out = p * 0.25;
    const int32_t first = kBaseDay + 1 + p % 3;
    c.Check(c.Int("ibOstatokAppend", -1, Day{first}, seed % 3, 2, p, in, 0.0) == row++, "append");
    c.Check(c.Int("ibOstatokAppend", -1, Day{drop_day}, seed % 3, 2, p, -out, 0.0) == row++, "append");
    for (int32_t d = first; d <= last; ++d) daily[{p, d}] = d < drop_day ? in : in - out;
  }
  c.Check(c.Int("ibOstatokExecute", 0, 0) == 1, "execute");
  const int32_t totals = c.Int("ibOstatokGetTableNumber", -1, "ostatok_short");
  const int32_t days = c.Int("ibOstatokGetTableNumber", -1, "ostdaily");
  c.Check(totals == 0 && days == 4, "table numbers");
  for (int p = 1; p <= places; ++p)
    c.Check(c.Dbl("ibOstatokGetQuantity", 0.0, totals, Day{last}, 0, 0, p) == daily[{p, last}], "total of a place");
  const int32_t f_date = c.Int("ibOstatokGetFieldNumber", -1, "ostdate");
  const int32_t f_place = c.Int("ibOstatokGetFieldNumber", -1, "placeindex");
  const int32_t f_qty = c.Int("ibOstatokGetFieldNumber", -1, "quantity");
  size_t walked = 0;
  c.Int("ibOstatokFirstNew", 0, days);
  while (c.Int("ibOstatokEOF", 1, days) == 0 && walked <= daily.size()) {
    const auto key = std::make_pair(static_cast<int>(c.Int("ibOstatokGetFieldInteger", 0, days, f_place)),
                                    c.Date("ibOstatokGetFieldDate", days, f_date));
    const auto found = daily.find(key);
    c.Check(found != daily.end() && found->second == c.Dbl("ibOstatokGetFieldDouble", 0.0, days, f_qty),
            "a daily balance");
    ++walked;
    c.Int("ibOstatokNextNew", 0, days);
  }
  c.Check(walked == daily.size(), "one daily row per place and day");
  if (free_at_end) c.Check(c.Int("ibOstatokFree", 0, 0) == 1, "free");
}

// Store remains: sums per (pallet, assortment, pack, goods date).
void StoreRemainsRoad(Caller& c, int seed, bool free_at_end) {
  const int rows = 24;
  c.Check(c.Int("ibOstStoreCreate", 0, 0) == 1, "create");
  std::map<std::tuple<int, int, int, int32_t>, double> sums;  // palet, asrt, pack, date
  for (int k = 0; k < rows; ++k) {
    const int32_t date = kBaseDay + k % 3;
    const int pack = k % 2, asrt = seed % 5, palet = 10 + k % 4;
    c.Check(c.Int("ibOstStoreAppend", -1, Day{date}, pack, asrt, palet, k + 1.0) == k, "append");
    sums[{palet, asrt, pack, date}] += k + 1.0;
  }
  c.Check(c.Int("ibOstStoreExecute", 0, 0) == 1, "execute");
  const auto& [looked_up, looked_sum] = *sums.begin();
  const auto [palet, asrt, pack, date] = looked_up;
  c.Check(c.Dbl("ibOstStoreGetQuantity", 0.0, Day{date}, pack, asrt, palet) == looked_sum, "lookup by key");
  const int32_t f_date = c.Int("ibOstStoreGetFieldNumber", -1, "GOODDATE");
  const int32_t f_pack = c.Int("ibOstStoreGetFieldNumber", -1, "PACK");
  const int32_t f_asrt = c.Int("ibOstStoreGetFieldNumber", -1, "ASRT");
  const int32_t f_palet = c.Int("ibOstStoreGetFieldNumber", -1, "PALET");
  const int32_t f_qty = c.Int("ibOstStoreGetFieldNumber", -1, "QUANTITY");
  size_t walked = 0;
  c.Int("ibOstStoreFirstNew", 0, 0);
  while (c.Int("ibOstStoreEOF", 1, 0) == 0 && walked <= sums.size()) {
    const auto key = std::make_tuple(static_cast<int>(c.Int("ibOstStoreGetFieldInteger", 0, f_palet)),
                                     static_cast<int>(c.Int("ibOstStoreGetFieldInteger", 0, f_asrt)),
                                     static_cast<int>(c.Int("ibOstStoreGetFieldInteger", 0, f_pack)),
                                     c.Date("ibOstStoreGetFieldDate", f_date));
    const auto found = sums.find(key);
    c.Check(key != looked_up && found != sums.end() && found->second == c.Dbl("ibOstStoreGetFieldDouble", 0.0, f_qty),
            "an unread row");
    ++walked;
    c.Int("ibOstStoreNextNew", 0, 0);
  }
  c.Check(walked == sums.size() - 1, "every row but the one looked up is unread");
  if (free_at_end) c.Check(c.Int("ibOstStoreFree", 0, 0) == 1, "free");
}

// Batch calculation at place p: party a (day 1) and party b (day 3); sale s1
// on day 2 can take only a; sale s2 on day 5 takes the rest of a, then one
// of b (oldest first); return r on day 4 (s1's counterpart) gives one of a
// back from s1, as party (a, r); move m on day 6 takes two of b to place
// p + 10, where sale s3 takes one of the moved party (b, m).
void CalcPartRoad(Caller& c, int seed, bool free_at_end) {
  const int p = 1 + seed % 3, base = seed * 10, ci1 = 20 + seed % 5, ci2 = ci1 + 5;
  const int a = base + 1, b = base + 2, s1 = base + 3, s2 = base + 4, r = base + 5, m = base + 6, s3 = base + 7;
  const double qa = 3 + seed % 4, qb = 5 + seed % 3, q1 = 1 + seed % 2, q2 = qa - q1 + 1;
  const auto day = [](int d) { return Day{kBaseDay + d}; };
  c.Check(c.Int("ibCalcPartCreate", 0, 0) == 1 && c.Int("ibCalcPartClear", 0, 0) == 1, "create");
  c.Check(c.Int("ibCalcPartRemainsAppend", 0, a, -1, day(1), p, 0, 0, qa, 0) == 1 &&
              c.Int("ibCalcPartRemainsAppend", 0, b, -1, day(3), p, 0, 0, qb, 0) == 1 &&
              c.Int("ibCalcPartXPartAppend", 0, s1, -1, day(2), p, 0, 1, q1, 0, 0, ci1) == 1 &&
              c.Int("ibCalcPartXPartAppend", 0, s2, -1, day(5), p, 0, 1, q2, 0, 0, ci2) == 1 &&
              c.Int("ibCalcPartXPartAppend", 0, m, -1, day(6), p, 0, 2, 2.0, 0, 0, p + 10) == 1 &&
              c.Int("ibCalcPartXPartAppend", 0, s3, -1, day(7), p + 10, 0, 1, 1.0, 0, 0, ci1) == 1 &&
              c.Int("ibCalcPartXRetAppend", 0, r, -1, -1, day(4), p, 1.0, 0, ci1) == 1,
          "appends");
  c.Check(c.Int("ibCalcPartExecute", 0, 0) == 1, "execute");
  using Split = std::tuple<int, int, int>;  // consumption, party, move
  const std::map<Split, double> expected = {
      {{s1, a, -1}, q1}, {{s2, a, -1}, qa - q1}, {{s2, b, -1}, 1}, {{m, b, -1}, 2}, {{s3, b, m}, 1}};
  std::map<Split, double> walked;
  c.Int("ibCalcPartFirstNew", 0, "partspec");
  for (size_t n = 0; c.Int("ibCalcPartEOF", 1, "partspec") == 0 && n <= expected.size(); ++n) {
    const Split key{c.Int("ibCalcPartGetFieldInteger", -1, "partspec", "DocHead"),
                    c.Int("ibCalcPartGetFieldInteger", -1, "partspec", "InDocHead"),
                    c.Int("ibCalcPartGetFieldInteger", -1, "partspec", "MoveDocHead")};
    walked[key] += c.Dbl("ibCalcPartGetFieldDouble", -1.0, "partspec", "q");
    c.Int("ibCalcPartNextNew", 0, "partspec");
  }
  c.Check(walked == expected, "every split of the sales and the move, walked");
  c.Check(c.Dbl("ibCalcPartRetSpecGetQuantity", -1.0, r, s1, a, -1) == 1, "the return gives back party a of s1");
  c.Check(c.Dbl("ibCalcPartRemainsGetQuantity", -1.0, a, -1) == 0 &&
              c.Dbl("ibCalcPartRemainsGetQuantity", -1.0, a, r) == 1 &&
              c.Dbl("ibCalcPartRemainsGetQuantity", -1.0, b, -1) == qb - 3 &&
              c.Dbl("ibCalcPartRemainsGetQuantity", -1.0, b, m) == 1,
          "parties left");
  c.Check(c.Int("ibCalcPartCount", -1, "xpart") == 0 && c.Int("ibCalcPartCount", -1, "XRet") == 0,
          "nothing left open");
  if (free_at_end) c.Check(c.Int("ibCalcPartFree", 0, 0) == 1, "free");
}

// Write-off of t1's quantity and k more: chains go oldest first, each giving
// its smaller quantity; receipt r0 (day 0, kind 11) -> shipment t0 gives
// nothing, r1 (day 1) -> t1 gives all of t1, r2 (day 3) -> t2 gives k.
void CutRoad(Caller& c, int seed, bool free_at_end) {
  const int base = seed * 10, r0 = base + 1, t0 = base + 2, r1 = base + 3, t1 = base + 4, r2 = base + 5, t2 = base + 6;
  const double qr1 = 4 + seed % 5, qt1 = 2 + seed % 3, qr2 = 5 + seed % 4, qt2 = 3 + seed % 2, k = 1 + seed % 2;
  const auto day = [](int d) { return Day{kBaseDay + d}; };
  c.Check(c.Int("ibCutCreate", 0, 0) == 1 && c.Int("ibCutClear", 0, 0) == 1, "create");
  c.Check(c.Int("ibCutPartSpecAppend", 0, r0, -1, day(0), 0, 11, 0, 0, 0, 3.0) == 1 &&
              c.Int("ibCutPartSpecAppend", 0, t0, r0, day(1), 0, 1, 0, 0, 0, 2.0) == 1 &&
              c.Int("ibCutPartSpecAppend", 0, r1, -1, day(1), 0, 0, 0, 0, 0, qr1) == 1 &&
              c.Int("ibCutPartSpecAppend", 0, t1, r1, day(2), 0, 1, 0, 0, 0, qt1) == 1 &&
              c.Int("ibCutPartSpecAppend", 0, r2, -1, day(3), 0, 0, 0, 0, 0, qr2) == 1 &&
              c.Int("ibCutPartSpecAppend", 0, t2, r2, day(4), 0, 1, 0, 0, 0, qt2) == 1,
          "appends");
  c.Check(c.Int("ibCutSetParams", 0, day(30), qt1 + k, 0.0, 0.0, 0, 0) == 1 && c.Int("ibCutExecute", 2, 0) == 0,
          "execute");
  c.Check(c.Dbl("ibCutGetCutQuantity", 0.0, 0) == qt1 + k, "total cut");
  c.Check(c.Dbl("ibCutPartSpecCutQ", 0.0, r0, -1) == 0 && c.Dbl("ibCutPartSpecCutQ", 0.0, t0, r0) == 0 &&
              c.Dbl("ibCutPartSpecCutQ", 0.0, r1, -1) == qt1 && c.Dbl("ibCutPartSpecCutQ", 0.0, t1, r1) == qt1 &&
              c.Dbl("ibCutPartSpecCutQ", 0.0, r2, -1) == k && c.Dbl("ibCutPartSpecCutQ", 0.0, t2, r2) == k,
          "cut of every party");
  const std::map<int, std::pair<double, double>> expected = {  // document -> quantity, cut
      {r1, {qr1, qt1}}, {t1, {qt1, qt1}}, {r2, {qr2, k}}, {t2, {qt2, k}}};
  std::map<int, std::pair<double, double>> walked;
  const int32_t docspec = c.Int("ibCutGetTableNumber", -1, "docspec");
  const int32_t f_dh = c.Int("ibCutGetFieldNumber", -1, "dochead"), f_list = c.Int("ibCutGetFieldNumber", -1, "doclist");
  const int32_t f_q = c.Int("ibCutGetFieldNumber", -1, "quantity"), f_cq = c.Int("ibCutGetFieldNumber", -1, "cutq");
  c.Int("ibCutFirstNew", 0, docspec);
  for (size_t n = 0; c.Int("ibCutEOF", 1, docspec) == 0 && n <= expected.size(); ++n) {
    c.Check(c.Int("ibCutGetFieldInteger", -1, docspec, f_list) == 2, "a document's cut comes from its parties");
    walked[c.Int("ibCutGetFieldInteger", -1, docspec, f_dh)] = {c.Dbl("ibCutGetFieldDouble", 0.0, docspec, f_q),
                                                                c.Dbl("ibCutGetFieldDouble", 0.0, docspec, f_cq)};
    c.Int("ibCutNextNew", 0, docspec);
  }
  c.Check(walked == expected, "one docspec row per document with a cut");
  if (free_at_end) c.Check(c.Int("ibCutFree", 0, 0) == 1, "free");
}

}  // namespace

const std::vector<Road>& Roads() {
  static const std::vector<Road> roads = {
      {"string list", StringListRoad}, {"integer list", IntListRoad}, {"double list", DoubleListRoad},
      {"memory table", MemTableRoad},  {"remains", RemainsRoad},      {"store remains", StoreRemainsRoad},
      {"batch calculation", CalcPartRoad}, {"write-off", CutRoad},
  };
  return roads;
}

}  // namespace orlix::roads
