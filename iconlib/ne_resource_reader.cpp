// The resource table of 16-bit NE files (icon libraries, old drivers). It is
// a flat list of type records, each followed by its name records, ended by a
// type id of 0; every record is at least 8 bytes and read through the cursor,
// so the walk ends at the file's end at the latest.
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "iconlib/module_format.h"
#include "iconlib/portable_module.h"

namespace vantorico {
namespace {

struct NeResource {
  ResourceName name;
  ByteSpan bytes;
  bool bytesValid;
};

class NeResources final : public ModuleSource {
 public:
  NeResources(ByteSpan file, size_t table) : file_(file), table_(table) {}

  bool EnumerateNames(uint16_t type,
                      const std::function<bool(const ResourceName&)>& visit) override {
    std::vector<NeResource> found;
    if (!Collect(type, &found)) return false;
    std::vector<ResourceName> names;
    names.reserve(found.size());
    for (NeResource& r : found) names.push_back(std::move(r.name));
    VisitInEnumerationOrder(std::move(names), visit);
    return true;
  }

  bool FindResourceBytes(const ResourceName& name, uint16_t type, ByteSpan* bytes) override {
    const TypeIndex* index = IndexOfType(type);
    if (!index) return false;
    const NeResource* match = nullptr;
    if (!name.isText) {
      const auto found = index->firstById.find(name.id);
      if (found != index->firstById.end()) match = &index->found[found->second];
    } else {
      for (const NeResource& r : index->found) {
        if (ResourceNamesEqual(r.name, name)) {
          match = &r;
          break;
        }
      }
    }
    if (!match || !match->bytesValid) return false;
    *bytes = match->bytes;
    return true;
  }

 private:
  // A length-prefixed name at an offset from the table's start.
  bool ReadPascalName(uint16_t offset, ResourceName* name) const {
    ByteCursor c(file_.From(table_ + offset));
    uint8_t length = 0;
    ByteSpan text;
    if (!c.ReadU8(&length) || !c.ReadSpan(length, &text)) return false;
    name->isText = true;
    name->text.assign(reinterpret_cast<const char*>(text.data()), text.size());
    return true;
  }

  bool Collect(uint16_t type, std::vector<NeResource>* out) const {
    ByteCursor c(file_.From(table_));
    uint16_t shift = 0;
    if (!c.ReadU16(&shift) || shift > kNeMaxAlignShift) return false;
    bool any = false;
    for (;;) {
      uint16_t type_id = 0, count = 0;
      if (!c.ReadU16(&type_id) || type_id == 0) break;
      if (!c.ReadU16(&count) || !c.Skip(kNeTypeInfoSize - 2 * sizeof(uint16_t))) return any;
      const bool wanted = (type_id & kNeIntegerFlag) && (type_id & kNeIdMask) == type;
      for (uint16_t i = 0; i < count; ++i) {
        uint16_t offset = 0, length = 0, flags = 0, id = 0;
        if (!c.ReadU16(&offset) || !c.ReadU16(&length) || !c.ReadU16(&flags) || !c.ReadU16(&id) ||
            !c.Skip(kNeNameInfoSize - 4 * sizeof(uint16_t))) {
          return any;
        }
        if (!wanted) continue;
        NeResource r;
        if (id & kNeIntegerFlag) {
          r.name.id = static_cast<uint16_t>(id & kNeIdMask);
        } else if (!ReadPascalName(id, &r.name)) {
          continue;
        }
        // Offset and length count alignment units; a last resource whose
        // padding runs past the end keeps the bytes the file has.
        const uint64_t start = uint64_t{offset} << shift;
        uint64_t size = uint64_t{length} << shift;
        r.bytesValid = start < file_.size() || (start == file_.size() && size == 0);
        if (r.bytesValid) {
          if (size > file_.size() - start) size = file_.size() - start;
          file_.Slice(static_cast<size_t>(start), static_cast<size_t>(size), &r.bytes);
        }
        out->push_back(std::move(r));
        any = true;
      }
    }
    return any;
  }

  // As in the PE reader: a group's images are looked up by id one by one,
  // so the last type's records are kept with the first record of each id.
  struct TypeIndex {
    uint16_t type = 0;
    std::vector<NeResource> found;
    std::unordered_map<uint16_t, size_t> firstById;
  };

  const TypeIndex* IndexOfType(uint16_t type) {
    if (index_ && index_->type == type) return index_.get();
    index_.reset();
    std::unique_ptr<TypeIndex> index(new (std::nothrow) TypeIndex());
    if (!index || !Collect(type, &index->found)) return nullptr;
    index->type = type;
    for (size_t i = 0; i < index->found.size(); ++i) {
      if (!index->found[i].name.isText) index->firstById.emplace(index->found[i].name.id, i);
    }
    index_ = std::move(index);
    return index_.get();
  }

  ByteSpan file_;
  size_t table_;
  std::unique_ptr<TypeIndex> index_;
};

bool NeHeaderOffset(ByteSpan file, size_t* ne) {
  const ByteCursor c(file);
  uint16_t mz = 0, signature = 0;
  uint32_t offset = 0;
  if (!c.PeekU16At(0, &mz) || mz != kMzSignature || !c.PeekU32At(kMzNewHeaderOffset, &offset) ||
      !c.PeekU16At(offset, &signature) || signature != kNeSignature) {
    return false;
  }
  *ne = offset;
  return true;
}

}  // namespace

bool IsNeModuleImage(ByteSpan file) {
  size_t ne;
  return NeHeaderOffset(file, &ne);
}

std::unique_ptr<ModuleSource> OpenNeResources(ByteSpan file) {
  size_t ne;
  if (!NeHeaderOffset(file, &ne)) return nullptr;
  const ByteCursor c(file);
  uint16_t table = 0, resident = 0;
  if (!c.PeekU16At(ne + kNeResourceTableOffset, &table) ||
      !c.PeekU16At(ne + kNeResidentNameTableOffset, &resident)) {
    return nullptr;
  }
  // Equal offsets mean the file has no resource table: a module without resources.
  const size_t start = table == resident ? file.size() : ne + table;
  return std::unique_ptr<ModuleSource>(new (std::nothrow) NeResources(file, start));
}

}  // namespace vantorico
