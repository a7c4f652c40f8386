#pragma once

// Lets a test kill the program at one exact step of a change, to show that
// the next run finds the files consistent. QUILLERY_FAULT_KILL_AT=<step>:<n>
// makes the process kill itself (SIGKILL, as a crash or `kill -9` would) when
// it reaches step <step> for the n-th time; unset, a step costs one look at a
// cached value.
namespace FaultPoint {

void reached(const char* step);

} // namespace FaultPoint
