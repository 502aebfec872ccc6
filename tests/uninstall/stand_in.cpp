// A program that runs for the milliseconds given as its argument, then ends.
#include "system/win.h"

#include <cstdlib>

int main(int argc, char** argv) {
  ::Sleep(argc > 1 ? static_cast<DWORD>(std::atol(argv[1])) : 0);
  return 0;
}
