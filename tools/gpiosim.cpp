// gpiosim: the outside world of the simulated module, from another process.
#include "sim/flash.h"
#include "sim/sim.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum ExitCode { DONE = 0, REFUSED = 1, USAGE = 2 };

const char kUsage[] =
    "usage: gpiosim set GPIO high|low   drive the outside signal on an input pin\n"
    "       gpiosim get GPIO            show the level at the pin and its direction\n"
    "       gpiosim pulse GPIO [ms]     drive the other level for ms (default 100), then back\n"
    "       gpiosim dump                every register window of the module as a hex listing\n"
    "       gpiosim reset               put the module back to its power-on state\n"
    "       gpiosim flash [refuse WHAT] the stored boot block and the flash requests; refuse\n"
    "                                   from now on WHAT: read, save, erase (several), or none\n"
    "GPIO is the number in the tool's \"#\" column; on Tegra also the port name (A6, BB3).\n"
    "The module is the one VELMORA_SIM_MODULE names (pxa270 when unset). It exists while a tool\n"
    "holds it: set, pulse and reset need a running gpioconfig; get and dump without one show\n"
    "the power-on state.\n"
    "Exit codes: 0 done, 1 refused, 2 usage.\n";

const char* g_module;
bool g_held;

int Usage(const char* problem) {
    if (problem) fprintf(stderr, "gpiosim: %s\n", problem);
    fputs(kUsage, stderr);
    return USAGE;
}

int Refuse(const char* reason) {
    fprintf(stderr, "gpiosim: %s\n", reason);
    return REFUSED;
}

bool IsTegra(SimModule module) {
    return module == SIM_MODULE_TEGRA2 || module == SIM_MODULE_TEGRA3 ||
           module == SIM_MODULE_TEGRA3_BELVAN;
}

// A decimal GPIO number, or on Tegra a port name: A..Z, then AA..EE, and the bit 0..7.
bool ParseGpio(const char* text, uint32_t* gpio) {
    if (isdigit(static_cast<unsigned char>(text[0]))) {
        char* end = nullptr;
        unsigned long value = strtoul(text, &end, 10);
        if (*end || value > 0xFFFF) return false;
        *gpio = uint32_t(value);
        return true;
    }
    if (!IsTegra(SimCurrentModule())) return false;
    size_t n = strlen(text);
    if (n < 2 || n > 3 || !isdigit(static_cast<unsigned char>(text[n - 1])) || text[n - 1] > '7')
        return false;
    int letter = toupper(static_cast<unsigned char>(text[0]));
    if (letter < 'A' || letter > 'Z') return false;
    int port = letter - 'A';
    if (n == 3) {
        if (toupper(static_cast<unsigned char>(text[1])) != letter) return false;
        port += 26;
    }
    *gpio = uint32_t(port * 8 + (text[n - 1] - '0'));
    return true;
}

int CheckGpio(const char* text, uint32_t* gpio) {
    if (!ParseGpio(text, gpio)) {
        fprintf(stderr, "gpiosim: '%s' is not a GPIO of the %s module\n", text, g_module);
        return USAGE;
    }
    if (SimPinIsOutput(*gpio) < 0) {
        fprintf(stderr, "gpiosim: the %s module has no GPIO %s\n", g_module, text);
        return REFUSED;
    }
    return DONE;
}

int NeedsHolder() {
    if (g_held) return DONE;
    fprintf(stderr,
            "gpiosim: no tool holds the %s module, so a change would be lost at once; start "
            "gpioconfig (same VELMORA_SIM_MODULE) first\n",
            g_module);
    return REFUSED;
}

int DriveInput(uint32_t gpio, const char* text, int level) {
    if (SimPinIsOutput(gpio) == 1) {
        fprintf(stderr,
                "gpiosim: GPIO %s is an output: the module drives it, so it is not driven from "
                "outside\n",
                text);
        return REFUSED;
    }
    return SimDriveInput(gpio, level) ? DONE : Refuse("the module did not take the signal");
}

int Set(int argc, char** argv) {
    if (argc != 4) return Usage("set needs a GPIO and high or low");
    int level = strcmp(argv[3], "high") == 0 ? 1 : strcmp(argv[3], "low") == 0 ? 0 : -1;
    if (level < 0) return Usage("the level is high or low");
    uint32_t gpio;
    if (int code = CheckGpio(argv[2], &gpio)) return code;
    if (int code = NeedsHolder()) return code;
    if (int code = DriveInput(gpio, argv[2], level)) return code;
    printf("GPIO %s: %s\n", argv[2], level ? "high" : "low");
    return DONE;
}

int Get(int argc, char** argv) {
    if (argc != 3) return Usage("get needs a GPIO");
    uint32_t gpio;
    if (int code = CheckGpio(argv[2], &gpio)) return code;
    printf("GPIO %s: %s (%s)\n", argv[2], SimPinLevel(gpio) ? "high" : "low",
           SimPinIsOutput(gpio) ? "output" : "input");
    if (!g_held)
        fprintf(stderr, "gpiosim: no tool holds the %s module; this is its power-on state\n",
                g_module);
    return DONE;
}

