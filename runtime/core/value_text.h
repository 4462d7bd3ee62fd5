#pragma once
// Turning one ArgSlot into its text form, shared by ToText and ShowMessageBox.
#include <string>

#include "base/arg_slot.h"

namespace vantorico {

// The decimal (or "真"/"假", or date-time) form of a numeric, bool or date-time
// slot; empty for any other type.
std::string FormatScalarSlot(const ArgSlot& slot);

// The date-time form of an OLE date (days since 1899-12-30).
std::string FormatDateTime(double ole_date);

// The text a slot converts to (null for the empty text). Byte sets and numeric
// arrays give their bytes up to the first NUL.
char* SlotToText(const ArgSlot& slot);

}  // namespace vantorico
