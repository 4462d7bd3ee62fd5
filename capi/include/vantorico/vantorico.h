/* libvantorico: the icon extraction engine of VantorICO for other programs.
 *
 * A source (a Windows program file, EXE, DLL, ICL, 16-bit NE or 32/64-bit
 * PE, or an icon file) is opened from a path or from bytes in memory. Its
 * groups are counted and described per type; each group's images are
 * described, and a group is given as the bytes of an .ico or .cur file (or an
 * animated resource's own bytes), as a PNG picture, or image by image as
 * RGBA pixels, stored bytes and digests.
 *
 * Rules for every function:
 * - The result is a vantorico_status: VANTORICO_OK, or the reason nothing
 *   was done (outputs are then left as they were). vantorico_strerror gives
 *   its text.
 * - Groups are numbered from 1 within their type, images from 0 within
 *   their group.
 * - Outputs of variable size come in buffers the library allocates; give
 *   them back with vantorico_free.
 * - The library has no global state. A source handle must not be used by two
 *   threads at once; distinct handles may be used from distinct threads.
 *
 * The header is C89.
 */
#ifndef VANTORICO_VANTORICO_H
#define VANTORICO_VANTORICO_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__) && !defined(VANTORICO_STATIC_BUILD)
#define VANTORICO_API __attribute__((visibility("default")))
#else
#define VANTORICO_API
#endif

typedef enum vantorico_status {
  VANTORICO_OK = 0,
  VANTORICO_ERR_ARGUMENT = 1,         /* a null handle or pointer, or a value out of its range */
  VANTORICO_ERR_MISSING = 2,          /* no such file, or it cannot be opened */
  VANTORICO_ERR_NOT_REGULAR_FILE = 3, /* a folder, device, FIFO or socket */
  VANTORICO_ERR_READ_FAILED = 4,      /* an I/O error, or the file changed while it was read */
  VANTORICO_ERR_NO_MEMORY = 5,
  VANTORICO_ERR_UNSUPPORTED = 6, /* neither a program file nor an icon file */
  VANTORICO_ERR_NO_SUCH_GROUP = 7,
  VANTORICO_ERR_NO_SUCH_IMAGE = 8,
  VANTORICO_ERR_UNREADABLE = 9, /* the group's bytes cannot be read (cut short, an image missing) */
  VANTORICO_ERR_OVER_BUDGET = 10,   /* the source's output budget is spent */
  VANTORICO_ERR_UNDECODABLE = 11,   /* no image decodes, or every one is blank */
  VANTORICO_ERR_ENCODE_FAILED = 12, /* the PNG encoder failed */
  VANTORICO_ERR_SHORT_BUFFER = 13,  /* the caller's buffer is too small; the size needed is given */
  VANTORICO_ERR_NOT_APPLICABLE = 14 /* the operation does not apply to the group's type */
} vantorico_status;

typedef enum vantorico_group_type {
  VANTORICO_ICON = 0,      /* icon groups: .ico */
  VANTORICO_CURSOR = 1,    /* cursor groups: .cur */
  VANTORICO_ANICURSOR = 2, /* animated cursors: their RIFF bytes (.ani) */
  VANTORICO_ANIICON = 3    /* animated icons: their RIFF bytes (.ani) */
} vantorico_group_type;

typedef enum vantorico_source_kind {
  VANTORICO_MODULE = 1,       /* a program file: its resources */
  VANTORICO_ICON_FILE = 2,    /* an .ico file: one icon group, without a name */
  VANTORICO_CURSOR_FILE = 3,  /* a .cur file: one cursor group, without a name */
  VANTORICO_ANIMATED_FILE = 4 /* an .ani file: one animated cursor, without a name */
} vantorico_source_kind;

typedef enum vantorico_image_format {
  VANTORICO_FORMAT_OTHER = 0, /* bytes that are neither */
  VANTORICO_FORMAT_DIB = 1,
  VANTORICO_FORMAT_PNG = 2
} vantorico_image_format;

typedef enum vantorico_layout {
  /* The window tool's file: every DIB's biSizeImage written as 0, directory
   * entries from the images' own headers (what `vantorico extract` writes). */
  VANTORICO_LAYOUT_DEFAULT = 0,
  /* Each image exactly as stored; only the directory is built. */
  VANTORICO_LAYOUT_EXACT = 1,
  /* Each image exactly as stored, the directory entries copied from the
   * group's stored directory (its first 12 bytes each, then the offset). */
  VANTORICO_LAYOUT_STORED_DIRECTORY = 2
} vantorico_layout;

typedef enum vantorico_digest {
  VANTORICO_MD5 = 0,   /* 16 bytes */
  VANTORICO_SHA256 = 1 /* 32 bytes */
} vantorico_digest;

#define VANTORICO_MD5_SIZE 16
#define VANTORICO_SHA256_SIZE 32

typedef struct vantorico_source vantorico_source;

