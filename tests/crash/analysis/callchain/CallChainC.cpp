#include "CallChain.h"

int gCallChainLineC = 0;

__attribute__((noinline)) int CallChainC(TCallChainProbe probe, void* context) {
  volatile int after = 1;
  gCallChainLineC = __LINE__ + 1;
  int result = probe(context);
  // Work after the call keeps it a call (no tail jump) at any optimisation.
  asm volatile("" ::: "memory");
  return result + after;
}
