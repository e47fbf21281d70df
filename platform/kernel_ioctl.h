// The platform's kernel I/O-control codes and their record layouts. Addresses travel as
// pointer-sized words: 32 bits on the module, 64 bits on an x86-64 build.
#pragma once
#include <windows.h>

constexpr DWORD IOCTL_MODULE_INFO = 0x0101200C;       // out: one word; upper half 1 = Belvan
constexpr DWORD IOCTL_READ_BOOT_CONFIG = 0x01012028;  // in: BootBlockRequest; out: the block
constexpr DWORD IOCTL_SAVE_BOOT_CONFIG = 0x0101202C;  // in: BootBlockRequest
constexpr DWORD IOCTL_CLEAR_BOOT_CONFIG = 0x01012030; // in: BootBlockRequest, id only
constexpr DWORD IOCTL_KERNEL_SERVICE = 0x010120D0;    // in: first word is a sub-code

// Upper 16 bits of the module-information word that name the Belvan family.
constexpr DWORD MODULE_FAMILY_MASK = 0xFFFF0000;
constexpr DWORD MODULE_FAMILY_BELVAN = 0x00010000;

// Block identifier of the boot-up GPIO configuration and its size in bytes.
constexpr UINT_PTR BOOT_BLOCK_GPIO = 6;
constexpr DWORD BOOT_BLOCK_SIZE = 72;

struct BootBlockRequest {
    UINT_PTR blockId;
    UINT_PTR buffer;
    UINT_PTR size;
};

enum KernelServiceCode : UINT_PTR {
    KERNEL_SERVICE_CALL = 0, // run a function in kernel mode
    KERNEL_SERVICE_MAP = 1,  // VirtualCopy with PAGE_PHYSICAL on the caller's behalf
    KERNEL_SERVICE_INIT = 2, // once per process, before the first map request
};

// Runs in kernel mode; receives the argument of the call request.
typedef DWORD (*KernelFunction)(UINT_PTR argument);

struct KernelCallRequest {
    UINT_PTR subCode; // KERNEL_SERVICE_CALL
    UINT_PTR function;
    UINT_PTR argument;
};

struct KernelMapRequest {
    UINT_PTR subCode; // KERNEL_SERVICE_MAP
    UINT_PTR destination;
    UINT_PTR physicalShifted; // physical address >> 8
    UINT_PTR size;
    UINT_PTR protection;
};

struct KernelInitRequest {
    UINT_PTR subCode; // KERNEL_SERVICE_INIT
};

constexpr DWORD KERNEL_INIT_REPLY_SIZE = 200;
