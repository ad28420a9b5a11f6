// Outside Windows there is no system digest API to call: digest rows keep
// their stored value.
#include "marlpane/rows/password_digest.h"

bool PasswordDigest(int32_t, const char16_t*, std::u16string& out) {
  out.clear();
  return false;
}
