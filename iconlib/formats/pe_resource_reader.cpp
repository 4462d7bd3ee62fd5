// The resource directory of PE32 and PE32+ files. The directory has exactly
// three levels (type, name, language); the reader descends those three and no
// further, so a directory whose entries point back at itself cannot loop.
// Each type's name level is read and ordered once per open; text names are
// decoded only when asked for, and each language level is resolved once.
#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "iconlib/formats/language_choice.h"
#include "iconlib/formats/module_format.h"
#include "iconlib/formats/portable_module.h"
#include "iconlib/formats/source_reader.h"

namespace vantorico {
namespace {

struct Section {
  uint32_t virtualAddress;
  uint32_t rawSize;
  uint32_t rawPointer;
};

struct DirectoryEntry {
  uint32_t name;
  uint32_t target;
};

bool IsTextName(uint32_t raw) {
  return (raw & kResourceHighBit) != 0;
}

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// UTF-8 to UTF-16; false for bytes that are not UTF-8.
bool Utf16Of(const std::string& utf8, std::u16string* out) {
  out->clear();
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<uint8_t>(utf8[i]);
    uint32_t cp;
    size_t n;
    if (b < 0x80) {
      cp = b, n = 1;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F, n = 2;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F, n = 3;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07, n = 4;
    } else {
      return false;
    }
    if (i + n > utf8.size()) return false;
    for (size_t k = 1; k < n; ++k) {
      const auto c = static_cast<uint8_t>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    i += n;
    if (cp >= 0x10000) {
      out->push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(cp));
    }
  }
  return true;
}

class PeResources final : public ModuleSource {
 public:
  PeResources(std::unique_ptr<SourceReader> file, std::vector<Section> sections, uint32_t rootRva)
      : file_(std::move(file)),
        sections_(std::move(sections)),
        rootRva_(rootRva),
        languageOrder_(DataFileLanguageOrder()) {}

  void SetLanguageOrder(const LanguageOrder& order) override {
    languageOrder_ = order;
    leaves_.clear();  // each was resolved under the previous order
  }

  bool LanguagesAt(uint16_t type, uint32_t ordinal, std::vector<uint16_t>* stored,
                   size_t* chosen) override {
    const DirectoryEntry* e = EntryAt(type, ordinal);
    uint64_t lang_dir;
    std::vector<DirectoryEntry> langs;
    if (!e || !(e->target & kResourceHighBit) || !DirectoryOffset(e->target, &lang_dir) ||
        !ReadDirectory(lang_dir, &langs) || langs.empty()) {
      return false;
    }
    const size_t pick = ChosenLanguage(langs);
    stored->clear();
    *chosen = 0;
    for (size_t i = 0; i < langs.size(); ++i) {
      // A language level entry with a text name is no language a lookup can ask for.
      if (IsTextName(langs[i].name)) continue;
      if (i == pick) *chosen = stored->size();
      stored->push_back(static_cast<uint16_t>(langs[i].name));
    }
    return !stored->empty();
  }

  uint32_t CountNames(uint16_t type) override {
    const TypeIndex* index = IndexOfType(type);
    return index ? static_cast<uint32_t>(index->order.order.size()) : 0;
  }

  bool NameAt(uint16_t type, uint32_t ordinal, ResourceName* name) override {
    const DirectoryEntry* e = EntryAt(type, ordinal);
    return e && DecodeName(e->name, name);
  }

  bool NameIs(uint16_t type, uint32_t ordinal, const std::string& text) override {
    const DirectoryEntry* e = EntryAt(type, ordinal);
    return e && IsTextName(e->name) && TextNameIs(e->name, text);
  }

  bool BytesAt(uint16_t type, uint32_t ordinal, ByteSpan* bytes) override {
    const DirectoryEntry* e = EntryAt(type, ordinal);
    return e && BytesOf(*e, bytes);
  }

