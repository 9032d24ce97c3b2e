// cradlewright-host (placeholder until the simulator lands).
#include <cstdio>
int main() {
  std::puts("cradlewright-host");
  return 0;
}
