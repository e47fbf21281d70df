// gpiosim: the outside world of the simulated module, from another process.
#include "platform/kernel_ioctl.h"
#include "sim/flash.h"
#include "sim/sim.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Exit codes, one rule: 2 when the command line is not understood (unknown command, wrong
// number of arguments, a GPIO, level or duration not written as one), 1 when it is understood
// but cannot be done on this module (no such GPIO, an output, no tool holding the module).
enum ExitCode { DONE = 0, REFUSED = 1, USAGE = 2 };

const char kUsage[] =
    "usage: gpiosim set GPIO high|low   drive the outside signal on an input pin\n"
    "       gpiosim get GPIO            show the level at the pin and its direction\n"
    "       gpiosim pulse GPIO [ms [n]] drive the other level for ms (1..60000, default 100),\n"
    "                                   then back; n pulses (1..10000), ms apart\n"
    "       gpiosim dump                every register window of the module as a hex listing\n"
    "       gpiosim reset               put the module back to its power-on state\n"
    "       gpiosim flash [refuse WHAT] the stored boot block and the flash requests; refuse\n"
    "                                   from now on WHAT: read, save, erase (several), or none\n"
    "       gpiosim held                whether a tool holds the module (exit code 0) or\n"
    "                                   none does (1)\n"
    "       gpiosim --help              this text\n"
    "GPIO is the number in the tool's \"#\" column; on Tegra also the port name (A6, BB3).\n"
    "The module is the one VELMORA_SIM_MODULE names (pxa270 when unset). It exists while a tool\n"
    "holds it: set, pulse and reset need a running gpioconfig; get and dump without one show\n"
    "the power-on state.\n"
    "Exit codes: 0 done; 1 refused by the module (no such GPIO, an output pin, no tool\n"
    "running); 2 the command line is not understood.\n";

constexpr unsigned long kLongestPulse = 60000;
constexpr unsigned long kLongestTrain = 10000;

const char* g_module;
bool g_held;

