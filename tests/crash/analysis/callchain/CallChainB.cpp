#include "CallChain.h"

int gCallChainLineB = 0;

__attribute__((noinline)) int CallChainB(TCallChainProbe probe, void* context) {
  volatile int after = 1;
  gCallChainLineB = __LINE__ + 1;
  int result = CallChainC(probe, context);
  // Work after the call keeps it a call (no tail jump) at any optimisation.
  asm volatile("" ::: "memory");
  return result + after;
}
