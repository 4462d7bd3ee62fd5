#pragma once
// Sources read through a descriptor the caller opened: a program that drops
// the right to open files (the thumbnailer, once confined) opens its input
// first and hands the engine only the descriptor. POSIX only.
#include "base/posix_descriptor.h"
#include "iconlib/formats/byte_source.h"
#include "iconlib/platform/file_io.h"

namespace vantorico {

// Reads the regular file open at fd (from offset 0, whatever the
// descriptor's position) into memory, with its identity; the same checks
// and statuses as ReadSourceFile. The descriptor stays the caller's.
SourceFile ReadSourceDescriptor(int fd);

// The regular file open at fd for range reads (pread, whatever the
// descriptor's position), with its size and identity as fstat gives them;
// the same checks and statuses. The descriptor stays the caller's and must
// stay open while the source lives.
OpenedBytes ByteSourceOfDescriptor(int fd);
// The same, owning the descriptor.
OpenedBytes ByteSourceOwningDescriptor(PosixDescriptor fd);

}  // namespace vantorico