typedef struct vantorico_group_info {
  int type;              /* a vantorico_group_type */
  long index;            /* 1-based within the type */
  int has_name;          /* 0 for an icon file's group */
  int name_is_text;      /* the name is a text (vantorico_group_name), else id */
  unsigned int id;       /* the integer identifier when the name is not a text */
  int name_cut;          /* the text is the start of a longer stored name */
  size_t language_count; /* languages stored (0 when the source has none) */
  size_t language_taken; /* which of them is read (an index below language_count) */
  int readable;          /* the group reads (its images are described) */
  size_t image_count;    /* images of a readable icon or cursor group */
  size_t byte_count;     /* animated: the resource's size */
} vantorico_group_info;

typedef struct vantorico_image_info {
  unsigned long width;
  unsigned long height;
  unsigned long bit_depth;
  int format;        /* a vantorico_image_format */
  size_t byte_count; /* the image's stored bytes */
  int has_hotspot;   /* cursors */
  unsigned int hotspot_x;
  unsigned int hotspot_y;
} vantorico_image_info;

/* "1.0.0" */
VANTORICO_API const char* vantorico_version(void);
/* The text of a status, never null (an unknown value has a text too). */
VANTORICO_API const char* vantorico_strerror(int status);
/* Frees a buffer the library returned; null is ignored. */
VANTORICO_API void vantorico_free(void* buffer);

/* Opens a source by its content. *out is set to a new handle on success. */
VANTORICO_API int vantorico_open_path(const char* path, vantorico_source** out);
/* The same over size bytes at data, which the handle copies. */
VANTORICO_API int vantorico_open_memory(const void* data, size_t size, vantorico_source** out);
/* Closes a handle; null is ignored. */
VANTORICO_API void vantorico_close(vantorico_source* source);

/* VANTORICO_MODULE, VANTORICO_ICON_FILE, VANTORICO_CURSOR_FILE or
   VANTORICO_ANIMATED_FILE. */
VANTORICO_API int vantorico_source_kind_of(const vantorico_source* source, int* kind);
/* The language whose resources are read: 0 (the default) takes neutral,
 * then English (US), then the first stored; another identifier (0x0804)
 * is tried after neutral. Groups are read again after a change. */
VANTORICO_API int vantorico_set_language(vantorico_source* source, unsigned int language);

VANTORICO_API int vantorico_group_count(vantorico_source* source, int type, long* count);
/* Describes a group; reads it (drawing on the source's budget) the first time. */
VANTORICO_API int vantorico_group_describe(vantorico_source* source, int type, long index,
                                           vantorico_group_info* info);
/* A text name, UTF-8 (an NE file's own bytes), with its terminator, into
 * buffer of size bytes; *needed (if not null) gets the size it takes. A
 * stored name may hold NUL characters: *needed - 1 bytes are the name.
 * VANTORICO_ERR_SHORT_BUFFER when it does not fit; NOT_APPLICABLE when
 * the group's name is an identifier or it has none. */
VANTORICO_API int vantorico_group_name(vantorico_source* source, int type, long index, char* buffer,
                                       size_t size, size_t* needed);
/* The language identifier at position i of the group's stored languages. */
VANTORICO_API int vantorico_group_language(vantorico_source* source, int type, long index, size_t i,
                                           unsigned int* language);
VANTORICO_API int vantorico_image_describe(vantorico_source* source, int type, long index,
                                           size_t image, vantorico_image_info* info);

/* The group as a file: .ico for icons, .cur for cursors (exact and stored
 * layouts are the default one there), an animated resource's bytes. */
VANTORICO_API int vantorico_group_file(vantorico_source* source, int type, long index, int layout,
                                       unsigned char** data, size_t* size);
/* The group's stored resource bytes: the group directory of an icon or a
 * cursor group (NOT_APPLICABLE for an icon file's group), an animated
 * resource whole. */
VANTORICO_API int vantorico_group_resource(vantorico_source* source, int type, long index,
                                           unsigned char** data, size_t* size);
/* A PNG picture of an icon group: size 0 is the best image as it is, else
 * an image of that size if there is one, else the best one scaled to fit
 * size x size (at most 4096). The pixels are what the group holds. */
VANTORICO_API int vantorico_group_png(vantorico_source* source, int type, long index,
                                      unsigned long size, unsigned char** data, size_t* length);

/* An image's bytes as the source stores them (a cursor's without its hotspot). */
VANTORICO_API int vantorico_image_bytes(vantorico_source* source, int type, long index,
                                        size_t image, unsigned char** data, size_t* size);
/* An image decoded to straight 8-bit RGBA, top row first, width x 4 bytes a row. */
VANTORICO_API int vantorico_image_rgba(vantorico_source* source, int type, long index, size_t image,
                                       unsigned char** pixels, unsigned long* width,
                                       unsigned long* height);
/* A digest of an image's stored bytes into out (VANTORICO_MD5_SIZE or
 * VANTORICO_SHA256_SIZE bytes; SHORT_BUFFER when size is less). */
VANTORICO_API int vantorico_image_digest(vantorico_source* source, int type, long index,
                                         size_t image, int algorithm, unsigned char* out,
                                         size_t size);

#ifdef __cplusplus
}
#endif

#endif /* VANTORICO_VANTORICO_H */
