#include "CallChain.h"

int gCallChainLineA = 0;

__attribute__((noinline)) int CallChainA(TCallChainProbe probe, void* context) {
  volatile int after = 1;
  gCallChainLineA = __LINE__ + 1;
  int result = CallChainB(probe, context);
  // Work after the call keeps it a call (no tail jump) at any optimisation.
  asm volatile("" ::: "memory");
  return result + after;
}
