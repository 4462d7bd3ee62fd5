/* Built against the installed tree through pkg-config: every group of FILE,
 * opened from its path and from memory, must give the bytes that the CLI's
 * `extract --type all` wrote into CLI_DIR (N.ico, N.cur, cursor-N.ani,
 * icon-N.ani), and as many groups as the CLI wrote files; a group it did
 * not write must be one that does not read or has no images. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vantorico/vantorico.h>

static unsigned char* read_all(const char* path, size_t* size) {
  FILE* f = fopen(path, "rb");
  unsigned char* data = NULL;
  size_t used = 0, room = 0, got;
  if (!f) return NULL;
  do {
    if (used == room) {
      unsigned char* more;
      room = room ? room * 2 : 65536;
      more = (unsigned char*)realloc(data, room);
      if (!more) break;
      data = more;
    }
    got = fread(data + used, 1, room - used, f);
    used += got;
  } while (got > 0);
  fclose(f);
  *size = used;
  return data;
}

static const char* const patterns[] = {"%s/%ld.ico", "%s/%ld.cur", "%s/cursor-%ld.ani",
                                       "%s/icon-%ld.ani"};

static int check(vantorico_source* source, const char* how, const char* dir, long* compared) {
  int type, failures = 0;
  for (type = VANTORICO_ICON; type <= VANTORICO_ANIICON; ++type) {
    long count = -1, i;
    if (vantorico_group_count(source, type, &count) != VANTORICO_OK) return 1;
    for (i = 1; i <= count; ++i) {
      char path[4200];
      unsigned char *mine = NULL, *cli;
      size_t mine_size = 0, cli_size = 0;
      int status;
      sprintf(path, patterns[type], dir, i);
      cli = read_all(path, &cli_size);
      status = vantorico_group_file(source, type, i, VANTORICO_LAYOUT_DEFAULT, &mine, &mine_size);
      if (!cli) {
        /* The CLI writes nothing for a group that does not read or is empty. */
        vantorico_group_info info;
        if (status == VANTORICO_OK &&
            (vantorico_group_describe(source, type, i, &info) != VANTORICO_OK ||
             info.image_count != 0)) {
          fprintf(stderr, "%s: %s is missing\n", how, path);
          ++failures;
        }
        vantorico_free(mine);
        continue;
      }
      if (status != VANTORICO_OK || mine_size != cli_size || memcmp(mine, cli, cli_size) != 0) {
        fprintf(stderr, "%s: %s differs (%s, %lu bytes against %lu)\n", how, path,
                vantorico_strerror(status), (unsigned long)mine_size, (unsigned long)cli_size);
        ++failures;
      } else {
        ++*compared;
      }
      free(cli);
      vantorico_free(mine);
    }
  }
  return failures;
}

int main(int argc, char** argv) {
  vantorico_source* source = NULL;
  unsigned char* bytes;
  size_t size = 0;
  long by_path = 0, by_memory = 0;
  int failures = 0, status;
  if (argc != 4) {
    fprintf(stderr, "usage: %s FILE CLI_DIR FILES_IN_CLI_DIR\n", argv[0]);
    return 2;
  }
  status = vantorico_open_path(argv[1], &source);
  if (status != VANTORICO_OK) {
    fprintf(stderr, "%s: %s\n", argv[1], vantorico_strerror(status));
    return 1;
  }
  failures += check(source, "path", argv[2], &by_path);
  vantorico_close(source);

  bytes = read_all(argv[1], &size);
  if (!bytes) return 1;
  source = NULL;
  status = vantorico_open_memory(bytes, size, &source);
  /* The handle owns a copy: the caller's buffer may go at once. */
  memset(bytes, 0, size);
  free(bytes);
  if (status != VANTORICO_OK) {
    fprintf(stderr, "memory: %s\n", vantorico_strerror(status));
    return 1;
  }
  failures += check(source, "memory", argv[2], &by_memory);
  vantorico_close(source);
  printf("%ld groups equal from the path, %ld from memory\n", by_path, by_memory);
  if (by_path != atol(argv[3])) {
    fprintf(stderr, "the CLI wrote %s files\n", argv[3]);
    return 1;
  }
  return failures || by_path == 0 || by_path != by_memory ? 1 : 0;
}
