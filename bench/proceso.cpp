#include "proceso.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

long long ahoraNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

double msDesdeArranque() {
    FILE* f = std::fopen("/proc/self/stat", "r");
    if (!f) return -1;
    char linea[2048] = {};
    const size_t n = std::fread(linea, 1, sizeof linea - 1, f);
    std::fclose(f);
    linea[n] = 0;
    // The command name may hold spaces and parentheses: fields are counted after the last ')'.
    const char* p = std::strrchr(linea, ')');
    if (!p) return -1;
    unsigned long long inicio = 0;
    int campo = 2;
    for (const char* c = p + 1; *c; ++c) {
        if (*c != ' ') continue;
        if (++campo == 22) {
            std::sscanf(c + 1, "%llu", &inicio);
            break;
        }
    }
    // starttime counts ticks since boot, on the boot-time clock.
    timespec t{};
    clock_gettime(CLOCK_BOOTTIME, &t);
    const double ahora = t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
    return ahora - inicio * 1000.0 / sysconf(_SC_CLK_TCK);
}

long memoriaKb(const char* campo) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char linea[256];
    long valor = -1;
    const size_t largo = std::strlen(campo);
    while (std::fgets(linea, sizeof linea, f)) {
        if (std::strncmp(linea, campo, largo) == 0 && linea[largo] == ':') {
            std::sscanf(linea + largo + 1, "%ld", &valor);
            break;
        }
    }
    std::fclose(f);
    return valor;
}
