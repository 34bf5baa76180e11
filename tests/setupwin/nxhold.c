/* nxhold FILE SECONDS: holds FILE open for reading while denying others to write or delete it,
   as a running program holds its libraries on Windows, then ends. Exit 1 when it cannot. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: nxhold FILE SECONDS\n");
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "nxhold: cannot open %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  printf("holding %s\n", argv[1]);
  fflush(stdout);
  Sleep((DWORD)atoi(argv[2]) * 1000);
  CloseHandle(file);
  return 0;
}
