#pragma once

// What the kernel says about the running process: clocks and memory. Plain C++, so that even
// the bare start-up window links nothing of ours but this.

// CLOCK_MONOTONIC in nanoseconds: comparable between processes of one machine.
long long ahoraNs();

// Milliseconds since this process started, from /proc/self/stat (kernel ticks, 10 ms here).
double msDesdeArranque();

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when it cannot be read.
long memoriaKb(const char* campo);
