#include "shell/drop/drop_target_settings.h"

namespace vantorico {
namespace {

template <typename Settings>
auto Switch(Settings& s, int index) -> decltype(&s.acceptText) {
  switch (index) {
    case AcceptText:
      return &s.acceptText;
    case AcceptHtml:
      return &s.acceptHtml;
    case AcceptUrl:
      return &s.acceptUrl;
    case AcceptFiles:
      return &s.acceptFiles;
    default:
      return nullptr;
  }
}

}  // namespace

bool ReadDropTargetProperty(const DropTargetSettings& settings, int index, int32_t* value) {
  const int32_t* field = Switch(settings, index);
  if (!field) return false;
  *value = *field;
  return true;
}

bool WriteDropTargetProperty(DropTargetSettings& settings, int index, int32_t value) {
  int32_t* field = Switch(settings, index);
  if (!field) return false;
  *field = value;
  return true;
}

}  // namespace vantorico
