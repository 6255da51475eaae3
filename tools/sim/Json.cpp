#include "tools/sim/Json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string JsonText(const TJson& j) { return j.dump(-1, ' ', false, TJson::error_handler_t::replace); }

TJson Measured(double v) {
  if (!std::isfinite(v)) return nullptr;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  double r = std::strtod(buf, nullptr);
  if (r == std::trunc(r) && std::fabs(r) < 1e15) return static_cast<int64_t>(r);
  return r;
}
