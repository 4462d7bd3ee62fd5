/* Lists the groups of a program or icon file and writes each icon group as
 * FOLDER/<index>.ico, through libvantorico:
 *
 *   cc -o list_extract list_extract.c $(pkg-config --cflags --libs vantorico)
 *   ./list_extract shell32.dll out
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vantorico/vantorico.h>

static int write_file(const char* path, const unsigned char* data, size_t size) {
  FILE* f = fopen(path, "wb");
  int ok;
  if (!f) return 0;
  ok = fwrite(data, 1, size, f) == size;
  return fclose(f) == 0 && ok;
}

int main(int argc, char** argv) {
  vantorico_source* source = NULL;
  long count = 0, i;
  int status;
  if (argc != 2 && argc != 3) {
    fprintf(stderr, "usage: %s FILE [FOLDER]\n", argv[0]);
    return 2;
  }
  status = vantorico_open_path(argv[1], &source);
  if (status != VANTORICO_OK) {
    fprintf(stderr, "%s: %s\n", argv[1], vantorico_strerror(status));
    return 1;
  }
  vantorico_group_count(source, VANTORICO_ICON, &count);
  for (i = 1; i <= count; ++i) {
    vantorico_group_info info;
    size_t k;
    status = vantorico_group_describe(source, VANTORICO_ICON, i, &info);
    if (status != VANTORICO_OK) {
      printf("%ld\t%s\n", i, vantorico_strerror(status));
      continue;
    }
    if (info.name_is_text) {
      char name[256];
      if (vantorico_group_name(source, VANTORICO_ICON, i, name, sizeof name, NULL) != VANTORICO_OK)
        strcpy(name, "(long name)");
      printf("%ld\t\"%s\"", i, name);
    } else if (info.has_name) {
      printf("%ld\t%u", i, info.id);
    } else {
      printf("%ld\t-", i);
    }
    printf("\t%lu image%s", (unsigned long)info.image_count, info.image_count == 1 ? "" : "s");
    for (k = 0; k < info.image_count; ++k) {
      vantorico_image_info image;
      if (vantorico_image_describe(source, VANTORICO_ICON, i, k, &image) == VANTORICO_OK)
        printf("\t%lux%lu %lu-bit %s %lu bytes", image.width, image.height, image.bit_depth,
               image.format == VANTORICO_FORMAT_PNG ? "PNG" : "DIB",
               (unsigned long)image.byte_count);
    }
    printf("\n");
    if (argc == 3) {
      unsigned char* data = NULL;
      size_t size = 0;
      char path[4096];
      status =
          vantorico_group_file(source, VANTORICO_ICON, i, VANTORICO_LAYOUT_DEFAULT, &data, &size);
      if (status != VANTORICO_OK) {
        fprintf(stderr, "group %ld: %s\n", i, vantorico_strerror(status));
        continue;
      }
      sprintf(path, "%.4000s/%ld.ico", argv[2], i);
      if (!write_file(path, data, size)) fprintf(stderr, "%s: cannot write\n", path);
      vantorico_free(data);
    }
  }
  vantorico_close(source);
  return 0;
}
