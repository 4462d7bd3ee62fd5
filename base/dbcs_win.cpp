#include <windows.h>

#include "base/dbcs.h"

namespace vantorico {

// The lead-byte ranges the system reports for its ANSI code page: pairs of
// first and last byte, ended by a pair of zeros.
LeadBytes SystemLeadBytes() {
  LeadBytes rules;
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info)) return rules;
  for (size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    rules.AddRange(info.LeadByte[i], info.LeadByte[i + 1]);
  }
  return rules;
}

}  // namespace vantorico
