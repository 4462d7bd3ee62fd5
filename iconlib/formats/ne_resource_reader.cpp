// The resource table of 16-bit NE files (icon libraries, old drivers). It is
// a flat list of type records, each followed by its name records, ended by a
// type id of 0; every record is at least 8 bytes and read through the cursor,
// so the walk ends at the file's end at the latest. Each type's records are
// collected and ordered once per open.
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "iconlib/formats/module_format.h"
#include "iconlib/formats/portable_module.h"
#include "iconlib/formats/source_reader.h"

namespace vantorico {
namespace {

struct NeResource {
  bool isText = false;
  uint16_t id = 0;
  uint16_t nameOffset = 0;  // of a text name, from the table's start
  uint64_t start = 0;       // of its bytes in the file
  size_t size = 0;
  bool bytesValid = false;
};

class NeResources final : public ModuleSource {
 public:
  NeResources(std::unique_ptr<SourceReader> file, uint64_t table)
      : file_(std::move(file)), table_(table) {}

  uint32_t CountNames(uint16_t type) override {
    const TypeIndex* index = IndexOfType(type);
    return index ? static_cast<uint32_t>(index->order.order.size()) : 0;
  }

  bool NameAt(uint16_t type, uint32_t ordinal, ResourceName* name) override {
    const NeResource* r = ResourceAt(type, ordinal);
    return r && NameOf(*r, name);
  }

  bool BytesAt(uint16_t type, uint32_t ordinal, ByteSpan* bytes) override {
    const NeResource* r = ResourceAt(type, ordinal);
    return r && BytesOf(*r, bytes);
  }

  bool FindResourceBytes(const ResourceName& name, uint16_t type, ByteSpan* bytes) override {
    const TypeIndex* index = IndexOfType(type);
    if (!index) return false;
    const NeResource* match = nullptr;
    if (!name.isText) {
      const int64_t at =
          FindById(index->order, name.id, [&](uint32_t pos) { return index->found[pos].id; });
      if (at >= 0) match = &index->found[static_cast<size_t>(at)];
    } else {
      for (const NeResource& r : index->found) {
        ResourceName stored;
        if (r.isText && NameOf(r, &stored) && ResourceNamesEqual(stored, name)) {
          match = &r;
          break;
        }
      }
    }
    return match && BytesOf(*match, bytes);
  }

 private:
  struct TypeIndex {
    std::vector<NeResource> found;  // as stored
    NameOrder order;
  };

  // The bytes are read when first asked for and kept.
  bool BytesOf(const NeResource& r, ByteSpan* bytes) const {
    if (!r.bytesValid) return false;
    if (r.size == 0) {
      *bytes = ByteSpan();
      return true;
    }
    return file_->Keep(r.start, r.size, bytes);
  }

  // A length-prefixed name at an offset from the table's start, readable
  // until the next read of the table.
  bool ReadPascalName(uint16_t offset, ByteSpan* text) const {
    const uint64_t at = table_ + offset;
    uint8_t length = 0;
    return file_->U8At(at, &length) && file_->Peek(at + 1, length, text);
  }

  bool NameOf(const NeResource& r, ResourceName* name) const {
    name->isText = r.isText;
    name->id = r.isText ? 0 : r.id;
    name->text.clear();
    if (!r.isText) return true;
    ByteSpan text;
    if (!ReadPascalName(r.nameOffset, &text)) return false;
    name->text.assign(reinterpret_cast<const char*>(text.data()), text.size());
    return true;
  }

