#pragma once
// The bounds the thumbnailer's worker runs in. File managers run it on every
// file a user downloads, so whatever a file holds, a run ends within seconds
// and a few hundred MB; each bound is sized to the largest legitimate input
// with a margin.
#include <cstdint>

namespace vantorico {

constexpr uint64_t kMiB = uint64_t{1} << 20;

// What the worker holds of its input. A module is read by range (its
// headers, resource directory and first group), whatever the file's size;
// an icon or cursor file is read whole. Icon libraries are tens of MB
// (Wine's shell32.dll 14 MB); an input that needs more fails to allocate.
constexpr uint64_t kThumbnailerMaxInputBytes = 256 * kMiB;

// Decoding, scaling and encoding one image: a 2048 x 2048 image (larger than
// any icon image in use) costs about 100 MB decoded, premultiplied for
// scaling and encoded; twice that.
constexpr uint64_t kThumbnailerWorkingBytes = 256 * kMiB;

// Bytes one image's pixel costs at most when it is decoded whole: 4 decoded,
// 16 premultiplied for scaling, 16 in the scaler's first pass. An image
// decoded whole (DecodedWhole: shown at its own size, or an interlaced PNG)
// is left out before it is decoded when its pixels would not fit the
// working set (2730 x 2730 and larger). Any other is scaled as its rows are
// decoded, whatever its size: it costs the thumbnail and a band of rows, and
// the decoders' own bound on pixels keeps its time well within the CPU limit.
constexpr uint64_t kThumbnailerBytesPerPixel = 36;
constexpr uint64_t kThumbnailerMaxImagePixels =
    kThumbnailerWorkingBytes / kThumbnailerBytesPerPixel;

// The program, its libraries, stacks and the allocator's own overhead.
constexpr uint64_t kThumbnailerRuntimeBytes = 64 * kMiB;

// RLIMIT_AS: the three together. An allocation past it fails, and the
// worker reports the file as one it cannot show.
constexpr uint64_t kThumbnailerAddressSpaceBytes =
    kThumbnailerMaxInputBytes + kThumbnailerWorkingBytes + kThumbnailerRuntimeBytes;

// RLIMIT_CPU: the largest input takes well under a second (reading and
// indexing 256 MB, decoding and scaling one large image). SIGXCPU at the
// soft limit ends the worker, SIGKILL a second later.
constexpr uint64_t kThumbnailerCpuSeconds = 5;

// Wall-clock bound (alarm), for a worker that waits instead of computing: a
// source on a stalled network file system.
constexpr unsigned kThumbnailerWallSeconds = 20;

// RLIMIT_FSIZE: the largest PNG the largest thumbnail (kMaxThumbnailSize,
// 4096 x 4096 RGBA) encodes to, by libpng's bound (64 MiB), with a margin.
constexpr uint64_t kThumbnailerMaxOutputBytes = 80 * kMiB;

}  // namespace vantorico
