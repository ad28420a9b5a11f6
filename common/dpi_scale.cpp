#include "dpi_scale.h"

#include <cstdint>
#include <cstdlib>

int ScaleForDpi(int value, int dpi) {
  if (dpi <= 0 || dpi == kBaseDpi) return value;
  const int64_t product = int64_t(value) * dpi;
  const int64_t magnitude = (std::llabs(product) + kBaseDpi / 2) / kBaseDpi;
  return int(product < 0 ? -magnitude : magnitude);
}