// One line on stderr: what is wrong with the command line.
int Usage(const char* problem, const char* argument = nullptr) {
    if (argument)
        fprintf(stderr, "gpiosim: %s: '%s' (gpiosim --help shows the usage)\n", problem, argument);
    else
        fprintf(stderr, "gpiosim: %s (gpiosim --help shows the usage)\n", problem);
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

bool AllDigits(const char* text) {
    if (!*text) return false;
    for (const char* c = text; *c; ++c)
        if (*c < '0' || *c > '9') return false;
    return true;
}

// Decimal digits only; numbers too large for 32 bits come out as UINT32_MAX.
uint32_t Number(const char* text) {
    uint64_t value = 0;
    for (const char* c = text; *c && value <= UINT32_MAX; ++c)
        value = value * 10 + uint64_t(*c - '0');
    return value > UINT32_MAX ? UINT32_MAX : uint32_t(value);
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A port name: one letter or two equal letters (A..Z, AA..EE), then the bit 0..7.
bool PortGpio(const char* text, uint32_t* gpio) {
    size_t letters = 0;
    while (IsLetter(text[letters]))
        ++letters;
    if (letters < 1 || letters > 2 || !AllDigits(text + letters)) return false;
    int letter = toupper(static_cast<unsigned char>(text[0]));
    if (letters == 2 && toupper(static_cast<unsigned char>(text[1])) != letter) return false;
    uint32_t bit = Number(text + letters);
    if (bit > 7) return false;
    *gpio = uint32_t((letter - 'A' + (letters == 2 ? 26 : 0)) * 8) + bit;
    return true;
}

bool LooksLikePortName(const char* text) {
    size_t letters = 0;
    while (IsLetter(text[letters]))
        ++letters;
    return letters >= 1 && AllDigits(text + letters);
}

// How a GPIO may be written: a number, or a port name (Tegra only, checked later).
bool GpioWritten(const char* text) {
    return AllDigits(text) || LooksLikePortName(text);
}

// The GPIO a well-written text names; REFUSED when this module has no such GPIO.
int CheckGpio(const char* text, uint32_t* gpio) {
    bool named = true;
    if (AllDigits(text)) {
        *gpio = Number(text);
    } else if (!IsTegra(SimCurrentModule())) {
        fprintf(stderr, "gpiosim: the %s module has no port names, so no GPIO %s; use its number\n",
                g_module, text);
        return REFUSED;
    } else {
        named = PortGpio(text, gpio);
    }
    if (!named || SimPinIsOutput(*gpio) < 0) {
        fprintf(stderr, "gpiosim: the %s module has no GPIO %s\n", g_module, text);
        return REFUSED;
    }
    return DONE;
}

// The module VELMORA_SIM_MODULE names, once the command line is understood.
int OpenModule() {
    SimDisableStimulus();
    SimModule module = SimCurrentModule();
    g_module = SimModuleDescription(module)->name;
    if (module == SIM_MODULE_INVALID) return Refuse("no simulated module (see the line above)");
    if (SimModuleDescription(module)->gpioCount == 0)
        return Refuse("VELMORA_SIM_MODULE names a module without GPIOs");
    g_held = SimModuleHeldElsewhere();
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

int Set(char** args) {
    int level = strcmp(args[1], "high") == 0 ? 1 : strcmp(args[1], "low") == 0 ? 0 : -1;
    if (level < 0) return Usage("the level is high or low", args[1]);
    if (!GpioWritten(args[0])) return Usage("not a GPIO number or port name", args[0]);
    uint32_t gpio;
    if (int code = OpenModule()) return code;
    if (int code = CheckGpio(args[0], &gpio)) return code;
    if (int code = NeedsHolder()) return code;
    if (int code = DriveInput(gpio, args[0], level)) return code;
    printf("GPIO %s: %s\n", args[0], level ? "high" : "low");
    return DONE;
}

int Get(char** args) {
    if (!GpioWritten(args[0])) return Usage("not a GPIO number or port name", args[0]);
    uint32_t gpio;
    if (int code = OpenModule()) return code;
    if (int code = CheckGpio(args[0], &gpio)) return code;
    printf("GPIO %s: %s (%s)\n", args[0], SimPinLevel(gpio) ? "high" : "low",
           SimPinIsOutput(gpio) ? "output" : "input");
    if (!g_held)
        fprintf(stderr, "gpiosim: no tool holds the %s module; this is its power-on state\n",
                g_module);
    return DONE;
}

// Waits out a pulse without holding the module, so that the end of the tool that holds it
// ends the pulse too: false when the module is gone.
bool WaitHeld(unsigned long ms) {
    SimSelectModule(SimCurrentModule()); // lets go of this process's view of the module
    const DWORD step = 50;
    for (ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end;) {
        ULONGLONG left = end - GetTickCount64();
        Sleep(left < step ? DWORD(left) : step);
        if (!SimModuleHeldElsewhere()) return false;
    }
    return true;
}

int Pulse(char** args) {
    unsigned long ms = 100;
    if (args[1]) {
        if (!AllDigits(args[1]) || Number(args[1]) == 0 || Number(args[1]) > kLongestPulse)
            return Usage("the pulse lasts 1 to 60000 ms", args[1]);
        ms = Number(args[1]);
    }
    unsigned long count = 1;
    if (args[1] && args[2]) {
        if (!AllDigits(args[2]) || Number(args[2]) == 0 || Number(args[2]) > kLongestTrain)
            return Usage("a train has 1 to 10000 pulses", args[2]);
        count = Number(args[2]);
    }
    if (!GpioWritten(args[0])) return Usage("not a GPIO number or port name", args[0]);
    uint32_t gpio;
    if (int code = OpenModule()) return code;
    if (int code = CheckGpio(args[0], &gpio)) return code;
    if (int code = NeedsHolder()) return code;
    int level = SimPinLevel(gpio);
    for (unsigned long pulse = 0; pulse < count; ++pulse) {
        if (pulse && !WaitHeld(ms))
            return Refuse("the tool ended during the train; the module is gone");
        if (int code = DriveInput(gpio, args[0], !level)) return code;
        if (!WaitHeld(ms)) return Refuse("the tool ended during the pulse; the module is gone");
        SimDriveInput(gpio, level);
    }
    if (count == 1)
        printf("GPIO %s: pulsed %s for %lu ms\n", args[0], level ? "low" : "high", ms);
    else
        printf("GPIO %s: pulsed %s %lu times for %lu ms, %lu ms apart\n", args[0],
               level ? "low" : "high", count, ms, ms);
    return DONE;
}

int Dump(char**) {
    if (int code = OpenModule()) return code;
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

int Reset(char**) {
    if (int code = OpenModule()) return code;
    if (int code = NeedsHolder()) return code;
    if (!SimResetModule()) return Refuse("the module could not be reset");
    printf("%s module back at its power-on state\n", g_module);
    return DONE;
}

// The platform's flash store: the block it holds, the requests it refuses and how many arrived.
int Flash(char** args) {
    if (int code = OpenModule()) return code;
    int argc = 2;
    while (args[argc - 2])
        ++argc;
    char** argv = args - 2;
    auto refusedText = [](int refused) {
        static char text[32];
        snprintf(text, sizeof text, "%s%s%s%s", refused ? "" : " nothing",
                 refused & SIM_FLASH_READ ? " read" : "", refused & SIM_FLASH_SAVE ? " save" : "",
                 refused & SIM_FLASH_ERASE ? " erase" : "");
        return text;
    };
    if (argc == 2) {
        BYTE block[BOOT_BLOCK_SIZE];
        bool stored = SimFlashLoad(SimCurrentModule(), block);
        printf("stored block:%s", stored ? "" : " none");
        for (DWORD w = 0; w < BOOT_BLOCK_SIZE / 4 && stored; ++w)
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

// Whether changes to the module would last: the command line of the tool asks before it
// changes the pins.
int Held(char**) {
    if (int code = OpenModule()) return code;
    if (!g_held) return Refuse((std::string("no tool holds the ") + g_module + " module").c_str());
    printf("a tool holds the %s module\n", g_module);
    return DONE;
}

struct Command {
    const char* name;
    int fewest, most; // arguments after the command word
    const char* takes;
    int (*run)(char** args); // args: the arguments, then null
};

const Command kCommands[] = {
    {"set", 2, 2, "a GPIO and high or low", Set},
    {"get", 1, 1, "a GPIO", Get},
    {"pulse", 1, 3, "a GPIO, optionally the milliseconds and a count", Pulse},
    {"dump", 0, 0, "no arguments", Dump},
    {"reset", 0, 0, "no arguments", Reset},
    {"flash", 0, 4, "nothing, or refuse and what to refuse", Flash},
    {"held", 0, 0, "no arguments", Held},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fputs(kUsage, stderr);
        return USAGE;
    }
    const char* word = argv[1];
    if (strcmp(word, "--help") == 0 || strcmp(word, "-h") == 0 || strcmp(word, "help") == 0) {
        fputs(kUsage, stdout);
        return DONE;
    }
    for (const Command& command : kCommands) {
        if (strcmp(word, command.name) != 0) continue;
        int count = argc - 2;
        if (count < command.fewest || count > command.most) {
            char problem[96];
            snprintf(problem, sizeof problem, "%s takes %s", command.name, command.takes);
            return Usage(problem);
        }
        return command.run(argv + 2);
    }
    return Usage("unknown command", word);
}
