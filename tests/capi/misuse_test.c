/* The C interface misused: null handles and pointers, short buffers, out of
 * range types, groups and images, hostile bytes, and distinct handles on
 * distinct threads. Every call must refuse with its status and leave its
 * outputs alone; the asan preset runs this under ASan and UBSan. */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vantorico/vantorico.h>

static int failures = 0;

#define EXPECT(cond)                                                     \
  do {                                                                   \
    if (!(cond)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                        \
    }                                                                    \
  } while (0)

static const char* module_path;

static void null_handles(void) {
  vantorico_source* s = (vantorico_source*)0x1;
  unsigned char* data = (unsigned char*)0x1;
  size_t size = 7;
  long count = 7;
  vantorico_group_info info;
  int kind = 7;
  EXPECT(vantorico_open_path(NULL, &s) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_open_path(module_path, NULL) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_open_memory(NULL, 10, &s) == VANTORICO_ERR_ARGUMENT);
  EXPECT(s == (vantorico_source*)0x1);
  EXPECT(vantorico_group_count(NULL, VANTORICO_ICON, &count) == VANTORICO_ERR_ARGUMENT);
  EXPECT(count == 7);
  EXPECT(vantorico_group_describe(NULL, VANTORICO_ICON, 1, &info) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_group_file(NULL, VANTORICO_ICON, 1, 0, &data, &size) == VANTORICO_ERR_ARGUMENT);
  EXPECT(data == (unsigned char*)0x1 && size == 7);
  EXPECT(vantorico_source_kind_of(NULL, &kind) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_set_language(NULL, 0) == VANTORICO_ERR_ARGUMENT);
  vantorico_close(NULL);
  vantorico_free(NULL);
  EXPECT(strcmp(vantorico_strerror(-5), "unknown status") == 0);
  EXPECT(strlen(vantorico_strerror(VANTORICO_ERR_SHORT_BUFFER)) > 0);
}

static void bad_sources(void) {
  static const unsigned char garbage[] = "MZ this is no program at all";
  vantorico_source* s = NULL;
  EXPECT(vantorico_open_path("/nonexistent/file.dll", &s) == VANTORICO_ERR_MISSING);
  EXPECT(vantorico_open_path("/", &s) == VANTORICO_ERR_NOT_REGULAR_FILE);
  EXPECT(vantorico_open_memory(garbage, sizeof garbage, &s) == VANTORICO_ERR_UNSUPPORTED);
  EXPECT(vantorico_open_memory(garbage, 0, &s) == VANTORICO_ERR_UNSUPPORTED);
  EXPECT(s == NULL);
}

static void out_of_range(vantorico_source* s) {
  unsigned char* data = NULL;
  size_t size = 0, needed = 0;
  long count = 0;
  unsigned char digest[VANTORICO_SHA256_SIZE];
  char name[2];
  vantorico_group_info info;
  vantorico_image_info image;
  unsigned long w, h;
  long i;
  EXPECT(vantorico_group_count(s, VANTORICO_ICON, &count) == VANTORICO_OK && count > 0);
  EXPECT(vantorico_group_count(s, 4, &count) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_group_count(s, -1, &count) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_group_describe(s, VANTORICO_ICON, 0, &info) == VANTORICO_ERR_NO_SUCH_GROUP);
  EXPECT(vantorico_group_describe(s, VANTORICO_ICON, count + 1, &info) ==
         VANTORICO_ERR_NO_SUCH_GROUP);
  EXPECT(vantorico_group_describe(s, VANTORICO_ICON, 1, NULL) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_group_file(s, VANTORICO_ICON, -3, 0, &data, &size) ==
         VANTORICO_ERR_NO_SUCH_GROUP);
  EXPECT(vantorico_group_file(s, VANTORICO_ICON, 1, 9, &data, &size) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_group_file(s, VANTORICO_ICON, 1, 0, NULL, &size) == VANTORICO_ERR_ARGUMENT);
  EXPECT(data == NULL);
  EXPECT(vantorico_group_describe(s, VANTORICO_ICON, 1, &info) == VANTORICO_OK);
  EXPECT(vantorico_image_describe(s, VANTORICO_ICON, 1, info.image_count, &image) ==
         VANTORICO_ERR_NO_SUCH_IMAGE);
  EXPECT(vantorico_image_rgba(s, VANTORICO_ICON, 1, (size_t)-1, &data, &w, &h) ==
         VANTORICO_ERR_NO_SUCH_IMAGE);
  EXPECT(vantorico_image_digest(s, VANTORICO_ICON, 1, 0, VANTORICO_SHA256, digest, 31) ==
         VANTORICO_ERR_SHORT_BUFFER);
  EXPECT(vantorico_image_digest(s, VANTORICO_ICON, 1, 0, 7, digest, sizeof digest) ==
         VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_image_digest(s, VANTORICO_ICON, 1, 0, VANTORICO_MD5, digest, 16) ==
         VANTORICO_OK);
  EXPECT(vantorico_group_png(s, VANTORICO_ICON, 1, 5000, &data, &size) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_group_language(s, VANTORICO_ICON, 1, info.language_count, (unsigned*)&w) ==
         VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_set_language(s, 0x10000) == VANTORICO_ERR_ARGUMENT);
  /* A name: a short buffer is left alone and told the size needed; an
   * identifier has no text to copy. The module's first group is APPLE. */
  EXPECT(info.name_is_text);
  name[0] = 'x';
  EXPECT(vantorico_group_name(s, VANTORICO_ICON, 1, name, sizeof name, &needed) ==
         VANTORICO_ERR_SHORT_BUFFER);
  EXPECT(needed == 6 && name[0] == 'x');
  {
    char whole[6];
    EXPECT(vantorico_group_name(s, VANTORICO_ICON, 1, whole, sizeof whole, NULL) == VANTORICO_OK);
    EXPECT(strcmp(whole, "APPLE") == 0);
  }
  for (i = 1; i <= count; ++i) {
    vantorico_group_info other;
    if (vantorico_group_describe(s, VANTORICO_ICON, i, &other) == VANTORICO_OK && other.has_name &&
        !other.name_is_text) {
      EXPECT(vantorico_group_name(s, VANTORICO_ICON, i, name, sizeof name, &needed) ==
             VANTORICO_ERR_NOT_APPLICABLE);
      break;
    }
  }
  EXPECT(i <= count);
  EXPECT(vantorico_group_name(s, VANTORICO_ICON, 1, NULL, 5, &needed) == VANTORICO_ERR_ARGUMENT);
  EXPECT(vantorico_group_file(s, VANTORICO_ANICURSOR, 1, 0, &data, &size) ==
         VANTORICO_ERR_NO_SUCH_GROUP);
}

