// A known call chain in three source files, for the stack walker's tests:
// CallChainA calls CallChainB calls CallChainC calls probe. Each records the
// line of its call (when it runs) so that the tests can check the lines
// of a walk.
#pragma once

using TCallChainProbe = int (*)(void* context);

int CallChainA(TCallChainProbe probe, void* context);
int CallChainB(TCallChainProbe probe, void* context);
int CallChainC(TCallChainProbe probe, void* context);

extern int gCallChainLineA;
extern int gCallChainLineB;
extern int gCallChainLineC;
