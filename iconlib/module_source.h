#pragma once
// Resource access to a program file opened as data: the one interface the
// engine reads modules through. The Windows build uses the platform loader;
// every build has the portable reader of PE32, PE32+ and 16-bit NE files.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/byte_cursor.h"

namespace vantorico {

// A resource name: a 16-bit integer identifier or a text.
struct ResourceName {
  bool isText = false;
  uint16_t id = 0;
  std::string text;
};

class ModuleSource {
 public:
  virtual ~ModuleSource() = default;
  // Calls visit once per name of the type, in directory order (text names
  // first, then integer identifiers), while visit returns true. False when
  // the module has no resources of that type.
  virtual bool EnumerateNames(uint16_t type,
                              const std::function<bool(const ResourceName&)>& visit) = 0;
  // The bytes of resource (name, type); they stay readable while the source lives.
  virtual bool FindResourceBytes(const ResourceName& name, uint16_t type, ByteSpan* bytes) = 0;
};

// Opens a program file for resource access only; null when the file is
// missing or is not a program file. Platform loader on Windows (with the
// portable reader for NE files that it refuses), portable reader elsewhere.
std::unique_ptr<ModuleSource> OpenModuleSource(const char* path);

// The portable reader over a whole file, or over bytes the caller keeps alive.
std::unique_ptr<ModuleSource> OpenPortableModule(const char* path);
std::unique_ptr<ModuleSource> OpenPortableModuleBytes(ByteSpan file);

// MZ with a PE or an NE header behind it.
bool IsPeModuleImage(ByteSpan file);
bool IsNeModuleImage(ByteSpan file);

// Text names compare as FindResourceA compares them: ASCII letters without case.
bool ResourceNamesEqual(const ResourceName& a, const ResourceName& b);

}  // namespace vantorico