/* Every byte of the module cut off in turn at a few lengths: whatever a call
 * says, it says it without faults, and its buffers are whole. */
static void cut_short(const unsigned char* bytes, size_t size) {
  size_t cut;
  for (cut = 0; cut < size; cut += size / 97 + 1) {
    vantorico_source* s = NULL;
    long count = 0, i;
    if (vantorico_open_memory(bytes, cut, &s) != VANTORICO_OK) continue;
    vantorico_group_count(s, VANTORICO_ICON, &count);
    for (i = 1; i <= count; ++i) {
      unsigned char* data = NULL;
      size_t n = 0;
      if (vantorico_group_file(s, VANTORICO_ICON, i, VANTORICO_LAYOUT_EXACT, &data, &n) ==
          VANTORICO_OK) {
        EXPECT(n >= 6 && data[0] == 0 && data[2] == 1);
        vantorico_free(data);
      }
    }
    vantorico_close(s);
  }
}

struct job {
  const unsigned char* bytes;
  size_t size;
  unsigned long total;
};

static void* extract_all(void* arg) {
  struct job* job = (struct job*)arg;
  int round;
  for (round = 0; round < 20; ++round) {
    vantorico_source* s = NULL;
    long count = 0, i;
    if (vantorico_open_memory(job->bytes, job->size, &s) != VANTORICO_OK) return NULL;
    vantorico_group_count(s, VANTORICO_ICON, &count);
    for (i = 1; i <= count; ++i) {
      unsigned char* data = NULL;
      size_t n = 0;
      if (vantorico_group_file(s, VANTORICO_ICON, i, 0, &data, &n) == VANTORICO_OK) {
        job->total += n;
        vantorico_free(data);
      }
    }
    vantorico_close(s);
  }
  return NULL;
}

int main(int argc, char** argv) {
  vantorico_source* s = NULL;
  FILE* f;
  static unsigned char bytes[1 << 20];
  size_t size;
  struct job jobs[2];
  pthread_t threads[2];
  int t;
  if (argc != 2) return 2;
  module_path = argv[1];
  null_handles();
  bad_sources();
  if (vantorico_open_path(module_path, &s) != VANTORICO_OK) {
    fprintf(stderr, "cannot open %s\n", module_path);
    return 1;
  }
  out_of_range(s);
  vantorico_close(s);

  f = fopen(module_path, "rb");
  if (!f) return 1;
  size = fread(bytes, 1, sizeof bytes, f);
  fclose(f);
  cut_short(bytes, size);
  for (t = 0; t < 2; ++t) {
    jobs[t].bytes = bytes;
    jobs[t].size = size;
    jobs[t].total = 0;
    EXPECT(pthread_create(&threads[t], NULL, extract_all, &jobs[t]) == 0);
  }
  for (t = 0; t < 2; ++t) pthread_join(threads[t], NULL);
  EXPECT(jobs[0].total > 0 && jobs[0].total == jobs[1].total);
  if (failures) fprintf(stderr, "%d failures\n", failures);
  return failures ? 1 : 0;
}
