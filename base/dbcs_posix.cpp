#include "base/dbcs.h"

namespace vantorico {

// The native build handles its texts as the Windows program does under code
// page 936, which its literals are compiled to.
LeadBytes SystemLeadBytes() {
  return LeadBytes::ForCodePage(936);
}

}  // namespace vantorico
