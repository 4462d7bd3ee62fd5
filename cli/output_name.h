#pragma once
// Output names from --output-name TEMPLATE: fields of the group put into the
// template, the result made a name every file system takes.
#include <cstdint>
#include <string>

namespace vantorico {

// What a template may name, each as text.
struct NameFields {
  std::string n;       // {n}: the group's number
  std::string id;      // {id}: its identifier in decimal; empty for a text name
  std::string name;    // {name}: its text name, else {id}, else {n}
  std::string lang;    // {lang}: the language in decimal (0 when there is none)
  std::string type;    // {type}: the resource type in decimal (14 for icon groups)
  std::string source;  // {source}: the source's file name
};

// Empty when the template is good, else why not.
std::string CheckNameTemplate(const std::string& pattern);
// True when the template names {lang}.
bool TemplateNamesLanguage(const std::string& pattern);
// The template with its fields put in, made safe (SafeFileName).
std::string NameFromTemplate(const std::string& pattern, const NameFields& fields);

// A name no file system refuses and that stays in its folder: separators,
// the characters Windows reserves and control characters become '_', as do
// trailing dots and blanks; a reserved device name (CON, NUL, COM1, ...)
// gets a '_' first; at most kMaxNameStem bytes, cut between characters.
std::string SafeFileName(const std::string& name);
constexpr size_t kMaxNameStem = 200;  // room left for sizes, -N and the extension

}  // namespace vantorico
