#pragma once

// Gives memory freed by any thread back to the system, where the allocator keeps it until asked
// (glibc keeps what a thread freed in that thread's pool); elsewhere it does nothing. The build
// picks the one file that fits.
void soltarMemoria();
