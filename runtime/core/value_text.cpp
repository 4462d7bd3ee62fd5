#include "runtime/core/value_text.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/core/runtime_texts.h"
#include "runtime/core/texts.h"

namespace vantorico {
namespace {

// Fits every numeric form with room to spare.
constexpr size_t kNumberBufferSize = 100;

size_t NumericElementSize(uint32_t type) {
  switch (type) {
    case kTypeByte:
      return 1;
    case kTypeShort:
      return 2;
    case kTypeInt:
      return 4;
    case kTypeLong:
      return 8;
    case kTypeFloat:
      return 4;
    case kTypeDouble:
      return 8;
    default:
      return 0;
  }
}

uint64_t SlotBits64(const ArgSlot& slot) {
  return (uint64_t{slot.high} << 32) | slot.value;
}

double SlotDouble(const ArgSlot& slot) {
  const uint64_t bits = SlotBits64(slot);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// Bytes up to the first NUL, or all of them.
char* BytesToText(const uint8_t* bytes, size_t length) {
  const void* nul = length ? std::memchr(bytes, 0, length) : nullptr;
  if (nul) length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - bytes);
  return NewTextOfLength(reinterpret_cast<const char*>(bytes), length);
}

// Byte set: int32 1, int32 length, bytes. Array: int32 dimension count, one
// int32 element count per dimension, then the elements.
char* ContainerToText(const ArgSlot& slot) {
  const auto* record = SlotPointer<const uint8_t>(slot);
  if (!record) return nullptr;
  int32_t dims;
  std::memcpy(&dims, record, sizeof dims);
  if (slot.type == kTypeByteSet) {
    int32_t length;
    std::memcpy(&length, record + 4, sizeof length);
    return length > 0 ? BytesToText(record + 8, static_cast<size_t>(length)) : nullptr;
  }
  const size_t element = NumericElementSize(ElementType(slot.type));
  if (element == 0 || dims <= 0) return nullptr;
  uint64_t count = 1;
  for (int32_t d = 0; d < dims; ++d) {
    int32_t n;
    std::memcpy(&n, record + 4 + 4 * d, sizeof n);
    if (n <= 0) return nullptr;
    count *= static_cast<uint64_t>(n);
    if (count > SIZE_MAX / element) return nullptr;
  }
  return BytesToText(record + 4 + 4 * static_cast<size_t>(dims), count * element);
}

}  // namespace

std::string FormatDateTime(double ole_date) {
  // Civil date from days since 1899-12-30 (Howard Hinnant's days-to-civil).
  const double whole_days = std::floor(ole_date);
  int64_t seconds = std::llround((ole_date - whole_days) * 86400.0);
  int64_t z = static_cast<int64_t>(whole_days) - 25569 + 719468;  // to days since 0000-03-01
  if (seconds >= 86400) {
    seconds -= 86400;
    ++z;
  }
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char buf[kNumberBufferSize];
  std::snprintf(buf, sizeof buf,
                "%" PRId64 "年%" PRId64 "月%" PRId64 "日%" PRId64 "时%" PRId64 "分%" PRId64 "秒",
                year, month, day, seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buf;
}

std::string FormatScalarSlot(const ArgSlot& slot) {
  char buf[kNumberBufferSize];
  switch (slot.type) {
    case kTypeByte:
      std::snprintf(buf, sizeof buf, "%u", static_cast<unsigned>(slot.value & 0xFF));
      return buf;
    case kTypeShort:
      std::snprintf(buf, sizeof buf, "%d", static_cast<int>(static_cast<int16_t>(slot.value)));
      return buf;
    case kTypeInt:
      std::snprintf(buf, sizeof buf, "%d", static_cast<int>(static_cast<int32_t>(slot.value)));
      return buf;
    case kTypeLong:
      std::snprintf(buf, sizeof buf, "%" PRId64, static_cast<int64_t>(SlotBits64(slot)));
      return buf;
    case kTypeFloat: {
      float f;
      std::memcpy(&f, &slot.value, sizeof f);
      std::snprintf(buf, sizeof buf, "%.6g", static_cast<double>(f));
      return buf;
    }
    case kTypeDouble:
      std::snprintf(buf, sizeof buf, "%.13g", SlotDouble(slot));
      return buf;
    case kTypeBool:
      return slot.value ? kTextTrue : kTextFalse;
    case kTypeDateTime:
      return FormatDateTime(SlotDouble(slot));
    default:
      return std::string();
  }
}

char* SlotToText(const ArgSlot& slot) {
  if (slot.type == kTypeByteSet || IsArrayType(slot.type)) return ContainerToText(slot);
  if (slot.type == kTypeText) return NewText(SlotText(slot));
  const std::string text = FormatScalarSlot(slot);
  return NewText(text.c_str());
}

}  // namespace vantorico
