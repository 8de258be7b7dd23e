#include "cut/cut_rows.h"

#include <cmath>

#include "frame/format.h"

namespace orlix {
namespace {
constexpr const char* kNil = "nil";

int Flag(bool value) { return value ? 1 : 0; }
}  // namespace

void SnappedSubtract(double& x, double y) {
  x -= y;
  if (std::fabs(x) <= kZeroTolerance) x = 0.0;
}

std::string TCutPartSpec::PrintLine() const {
  return Format("id=%d del=%d new=%d dh=%d mdh=%d q=%s cq=%s d=%s pi=%d ot=%d dk=%d ci=%d cp=%d", ID, Flag(Deleted),
                Flag(New), dh, mdh, FormatDouble(Quantity).c_str(), FormatDouble(cq).c_str(), FormatDate(d).c_str(), pi,
                ot, dk, ci, cp);
}

std::string TCutRetSpec::PrintLine() const {
  return Format("id=%d del=%d new=%d dh=%d odh=%d mdh=%d q=%s cq=%s d=%s pi=%d ci=%d cp=%d", ID, Flag(Deleted),
                Flag(New), dh, odh, mdh, FormatDouble(Quantity).c_str(), FormatDouble(cq).c_str(),
                FormatDate(d).c_str(), pi, ci, cp);
}

std::string TCutOutDocPay::PrintLine() const {
  return Format("id=%d del=%d new=%d dh=%d ph=%d pd=%s ah=%d ad=%s q=%s cq=%s", ID, Flag(Deleted), Flag(New), dh, ph,
                FormatDate(pd).c_str(), ah, FormatDate(ad).c_str(), FormatDouble(Quantity).c_str(),
                FormatDouble(cq).c_str());
}

std::string TCutAnyPart::PrintLine() const {
  const std::string rdh = ret ? Format("%d", ret->dh) : kNil;
  const std::string rd = ret ? FormatDate(ret->d) : kNil;
  std::string line =
      Format("id=%d del=%d new=%d dh=%d mdh=%d rdh=%s q=%s d=%s rd=%s c_ret_idx=%d", ID, Flag(Deleted), Flag(New),
             part ? part->dh : 0, part ? part->mdh : 0, rdh.c_str(), FormatDouble(Quantity).c_str(),
             part ? FormatDate(part->d).c_str() : kNil, rd.c_str(), c_ret_idx);
  if (!cycle_idx.empty()) {
    line += " cycle_idx=[";
    for (size_t i = 0; i < cycle_idx.size(); ++i) {
      if (i > 0) line += ',';
      line += std::to_string(cycle_idx[i]);
    }
    line += ']';
  }
  return line;
}

std::string TCutChain::PrintLine() const {
  return Format("idx=%d id=%d del=%d new=%d q=%s", idx, ID, Flag(Deleted), Flag(New), FormatDouble(Quantity).c_str());
}

std::string TCutDocSpec::PrintLine() const {
  return Format("id=%d del=%d new=%d dh=%d q=%s cq=%s ", ID, Flag(Deleted), Flag(New), dh,
                FormatDouble(Quantity).c_str(), FormatDouble(cq).c_str());
}

std::string TCutDocHead::PrintLine() const {
  return Format("id=%d del=%d new=%d dh=%d ", ID, Flag(Deleted), Flag(New), dh);
}

// A cycle row has no line of its own: the cycle list prints cycles whole.
std::string TCutCycle::PrintLine() const { return Format("ID=%d  Deleted=%d", ID, Flag(Deleted)); }

}  // namespace orlix