  void ReadAhead(uint16_t type, const std::vector<uint16_t>& ids) override {
    const TypeIndex* index = IndexOfType(type);
    if (!index) return;
    const auto id_of = [&](uint32_t pos) {
      return static_cast<uint16_t>(index->entries[pos].name);
    };
    std::vector<std::pair<uint64_t, size_t>> ranges;
    for (uint16_t id : ids) {
      const int64_t at = FindById(index->order, id, id_of);
      const Leaf* leaf = at >= 0 ? LeafOf(index->entries[static_cast<size_t>(at)]) : nullptr;
      if (leaf && leaf->size > 0) ranges.emplace_back(leaf->offset, leaf->size);
    }
    file_->KeepAhead(std::move(ranges));
  }

  bool FindResourceBytes(const ResourceName& name, uint16_t type, ByteSpan* bytes) override {
    const TypeIndex* index = IndexOfType(type);
    if (!index) return false;
    const auto id_of = [&](uint32_t pos) {
      return static_cast<uint16_t>(index->entries[pos].name);
    };
    if (!name.isText) {
      const int64_t at = FindById(index->order, name.id, id_of);
      return at >= 0 && BytesOf(index->entries[static_cast<size_t>(at)], bytes);
    }
    // Text lookups are rare (the caller names one group); a walk is enough.
    // A cut name finds the first stored name it is the start of.
    for (const DirectoryEntry& e : index->entries) {
      if (!IsTextName(e.name)) continue;
      ResourceName stored;
      const bool hit = name.cut ? DecodeName(e.name, &stored) && stored.cut &&
                                      ResourceNamesEqual(stored, ResourceName{true, 0, name.text})
                                : TextNameIs(e.name, name.text);
      if (hit) return BytesOf(e, bytes);
    }
    return false;
  }

 private:
  struct TypeIndex {
    std::vector<DirectoryEntry> entries;  // as stored
    NameOrder order;
  };

  bool RvaToOffset(uint64_t rva, uint64_t* offset) const {
    for (const Section& s : sections_) {
      if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
        const uint64_t off = rva - s.virtualAddress + s.rawPointer;
        if (off >= file_->size()) return false;
        *offset = off;
        return true;
      }
    }
    return false;
  }

  // An offset inside the resource directory, which entries count from its root.
  bool DirectoryOffset(uint32_t relative, uint64_t* offset) const {
    return RvaToOffset(uint64_t{rootRva_} + (relative & kResourceOffsetMask), offset);
  }

  // Entries of the directory at a file offset, named and numbered together.
  bool ReadDirectory(uint64_t offset, std::vector<DirectoryEntry>* out) const {
    ByteSpan header;
    if (!file_->Peek(offset, kResourceDirectoryHeaderSize, &header)) return false;
    const ByteCursor h(header);
    uint16_t named = 0, ids = 0;
    if (!h.PeekU16At(kResourceNamedCountOffset, &named) ||
        !h.PeekU16At(kResourceIdCountOffset, &ids)) {
      return false;
    }
    // At most 2 x 65535 entries; each must lie inside the file.
    const size_t count = size_t{named} + ids;
    ByteSpan table;
    if (!file_->Peek(offset + kResourceDirectoryHeaderSize, count * kResourceEntrySize, &table)) {
      return false;
    }
    ByteCursor c(table);
    out->resize(count);
    for (DirectoryEntry& e : *out) {
      if (!c.ReadU32(&e.name) || !c.ReadU32(&e.target)) return false;
    }
    return true;
  }

