#include "iconlib/formats/animated_file.h"

#include <new>

namespace vantorico {
namespace {

constexpr uint32_t Tag(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
         uint32_t(uint8_t(d)) << 24;
}

constexpr uint32_t kRiff = Tag('R', 'I', 'F', 'F');
constexpr uint32_t kAcon = Tag('A', 'C', 'O', 'N');
constexpr uint32_t kList = Tag('L', 'I', 'S', 'T');
constexpr uint32_t kFram = Tag('f', 'r', 'a', 'm');
constexpr uint32_t kIcon = Tag('i', 'c', 'o', 'n');
constexpr uint32_t kAnih = Tag('a', 'n', 'i', 'h');
constexpr uint32_t kRate = Tag('r', 'a', 't', 'e');
constexpr uint32_t kSeq = Tag('s', 'e', 'q', ' ');
constexpr size_t kChunkHeaderSize = 8;  // tag, size
constexpr size_t kFormSize = 4;         // a RIFF's or LIST's form tag

// One chunk at the cursor: its tag and body, the cursor moved past its pad
// byte. False when the header or the body passes the container.
bool NextChunk(ByteCursor* c, uint32_t* tag, ByteSpan* body) {
  uint32_t size = 0;
  if (!c->ReadU32(tag) || !c->ReadU32(&size) || !c->ReadSpan(size, body)) return false;
  // The pad byte of an odd chunk may be missing at the very end.
  if ((size & 1u) != 0 && c->remaining() > 0) c->Skip(1);
  return true;
}

AnimatedFailure ReadValues(ByteSpan body, std::vector<uint32_t>* out) {
  const size_t n = body.size() / sizeof(uint32_t);
  if (n > kMaxAnimatedSteps) return AnimatedFailure::TooManySteps;
  try {
    out->resize(n);
  } catch (const std::bad_alloc&) {
    return AnimatedFailure::NoMemory;
  }
  ByteCursor c(body);
  for (size_t i = 0; i < n; ++i) {
    if (!c.ReadU32(&(*out)[i])) return AnimatedFailure::CutShort;
  }
  return AnimatedFailure::None;
}

// Where a list's whole sub-chunks end, relative to the list's body.
size_t SubChunksEnd(ByteSpan list) {
  ByteCursor c(list);
  size_t end = 0;
  uint32_t tag = 0;
  ByteSpan body;
  while (c.remaining() > 0 && NextChunk(&c, &tag, &body)) end = c.position();
  return end;
}

// The "icon" chunks from the start of a "fram" list's body, which may run
// past the list's stated size (writers understate it) but not past rest,
// the file after the list's start; *end is where the last frame ends.
AnimatedFailure ReadFrames(ByteSpan rest, AnimatedFile* out, size_t* end) {
  ByteCursor c(rest);
  *end = 0;
  while (c.remaining() > 0) {
    uint32_t tag = 0;
    ByteSpan body;
    const size_t at = c.position();
    if (!NextChunk(&c, &tag, &body) || tag != kIcon) {
      c.Seek(at);
      break;
    }
    if (out->frames.size() >= kMaxAnimatedFrames) return AnimatedFailure::TooManyFrames;
    try {
      out->frames.push_back(body);
    } catch (const std::bad_alloc&) {
      return AnimatedFailure::NoMemory;
    }
    *end = c.position();
  }
  return AnimatedFailure::None;
}

}  // namespace

AnimatedFailure ReadAnimatedFile(ByteSpan file, AnimatedFile* out) {
  *out = AnimatedFile();
  ByteCursor head(file);
  uint32_t riff = 0, size = 0, form = 0;  // the size is not used (see below)
  if (!head.ReadU32(&riff) || !head.ReadU32(&size) || !head.ReadU32(&form) || riff != kRiff ||
      form != kAcon) {
    return AnimatedFailure::NotAnimated;
  }
  // The form's chunks, to the end of the file: writers get the RIFF size
  // wrong both ways, and every chunk is checked against the file anyway.
  const ByteSpan chunks = file.From(kChunkHeaderSize + kFormSize);
  ByteCursor c(chunks);
  bool header = false;
  size_t listEnd = 0;  // where the last list's sub-chunks ended, when short of its size
  while (c.remaining() > 0) {
    uint32_t tag = 0;
    ByteSpan chunk;
    const size_t at = c.position();
    if (!NextChunk(&c, &tag, &chunk)) {
      // Writers have overstated a list's size (an odd sub-chunk's pad counted
      // twice): the next chunk is tried where the sub-chunks end, once.
      // Otherwise a chunk that passes the form cuts the form there.
      if (listEnd == 0 || !c.Seek(listEnd) || !NextChunk(&c, &tag, &chunk)) break;
    }
    listEnd = 0;
    AnimatedFailure why = AnimatedFailure::None;
    if (tag == kAnih) {
      ByteCursor h(chunk);
      uint32_t headerSize = 0;
      if (chunk.size() < kAnimatedHeaderSize || !h.ReadU32(&headerSize) ||
          !h.ReadU32(&out->headerFrames) || !h.ReadU32(&out->headerSteps) ||
          !h.ReadU32(&out->width) || !h.ReadU32(&out->height) || !h.ReadU32(&out->bitCount) ||
          !h.ReadU32(&out->planes) || !h.ReadU32(&out->displayRate) || !h.ReadU32(&out->flags)) {
        return AnimatedFailure::CutShort;
      }
      header = true;
    } else if (tag == kRate) {
      why = ReadValues(chunk, &out->rates);
    } else if (tag == kSeq) {
      why = ReadValues(chunk, &out->sequence);
    } else if (tag == kList) {
      ByteCursor l(chunk);
      uint32_t listForm = 0;
      const size_t bodyAt = at + kChunkHeaderSize + kFormSize;
      if (l.ReadU32(&listForm) && listForm == kFram) {
        size_t framesEnd = 0;
        why = ReadFrames(chunks.From(bodyAt), out, &framesEnd);
        // Frames that ran past the list's stated size: the walk goes on after them.
        if (bodyAt + framesEnd > c.position()) c.Seek(bodyAt + framesEnd);
      } else {
        const size_t end = kFormSize + SubChunksEnd(chunk.From(kFormSize));
        if (end < chunk.size()) listEnd = at + kChunkHeaderSize + end;
      }
    }
    if (why != AnimatedFailure::None) return why;
  }
  return header ? AnimatedFailure::None : AnimatedFailure::CutShort;
}

}  // namespace vantorico
