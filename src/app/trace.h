// For the benchmark: when INKSTRIP_TRACE names a file, the times at which curves begin and, paced,
// stamps are drawn are kept in memory and written there at the end, one "c NS" or "s NS" a line
// (nanoseconds on the monotonic clock). Without it nothing is kept and no hook is touched.
#pragma once

// After the stroke's hooks are set: wraps curvestart and stampdrawn to note their times.
void StartTrace();

// Writes what was noted; called once as the program ends normally.
void EndTrace();