  bool DecodeName(uint32_t raw, ResourceName* name) const {
    if (!IsTextName(raw)) {
      // An integer name keeps its low 16 bits, as a resource identifier does.
      name->isText = false;
      name->id = static_cast<uint16_t>(raw);
      name->text.clear();
      return true;
    }
    uint64_t offset;
    uint16_t stored = 0;
    if (!DirectoryOffset(raw, &offset) || !file_->U16At(offset, &stored)) return false;
    const uint16_t length = stored > kMaxResourceNameUnits ? kMaxResourceNameUnits : stored;
    ByteSpan units;
    if (!file_->Peek(offset + sizeof(uint16_t), size_t{length} * sizeof(uint16_t), &units)) {
      return false;
    }
    ByteCursor c(units);
    name->isText = true;
    name->id = 0;
    name->cut = stored > length;
    name->text.clear();
    for (uint16_t i = 0; i < length; ++i) {
      uint16_t unit = 0;
      if (!c.ReadU16(&unit)) return false;
      uint32_t cp = unit;
      if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < length) {
        uint16_t low = 0;
        if (c.PeekU16At(c.position(), &low) && low >= 0xDC00 && low < 0xE000) {
          c.Skip(sizeof(uint16_t));
          ++i;
          cp = 0x10000 + ((uint32_t{unit} - 0xD800) << 10) + (low - 0xDC00);
        } else {
          cp = 0xFFFD;
        }
      } else if (unit >= 0xD800 && unit < 0xE000) {
        cp = 0xFFFD;
      }
      AppendUtf8(cp, &name->text);
    }
    return true;
  }

  // The stored UTF-16 units of a text name that lies wholly inside the file.
  // They stay readable until the next read of the directory.
  bool TextNameUnits(uint32_t raw, ByteSpan* units) const {
    uint64_t offset;
    uint16_t length = 0;
    return DirectoryOffset(raw, &offset) && file_->U16At(offset, &length) &&
           file_->Peek(offset + sizeof(uint16_t), size_t{length} * sizeof(uint16_t), units);
  }

  // Whether a text name lies inside the file, without reading its units.
  bool TextNameReadable(uint32_t raw) const {
    uint64_t offset;
    uint16_t length = 0;
    return DirectoryOffset(raw, &offset) && file_->U16At(offset, &length) &&
           file_->size() - offset - sizeof(uint16_t) >= uint64_t{length} * sizeof(uint16_t);
  }

  // Whether the stored text name is text (UTF-8, ASCII letters without
  // case), compared unit by unit: a long name costs its length only when
  // text is as long, and once per stored place.
  bool TextNameIs(uint32_t raw, const std::string& text) {
    ByteSpan units;
    if (!TextNameUnits(raw, &units)) return false;
    std::u16string wanted;
    if (!Utf16Of(text, &wanted) || wanted.size() * sizeof(uint16_t) != units.size()) return false;
    const size_t place = raw & kResourceOffsetMask;
    if (place == comparedPlace_ && text == comparedText_) return comparedResult_;
    const ByteCursor c(units);
    bool same = true;
    for (size_t i = 0; i < wanted.size() && same; ++i) {
      uint16_t unit = 0;
      c.PeekU16At(i * sizeof(uint16_t), &unit);
      const auto lower = [](uint32_t u) { return u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u; };
      same = lower(unit) == lower(wanted[i]);
    }
    comparedPlace_ = place;
    comparedText_ = text;
    comparedResult_ = same;
    return same;
  }

  bool FindTypeDirectory(uint16_t type, uint64_t* offset) const {
    uint64_t root;
    std::vector<DirectoryEntry> entries;
    if (rootRva_ == 0) return false;  // no resource directory
    if (!RvaToOffset(rootRva_, &root) || !ReadDirectory(root, &entries)) return false;
    for (const DirectoryEntry& e : entries) {
      if (IsTextName(e.name) || static_cast<uint16_t>(e.name) != type) continue;
      if (!(e.target & kResourceHighBit)) return false;
      return DirectoryOffset(e.target, offset);
    }
    return false;
  }

  const TypeIndex* IndexOfType(uint16_t type) {
    const auto known = types_.find(type);
    if (known != types_.end()) return known->second.get();
    std::unique_ptr<TypeIndex> index(new (std::nothrow) TypeIndex());
    uint64_t type_dir;
    std::vector<DirectoryEntry> stored;
    if (index && FindTypeDirectory(type, &type_dir) && ReadDirectory(type_dir, &stored)) {
      // A text name that does not lie inside the file is no name at all: the
      // platform would not find it either. A long one is a name (cut when shown).
      index->entries.reserve(stored.size());
      for (const DirectoryEntry& e : stored) {
        if (!IsTextName(e.name) || TextNameReadable(e.name)) index->entries.push_back(e);
      }
      const auto& entries = index->entries;
      index->order = OrderNames(
          static_cast<uint32_t>(entries.size()),
          [&](uint32_t i) { return IsTextName(entries[i].name); },
          [&](uint32_t i) { return static_cast<uint16_t>(entries[i].name); });
    } else {
      index.reset();
    }
    const TypeIndex* result = index.get();
    types_[type] = std::move(index);  // a missing type is remembered as such
    return result;
  }

  const DirectoryEntry* EntryAt(uint16_t type, uint32_t ordinal) {
    const TypeIndex* index = IndexOfType(type);
    if (!index || ordinal >= index->order.order.size()) return nullptr;
    return &index->entries[index->order.order[ordinal]];
  }

  // The data leaf of an entry in the language the order takes; null when
  // it has none that lies in the file. Many names may share one language
  // level; each is resolved once.
  struct Leaf;
  const Leaf* LeafOf(const DirectoryEntry& e) {
    if (!(e.target & kResourceHighBit)) return nullptr;
    uint64_t lang_dir;
    if (!DirectoryOffset(e.target, &lang_dir)) return nullptr;
    auto known = leaves_.find(lang_dir);
    if (known == leaves_.end()) {
      Leaf leaf;
      leaf.ok = ReadLanguageLeaf(lang_dir, &leaf);
      known = leaves_.emplace(lang_dir, leaf).first;
    }
    return known->second.ok ? &known->second : nullptr;
  }

  // Its bytes are read when first asked for.
  bool BytesOf(const DirectoryEntry& e, ByteSpan* bytes) {
    const Leaf* leaf = LeafOf(e);
    if (!leaf) return false;
    if (leaf->size == 0) {
      *bytes = ByteSpan();
      return true;
    }
    return file_->Keep(leaf->offset, leaf->size, bytes);
  }

  // The position of the first language of the order present, else 0 (the first stored).
  size_t ChosenLanguage(const std::vector<DirectoryEntry>& langs) const {
    for (uint16_t wanted : languageOrder_) {
      for (size_t i = 0; i < langs.size(); ++i) {
        if (!IsTextName(langs[i].name) && static_cast<uint16_t>(langs[i].name) == wanted) return i;
      }
    }
    return 0;
  }

  // The language level: the language the order picks; its entry must be a
  // data leaf whose bytes lie in the file.
  struct Leaf {
    bool ok = false;
    uint64_t offset = 0;
    size_t size = 0;
  };

  bool ReadLanguageLeaf(uint64_t lang_dir, Leaf* out) const {
    std::vector<DirectoryEntry> langs;
    if (!ReadDirectory(lang_dir, &langs) || langs.empty()) return false;
    const DirectoryEntry* chosen = &langs[ChosenLanguage(langs)];
    if (chosen->target & kResourceHighBit) return false;
    uint64_t leaf_offset;
    if (!DirectoryOffset(chosen->target, &leaf_offset)) return false;
    ByteSpan leaf;
    if (!file_->Peek(leaf_offset, kResourceDataEntrySize, &leaf)) return false;
    const ByteCursor c(leaf);
    uint32_t data_rva = 0, size = 0;
    if (!c.PeekU32At(0, &data_rva) || !c.PeekU32At(sizeof(uint32_t), &size)) return false;
    out->size = size;
    if (size == 0) return true;
    return RvaToOffset(data_rva, &out->offset) && out->offset <= file_->size() &&
           size <= file_->size() - out->offset;
  }

  std::unique_ptr<SourceReader> file_;
  std::vector<Section> sections_;
  uint32_t rootRva_;
  LanguageOrder languageOrder_;
  std::map<uint16_t, std::unique_ptr<TypeIndex>> types_;
  std::unordered_map<uint64_t, Leaf> leaves_;
  // The last whole-name comparison: names that share their place in the file
  // (a hostile directory) are compared once.
  size_t comparedPlace_ = SIZE_MAX;
  std::string comparedText_;
  bool comparedResult_ = false;
};

}  // namespace

