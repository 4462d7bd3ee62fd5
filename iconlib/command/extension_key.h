#pragma once
// The extension key of a path: its last three bytes, ASCII lower-cased. It is
// not the text after the last dot ("myico" has the key "ico").
#include <cstddef>

namespace vantorico {

constexpr size_t kExtensionKeyLength = 3;

// Fills key (NUL-terminated, up to three bytes). False when any of those
// bytes belongs to a double-byte character or is not ASCII: such a key
// matches none of the ASCII keys.
bool ExtensionKey(const char* path, char key[kExtensionKeyLength + 1]);

bool HasExtensionKey(const char* path, const char* key);

}  // namespace vantorico