  bool Collect(uint16_t type, std::vector<NeResource>* out) const {
    // The table is walked record by record; each record must lie whole in the file.
    uint64_t at = table_;
    uint16_t shift = 0;
    if (!file_->U16At(at, &shift) || shift > kNeMaxAlignShift) return false;
    at += sizeof(uint16_t);
    bool any = false;
    for (;;) {
      uint16_t type_id = 0, count = 0;
      if (!file_->U16At(at, &type_id) || type_id == 0) break;
      ByteSpan info;
      if (!file_->Peek(at, kNeTypeInfoSize, &info)) return any;
      ByteCursor(info).PeekU16At(sizeof(uint16_t), &count);
      at += kNeTypeInfoSize;
      const bool wanted = (type_id & kNeIntegerFlag) && (type_id & kNeIdMask) == type;
      for (uint16_t i = 0; i < count; ++i) {
        uint16_t offset = 0, length = 0, id = 0;
        ByteSpan record;
        if (!file_->Peek(at, kNeNameInfoSize, &record)) return any;
        const ByteCursor c(record);
        c.PeekU16At(0, &offset);
        c.PeekU16At(sizeof(uint16_t), &length);
        c.PeekU16At(3 * sizeof(uint16_t), &id);
        at += kNeNameInfoSize;
        if (!wanted) continue;
        NeResource r;
        if (id & kNeIntegerFlag) {
          r.id = static_cast<uint16_t>(id & kNeIdMask);
        } else {
          ByteSpan text;
          if (!ReadPascalName(id, &text)) continue;  // a name outside the file is no name
          r.isText = true;
          r.nameOffset = id;
        }
        // Offset and length count alignment units; a last resource whose
        // padding runs past the end keeps the bytes the file has.
        const uint64_t start = uint64_t{offset} << shift;
        uint64_t size = uint64_t{length} << shift;
        r.bytesValid = start < file_->size() || (start == file_->size() && size == 0);
        if (r.bytesValid) {
          if (size > file_->size() - start) size = file_->size() - start;
          r.start = start;
          r.size = static_cast<size_t>(size);
        }
        out->push_back(r);
        any = true;
      }
    }
    return any;
  }

  const TypeIndex* IndexOfType(uint16_t type) {
    const auto known = types_.find(type);
    if (known != types_.end()) return known->second.get();
    std::unique_ptr<TypeIndex> index(new (std::nothrow) TypeIndex());
    if (index && Collect(type, &index->found)) {
      const auto& found = index->found;
      index->order = OrderNames(
          static_cast<uint32_t>(found.size()), [&](uint32_t i) { return found[i].isText; },
          [&](uint32_t i) { return found[i].id; });
    } else {
      index.reset();
    }
    const TypeIndex* result = index.get();
    types_[type] = std::move(index);
    return result;
  }

  const NeResource* ResourceAt(uint16_t type, uint32_t ordinal) {
    const TypeIndex* index = IndexOfType(type);
    if (!index || ordinal >= index->order.order.size()) return nullptr;
    return &index->found[index->order.order[ordinal]];
  }

  std::unique_ptr<SourceReader> file_;
  uint64_t table_;
  std::map<uint16_t, std::unique_ptr<TypeIndex>> types_;
};

bool NeHeaderOffset(SourceReader& file, uint64_t* ne) {
  uint16_t mz = 0, signature = 0;
  uint32_t offset = 0;
  if (!file.U16At(0, &mz) || mz != kMzSignature || !file.U32At(kMzNewHeaderOffset, &offset) ||
      !file.U16At(offset, &signature) || signature != kNeSignature) {
    return false;
  }
  *ne = offset;
  return true;
}

}  // namespace

bool IsNeModule(SourceReader& file) {
  uint64_t ne;
  return NeHeaderOffset(file, &ne);
}

bool IsNeModuleImage(ByteSpan file) {
  const std::unique_ptr<SourceReader> reader = ReaderOfBytes(file);
  return reader && IsNeModule(*reader);
}

std::unique_ptr<ModuleSource> OpenNeResources(std::unique_ptr<SourceReader> file,
                                              ModuleRefusal* why) {
  uint64_t ne;
  if (!file) return RefuseModule(file.get(), ModuleRefusal::NoMemory, why);
  if (!NeHeaderOffset(*file, &ne)) return RefuseModule(file.get(), ModuleHeaderRefusal(*file), why);
  uint16_t table = 0, resident = 0;
  if (!file->U16At(ne + kNeResourceTableOffset, &table) ||
      !file->U16At(ne + kNeResidentNameTableOffset, &resident)) {
    return RefuseModule(file.get(), ModuleRefusal::NeHeaderCutShort, why);
  }
  // Equal offsets mean the file has no resource table: a module without resources.
  const uint64_t start = table == resident ? file->size() : ne + table;
  std::unique_ptr<ModuleSource> out(new (std::nothrow) NeResources(std::move(file), start));
  return OpenedModule(std::move(out), why);
}

std::unique_ptr<ModuleSource> OpenNeResources(ByteSpan file) {
  return OpenNeResources(ReaderOfBytes(file));
}

}  // namespace vantorico