// The PE header's offset, when the reader's bytes are MZ with a PE header behind it.
bool PeHeaderOffset(SourceReader& file, uint32_t* pe_offset) {
  uint16_t mz = 0;
  uint32_t signature = 0;
  return file.U16At(0, &mz) && mz == kMzSignature && file.U32At(kMzNewHeaderOffset, pe_offset) &&
         file.U32At(*pe_offset, &signature) && signature == kPeSignature;
}

bool IsPeModule(SourceReader& file) {
  uint32_t pe_offset = 0;
  return PeHeaderOffset(file, &pe_offset);
}

bool IsPeModuleImage(ByteSpan file) {
  const std::unique_ptr<SourceReader> reader = ReaderOfBytes(file);
  return reader && IsPeModule(*reader);
}

std::unique_ptr<ModuleSource> OpenPeResources(std::unique_ptr<SourceReader> file,
                                              ModuleRefusal* why) {
  uint32_t pe_offset = 0;
  if (!file) return RefuseModule(file.get(), ModuleRefusal::NoMemory, why);
  if (!PeHeaderOffset(*file, &pe_offset))
    return RefuseModule(file.get(), ModuleHeaderRefusal(*file), why);
  SourceReader& c = *file;
  const uint64_t coff = uint64_t{pe_offset} + kPeSignatureSize;
  uint16_t section_count = 0, optional_size = 0, magic = 0;
  if (!c.U16At(coff + kCoffSectionCountOffset, &section_count) ||
      !c.U16At(coff + kCoffOptionalSizeOffset, &optional_size)) {
    return RefuseModule(file.get(), ModuleRefusal::PeHeaderCutShort, why);
  }
  const uint64_t optional = coff + kCoffHeaderSize;
  if (!c.U16At(optional, &magic))
    return RefuseModule(file.get(), ModuleRefusal::PeHeaderCutShort, why);
  uint64_t count_offset;
  if (magic == kPe32Magic) {
    count_offset = optional + kPe32DirectoryCountOffset;
  } else if (magic == kPe32PlusMagic) {
    count_offset = optional + kPe32PlusDirectoryCountOffset;
  } else {
    return RefuseModule(file.get(), ModuleRefusal::UnknownOptionalHeader, why);
  }
  uint32_t directory_count = 0;
  if (!c.U32At(count_offset, &directory_count))
    return RefuseModule(file.get(), ModuleRefusal::PeHeaderCutShort, why);
  uint32_t root_rva = 0;
  const uint64_t resource_entry =
      count_offset + sizeof(uint32_t) + kResourceDirectoryIndex * kDataDirectorySize;
  if (directory_count > kResourceDirectoryIndex && !c.U32At(resource_entry, &root_rva)) {
    return RefuseModule(file.get(), ModuleRefusal::PeHeaderCutShort, why);
  }
  // The section table lies after the optional header; its count is 16 bits
  // and every header read is bounds-checked, so a hostile count costs little.
  std::vector<Section> sections;
  const uint64_t table = optional + optional_size;
  for (uint16_t i = 0; i < section_count; ++i) {
    const uint64_t at = table + uint64_t{i} * kSectionHeaderSize;
    Section s{};
    if (!c.U32At(at + kSectionVirtualAddressOffset, &s.virtualAddress) ||
        !c.U32At(at + kSectionRawSizeOffset, &s.rawSize) ||
        !c.U32At(at + kSectionRawPointerOffset, &s.rawPointer)) {
      break;
    }
    sections.push_back(s);
  }
  if (file->changed()) return RefuseModule(file.get(), ModuleRefusal::ReadFailed, why);
  std::unique_ptr<ModuleSource> out(
      new (std::nothrow) PeResources(std::move(file), std::move(sections), root_rva));
  return OpenedModule(std::move(out), why);
}

std::unique_ptr<ModuleSource> OpenPeResources(ByteSpan file) {
  return OpenPeResources(ReaderOfBytes(file));
}

}  // namespace vantorico
