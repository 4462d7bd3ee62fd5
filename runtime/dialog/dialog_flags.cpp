#include "runtime/dialog/dialog_flags.h"

namespace vantorico {

uint32_t CommonDlgFlags(const CommonDlgSettings& s) {
  uint32_t flags = kOfnHideReadOnly;
  if (s.createPrompt == kSwitchOn) flags |= kOfnCreatePrompt;
  if (s.fileMustExist == kSwitchOn) flags |= kOfnFileMustExist;
  if (s.overwritePrompt == kSwitchOn) flags |= kOfnOverwritePrompt;
  if (s.pathMustExist == kSwitchOn) flags |= kOfnPathMustExist;
  if (s.keepCurrentDirectory == kSwitchOn) flags |= kOfnNoChangeDir;
  return flags;
}

uint32_t OpenFileNameFlags(const CommonDlgSettings& s) {
  return CommonDlgFlags(s) | kOfnExplorer | kOfnEnableSizing;
}

}  // namespace vantorico
