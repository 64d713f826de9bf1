// Placeholder until the sample generator is written.
#include <cstdio>

int main() {
  std::fputs("make_samples: not written yet\n", stderr);
  return 1;
}
