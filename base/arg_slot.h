#pragma once
// The uniform calling contract of library commands: every argument and every
// result is one 12-byte slot of value, high half and type code.
#include <cstdint>

namespace vantorico {

enum TypeCode : uint32_t {
  kTypeOmitted = 0,
  kTypeByte = 0x80000101,
  kTypeShort = 0x80000201,
  kTypeInt = 0x80000301,
  kTypeLong = 0x80000401,
  kTypeFloat = 0x80000501,
  kTypeDouble = 0x80000601,
  kTypeBool = 0x80000002,
  kTypeDateTime = 0x80000003,
  kTypeText = 0x80000004,
  kTypeByteSet = 0x80000005,
};

// Marks an array of the type in the remaining bits.
constexpr uint32_t kTypeArrayFlag = 0x20000000;

inline bool IsArrayType(uint32_t type) {
  return (type & kTypeArrayFlag) != 0;
}
inline uint32_t ElementType(uint32_t type) {
  return type & ~kTypeArrayFlag;
}

// Unit type codes carried by a UnitRef slot.
enum UnitTypeCode : uint32_t {
  kUnitTypeWindow = 0x10001,
  kUnitTypeMenuEntry = 0x10003,
  kUnitTypeCommonDlg = 0x1001F,
  kUnitTypeDropTarget = 0x20001,
};

#pragma pack(push, 4)
struct ArgSlot {
  uint32_t value;
  uint32_t high;
  uint32_t type;
};
#pragma pack(pop)
static_assert(sizeof(ArgSlot) == 12, "ArgSlot is 12 bytes");

// A library command: result slot, argument count, first of count slots.
using LibraryCommand = void (*)(ArgSlot* result, int count, ArgSlot* args);

// Slot constructors for callers and tests. Pointers are stored in the 32-bit
// value on the 32-bit target; the native build keeps them in value+high.
inline ArgSlot IntSlot(int32_t v) {
  return {static_cast<uint32_t>(v), 0, kTypeInt};
}
inline ArgSlot BoolSlot(bool v) {
  return {v ? 1u : 0u, 0, kTypeBool};
}
inline ArgSlot OmittedSlot() {
  return {0, 0, kTypeOmitted};
}
inline ArgSlot PointerSlot(const void* p, uint32_t type) {
  const auto bits = reinterpret_cast<uintptr_t>(p);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(static_cast<uint64_t>(bits) >> 32),
          type};
}
inline ArgSlot TextSlot(const char* text) {
  return PointerSlot(text, kTypeText);
}

template <typename T>
T* SlotPointer(const ArgSlot& slot) {
  const uint64_t bits = (static_cast<uint64_t>(slot.high) << 32) | slot.value;
  return reinterpret_cast<T*>(static_cast<uintptr_t>(bits));
}
inline const char* SlotText(const ArgSlot& slot) {
  return SlotPointer<const char>(slot);
}
inline int32_t SlotInt(const ArgSlot& slot) {
  return static_cast<int32_t>(slot.value);
}

}  // namespace vantorico
