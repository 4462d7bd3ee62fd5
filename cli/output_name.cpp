#include "cli/output_name.h"

#include <cstring>

namespace vantorico {
namespace {

// The field a placeholder at pattern[at] ('{') names; null when none.
const std::string* FieldAt(const std::string& pattern, size_t at, const NameFields& f,
                           size_t* length) {
  const struct {
    const char* word;
    const std::string NameFields::*field;
  } fields[] = {{"{n}", &NameFields::n},       {"{id}", &NameFields::id},
                {"{name}", &NameFields::name}, {"{lang}", &NameFields::lang},
                {"{type}", &NameFields::type}, {"{source}", &NameFields::source}};
  for (const auto& entry : fields) {
    const size_t n = std::strlen(entry.word);
    if (pattern.compare(at, n, entry.word) == 0) {
      *length = n;
      return &(f.*entry.field);
    }
  }
  return nullptr;
}

bool IsReservedDevice(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '0' && stem[3] <= '9';
}

}  // namespace

std::string CheckNameTemplate(const std::string& pattern) {
  const NameFields none;
  bool good = !pattern.empty();
  for (size_t at = pattern.find('{'); good && at != std::string::npos;
       at = pattern.find('{', at + 1)) {
    size_t length = 0;
    good = FieldAt(pattern, at, none, &length) != nullptr;
  }
  if (good) return std::string();
  return "--output-name takes a name and {n}, {id}, {name}, {lang}, {type}, {source}, not '" +
         pattern + "'";
}

bool TemplateNamesLanguage(const std::string& pattern) {
  return pattern.find("{lang}") != std::string::npos;
}

std::string NameFromTemplate(const std::string& pattern, const NameFields& fields) {
  std::string out;
  for (size_t at = 0; at < pattern.size();) {
    size_t length = 0;
    const std::string* field = pattern[at] == '{' ? FieldAt(pattern, at, fields, &length) : nullptr;
    if (field) {
      out += *field;
      at += length;
    } else {
      out += pattern[at++];
    }
  }
  return SafeFileName(out);
}

std::string SafeFileName(const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || std::strchr("/\\:*?\"<>|", c)) c = '_';
  }
  if (out.size() > kMaxNameStem) {
    size_t cut = kMaxNameStem;
    // Not inside a UTF-8 sequence: back to the byte that starts it.
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
  }
  for (size_t i = out.size(); i > 0 && (out[i - 1] == '.' || out[i - 1] == ' '); --i) {
    out[i - 1] = '_';
  }
  if (out.empty()) return "_";
  if (IsReservedDevice(out)) out.insert(0, "_");
  return out;
}

}  // namespace vantorico
