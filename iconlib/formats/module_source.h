#pragma once
// Resource access to a program file opened as data: the one interface the
// engine reads modules through. The Windows build uses the platform loader;
// every build has the portable reader of PE32, PE32+ and 16-bit NE files.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/formats/byte_source.h"
#include "iconlib/platform/file_io.h"
#include "iconlib/formats/language_choice.h"

namespace vantorico {

// A resource name: a 16-bit integer identifier or a text (UTF-8 from a PE
// file, the file's own bytes from an NE file, ANSI from the platform loader).
struct ResourceName {
  bool isText = false;
  uint16_t id = 0;
  std::string text;
  bool cut = false;  // text holds only the first kMaxResourceNameUnits units of a longer name
};

// Every reader indexes each resource type once per open: the names in
// enumeration order (text names first as stored, then identifiers
// ascending), reached by position, so a caller that goes through all the
// groups never looks a name up again.
class ModuleSource {
 public:
  virtual ~ModuleSource() = default;
  // How many names the type has; 0 when the module has none of that type.
  virtual uint32_t CountNames(uint16_t type) = 0;
  // The name at a position in enumeration order.
  virtual bool NameAt(uint16_t type, uint32_t ordinal, ResourceName* name) = 0;
  // The bytes of the resource at that position, in the preferred language;
  // they stay readable while the source lives.
  virtual bool BytesAt(uint16_t type, uint32_t ordinal, ByteSpan* bytes) = 0;
  // The bytes of resource (name, type), found as the platform finds it;
  // they too stay readable while the source lives.
  virtual bool FindResourceBytes(const ResourceName& name, uint16_t type, ByteSpan* bytes) = 0;

  // The resources of type with these identifiers are about to be asked for
  // (the images of a group): a reader by range reads them in as few reads
  // as it can. Only a hint; the others ignore it.
  virtual void ReadAhead(uint16_t type, const std::vector<uint16_t>& ids) { (void)type, (void)ids; }

  // The order of languages the reader's lookups take, set once right after
  // opening. Only the portable PE reader stores languages it can choose
  // between; it takes DataFileLanguageOrder() until told otherwise, and
  // the other readers ignore this.
  virtual void SetLanguageOrder(const LanguageOrder& order) { (void)order; }
  // The languages the resource at a position is stored in, in stored order,
  // and the position among them that lookups take. False when the reader
  // does not see languages (the platform loader; NE files have none).
  virtual bool LanguagesAt(uint16_t type, uint32_t ordinal, std::vector<uint16_t>* stored,
                           size_t* chosen) {
    (void)type, (void)ordinal, (void)stored, (void)chosen;
    return false;
  }

  // Whether the name at a position is the text name given (as
  // ResourceNamesEqual compares), however long the stored name is.
  virtual bool NameIs(uint16_t type, uint32_t ordinal, const std::string& text);

  // Calls visit once per name of the type, in enumeration order, while
  // visit returns true. False when the module has no resources of that type.
  bool EnumerateNames(uint16_t type, const std::function<bool(const ResourceName&)>& visit);
};

// Why the portable reader takes a file for no program file.
enum class ModuleRefusal {
  None,
  NoMzHeader,             // it does not start with "MZ"
  NoNewHeader,            // no "PE" or "NE" signature where the MZ header points
  PeHeaderCutShort,       // the COFF or optional header ends past the file
  UnknownOptionalHeader,  // the optional header is neither PE32 nor PE32+
  NeHeaderCutShort,       // the NE header ends before its resource table's offset
  ReadFailed,             // its headers could not be read (the file changed)
  NoMemory,
};
// A text for messages: "no MZ header", ...
const char* ModuleRefusalText(ModuleRefusal why);

// Opens a program file for resource access only; null when the file is
// missing or is not a program file. Platform loader on Windows (with the
// portable reader for NE files that it refuses), portable reader elsewhere.
std::unique_ptr<ModuleSource> OpenModuleSource(const char* path);

// The portable reader over a source it reads by range and keeps; null when
// it is no program file (or a read failed: the source's changed() says so).
std::unique_ptr<ModuleSource> OpenPortableModuleSource(std::unique_ptr<ByteSource> source,
                                                       ModuleRefusal* why = nullptr);
// The same over the file at path.
std::unique_ptr<ModuleSource> OpenPortableModule(const char* path);
// Over bytes the caller keeps alive.
std::unique_ptr<ModuleSource> OpenPortableModuleBytes(ByteSpan file);

// MZ with a PE or an NE header behind it.
bool IsPeModuleImage(ByteSpan file);
bool IsNeModuleImage(ByteSpan file);

// Text names compare as FindResourceA compares them: ASCII letters without case.
bool ResourceNamesEqual(const ResourceName& a, const ResourceName& b);

}  // namespace vantorico
