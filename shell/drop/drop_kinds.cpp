#include "shell/drop/drop_kinds.h"

#include <initializer_list>

namespace vantorico {
namespace {

bool Accepts(const DropTargetSettings& s, DropKind kind) {
  switch (kind) {
    case DropKind::Text:
      return s.acceptText != 0;
    case DropKind::Html:
      return s.acceptHtml != 0;
    case DropKind::Url:
      return s.acceptUrl != 0;
    case DropKind::Files:
      return s.acceptFiles != 0;
  }
  return false;
}

std::vector<DropKind> Filter(const DropTargetSettings& s, std::initializer_list<DropKind> order) {
  std::vector<DropKind> kinds;
  for (DropKind kind : order) {
    if (Accepts(s, kind)) kinds.push_back(kind);
  }
  return kinds;
}

}  // namespace

std::vector<DropKind> AcceptQueryOrder(const DropTargetSettings& s) {
  return Filter(s, {DropKind::Text, DropKind::Files, DropKind::Url, DropKind::Html});
}

std::vector<DropKind> DropHandlingOrder(const DropTargetSettings& s) {
  return Filter(s, {DropKind::Text, DropKind::Html, DropKind::Url, DropKind::Files});
}

DropTargetEvent EventForKind(DropKind kind) {
  switch (kind) {
    case DropKind::Text:
      return TextDropped;
    case DropKind::Html:
      return HtmlDropped;
    case DropKind::Url:
      return UrlDropped;
    case DropKind::Files:
      return FilesDropped;
  }
  return FilesDropped;
}

}  // namespace vantorico
