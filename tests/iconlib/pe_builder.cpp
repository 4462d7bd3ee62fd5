#include "pe_builder.h"

#include <map>

namespace vantorico::testing {
namespace {

constexpr uint32_t kHigh = 0x80000000u;
constexpr uint32_t kSectionRva = 0x1000;
constexpr size_t kSectionFileOffset = 0x200;

std::u16string Utf16(const std::string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<uint8_t>(s[i]);
    uint32_t cp = b;
    size_t n = 1;
    if (b >= 0xF0) {
      cp = b & 0x07;
      n = 4;
    } else if (b >= 0xE0) {
      cp = b & 0x0F;
      n = 3;
    } else if (b >= 0xC0) {
      cp = b & 0x1F;
      n = 2;
    }
    for (size_t k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

class Section {
 public:
  size_t Reserve(size_t n) {
    const size_t at = b_.size();
    b_.resize(at + n);
    while (b_.size() % 4) b_.push_back(0);
    return at;
  }
  size_t Dir(size_t named, size_t ids) {
    const size_t at = Reserve(16 + 8 * (named + ids));
    PutU16(&b_, at + 12, static_cast<uint16_t>(named));
    PutU16(&b_, at + 14, static_cast<uint16_t>(ids));
    return at;
  }
  void Entry(size_t dir, size_t i, uint32_t name, uint32_t target) {
    PutU32(&b_, dir + 16 + 8 * i, name);
    PutU32(&b_, dir + 16 + 8 * i + 4, target);
  }
  size_t Text(const std::string& utf8) {
    const std::u16string units = Utf16(utf8);
    const size_t at = Reserve(2 + 2 * units.size());
    PutU16(&b_, at, static_cast<uint16_t>(units.size()));
    for (size_t i = 0; i < units.size(); ++i) PutU16(&b_, at + 2 + 2 * i, units[i]);
    return at;
  }
  size_t Leaf(const Bytes& bytes) {
    const size_t data = Reserve(bytes.size());
    std::copy(bytes.begin(), bytes.end(), b_.begin() + static_cast<long>(data));
    const size_t at = Reserve(16);
    PutU32(&b_, at, static_cast<uint32_t>(kSectionRva + data));
    PutU32(&b_, at + 4, static_cast<uint32_t>(bytes.size()));
    return at;
  }
  const Bytes& bytes() const { return b_; }

 private:
  Bytes b_;
};


}  // namespace

Bytes WrapInPe(const Bytes& rsrc) {
  Bytes f(kSectionFileOffset, 0);
  PutU16(&f, 0, 0x5A4D);
  PutU32(&f, 0x3C, 0x40);
  PutU32(&f, 0x40, 0x00004550);
  const size_t coff = 0x44, opt = coff + 20;
  PutU16(&f, coff, 0x14C);
  PutU16(&f, coff + 2, 1);
  PutU16(&f, coff + 16, 224);
  PutU16(&f, opt, 0x10B);
  PutU32(&f, opt + 92, 16);
  PutU32(&f, opt + 96 + 2 * 8, kSectionRva);
  PutU32(&f, opt + 96 + 2 * 8 + 4, static_cast<uint32_t>(rsrc.size()));
  const size_t section = opt + 224;
  PutU32(&f, section + 8, static_cast<uint32_t>(rsrc.size()));
  PutU32(&f, section + 12, kSectionRva);
  PutU32(&f, section + 16, static_cast<uint32_t>(rsrc.size()));
  PutU32(&f, section + 20, kSectionFileOffset);
  f.insert(f.end(), rsrc.begin(), rsrc.end());
  return f;
}

Bytes BuildPe(const std::vector<PeResource>& resources) {
  // type -> (text names first, then ids) -> languages in the order given.
  using Key = std::pair<int, std::string>;  // (0 text | 1 id, name or zero-padded id)
  std::map<uint16_t, std::map<Key, std::vector<const PeResource*>>> tree;
  for (const PeResource& r : resources) {
    char id[8];
    std::snprintf(id, sizeof id, "%05u", r.id);
    tree[r.type][r.name.empty() ? Key{1, id} : Key{0, r.name}].push_back(&r);
  }
  Section s;
  const size_t root = s.Dir(0, tree.size());
  size_t t = 0;
  for (const auto& [type, names] : tree) {
    size_t named = 0;
    for (const auto& n : names) named += n.first.first == 0;
    const size_t dir = s.Dir(named, names.size() - named);
    s.Entry(root, t++, type, kHigh | static_cast<uint32_t>(dir));
    size_t i = 0;
    for (const auto& [key, langs] : names) {
      const size_t lang_dir = s.Dir(0, langs.size());
      const uint32_t name =
          key.first == 0 ? kHigh | static_cast<uint32_t>(s.Text(key.second)) : langs[0]->id;
      s.Entry(dir, i++, name, kHigh | static_cast<uint32_t>(lang_dir));
      for (size_t l = 0; l < langs.size(); ++l) {
        s.Entry(lang_dir, l, langs[l]->language, static_cast<uint32_t>(s.Leaf(langs[l]->bytes)));
      }
    }
  }
  return WrapInPe(s.bytes());
}

Bytes GroupDirectoryOf(const std::vector<std::pair<uint16_t, Bytes>>& images, bool cursor) {
  Bytes g(6 + 14 * images.size(), 0);
  PutU16(&g, 2, cursor ? 2 : 1);
  PutU16(&g, 4, static_cast<uint16_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    const Bytes& dib = images[i].second;
    const size_t at = 6 + 14 * i;
    const uint32_t width = LoadU32(dib, 4), height = LoadU32(dib, 8);
    if (cursor) {
      PutU16(&g, at, static_cast<uint16_t>(width));
      PutU16(&g, at + 2, static_cast<uint16_t>(height));
    } else {
      g[at] = static_cast<uint8_t>(width);
      g[at + 1] = static_cast<uint8_t>(height / 2);
    }
    PutU16(&g, at + 4, 1);
    PutU16(&g, at + 6, LoadU16(dib, 14));
    PutU32(&g, at + 8, static_cast<uint32_t>(dib.size() + (cursor ? 4 : 0)));
    PutU16(&g, at + 12, images[i].first);
  }
  return g;
}

Bytes CursorResource(uint16_t x, uint16_t y, const Bytes& dib) {
  Bytes r(4, 0);
  PutU16(&r, 0, x);
  PutU16(&r, 2, y);
  r.insert(r.end(), dib.begin(), dib.end());
  return r;
}

Bytes AnimatedCursorBytes(uint8_t seed) {
  // RIFF <size> ACON, then an "anih" chunk of 36 bytes with the seed in it.
  Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'C', 'O', 'N', 'a', 'n', 'i', 'h', 36, 0, 0, 0};
  for (uint8_t i = 0; i < 36; ++i) b.push_back(static_cast<uint8_t>(seed + i));
  PutU32(&b, 4, static_cast<uint32_t>(b.size() - 8));
  return b;
}

}  // namespace vantorico::testing

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vantorico::testing {

bool MakeDirectoryForTest(const std::string& path) {
#ifdef _WIN32
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
#else
  return mkdir(path.c_str(), 0777) == 0;
#endif
}

}  // namespace vantorico::testing