int Pulse(int argc, char** argv) {
    if (argc != 3 && argc != 4) return Usage("pulse needs a GPIO and optionally the milliseconds");
    unsigned long ms = 100;
    if (argc == 4) {
        char* end = nullptr;
        ms = strtoul(argv[3], &end, 10);
        if (*end || ms == 0 || ms > 60000) return Usage("the pulse lasts 1 to 60000 ms");
    }
    uint32_t gpio;
    if (int code = CheckGpio(argv[2], &gpio)) return code;
    if (int code = NeedsHolder()) return code;
    int level = SimPinLevel(gpio);
    if (int code = DriveInput(gpio, argv[2], !level)) return code;
    Sleep(ms);
    SimDriveInput(gpio, level);
    printf("GPIO %s: pulsed %s for %lu ms\n", argv[2], level ? "low" : "high", ms);
    return DONE;
}

int Dump() {
    if (!g_held)
        fprintf(stderr, "gpiosim: no tool holds the %s module; this is its power-on state\n",
                g_module);
    for (int r = 0; r < SimRegionCount(); ++r) {
        SimRegion region = *SimRegionAt(r);
        printf("%s at %08lX\n", region.name, region.physical);
        bool skipping = false;
        for (DWORD row = 0; row < region.size; row += 32) {
            uint32_t words[8];
            bool zero = true;
            for (int w = 0; w < 8; ++w) {
                SimPhysicalRead(region.physical + row + 4 * w, &words[w]);
                zero = zero && words[w] == 0;
            }
            if (zero) {
                if (!skipping) printf("*\n");
                skipping = true;
                continue;
            }
            skipping = false;
            printf("%08lX:", region.physical + row);
            for (uint32_t word : words)
                printf(" %08X", word);
            printf("\n");
        }
    }
    return DONE;
}

int Reset() {
    if (int code = NeedsHolder()) return code;
    SimResetModule();
    printf("%s module back at its power-on state\n", g_module);
    return DONE;
}

// The platform's flash store: the block it holds, the requests it refuses and how many arrived.
int Flash(int argc, char** argv) {
    auto refusedText = [](int refused) {
        static char text[32];
        snprintf(text, sizeof text, "%s%s%s%s", refused ? "" : " nothing",
                 refused & SIM_FLASH_READ ? " read" : "", refused & SIM_FLASH_SAVE ? " save" : "",
                 refused & SIM_FLASH_ERASE ? " erase" : "");
        return text;
    };
    if (argc == 2) {
        BYTE block[72];
        bool stored = SimFlashLoad(SimCurrentModule(), block);
        printf("stored block:%s", stored ? "" : " none");
        for (int w = 0; w < 18 && stored; ++w)
            printf("%s %08lX", w == 9 ? "\n             " : "",
                   DWORD(block[4 * w]) | block[4 * w + 1] << 8 | block[4 * w + 2] << 16 |
                       DWORD(block[4 * w + 3]) << 24);
        printf("\n");
        if (!g_held) {
            printf("no tool holds the %s module: nothing refused, no requests counted\n", g_module);
            return DONE;
        }
        SimFlashRequests n = SimFlashRequestCounts();
        printf("refused:%s\nrequests: %ld read, %ld save, %ld erase\n",
               refusedText(SimFlashRefused()), n.reads, n.saves, n.erases);
        return DONE;
    }
    if (strcmp(argv[2], "refuse") != 0 || argc < 4)
        return Usage("flash takes nothing, or refuse and what to refuse");
    int refused = 0;
    for (int i = 3; i < argc; ++i) {
        int op = strcmp(argv[i], "read") == 0    ? SIM_FLASH_READ
                 : strcmp(argv[i], "save") == 0  ? SIM_FLASH_SAVE
                 : strcmp(argv[i], "erase") == 0 ? SIM_FLASH_ERASE
                                                 : 0;
        bool none = argc == 4 && strcmp(argv[i], "none") == 0;
        if (!op && !none) return Usage("flash refuse takes read, save and erase, or none alone");
        refused |= op;
    }
    if (int code = NeedsHolder()) return code;
    if (!SimFlashRefuse(refused)) return Refuse("the module has no flash services");
    printf("flash refuses:%s\n", refusedText(refused));
    return DONE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(nullptr);
    SimDisableStimulus();
    SimModule module = SimCurrentModule();
    g_module = SimModuleDescription(module)->name;
    if (SimModuleDescription(module)->gpioCount == 0) {
        fprintf(stderr, "gpiosim: VELMORA_SIM_MODULE names no module with GPIOs (%s)\n",
                module == SIM_MODULE_INVALID ? "unknown name" : g_module);
        return REFUSED;
    }
    g_held = SimModuleHeldElsewhere();
    const char* command = argv[1];
    if (strcmp(command, "set") == 0) return Set(argc, argv);
    if (strcmp(command, "get") == 0) return Get(argc, argv);
    if (strcmp(command, "pulse") == 0) return Pulse(argc, argv);
    if (argc == 2 && strcmp(command, "dump") == 0) return Dump();
    if (argc == 2 && strcmp(command, "reset") == 0) return Reset();
    if (strcmp(command, "flash") == 0) return Flash(argc, argv);
    return Usage("unknown command");
}
