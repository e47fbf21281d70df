// A real list view for the table's tests, owned by the test's thread, and the tool's start-up
// state for a simulated module.
#pragma once
#include "tests/test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

// Selects the module at its power-on state and runs start-up as the tool does (without the
// dialog); every column the processor allows is shown, "version3.1" (Belvan: its board).
void StartOnModule(SimModule module);

struct TestList {
    HWND parent = nullptr;
    HWND list = nullptr;
    TestList();                       // a list of its own, in a hidden window
    explicit TestList(HWND existing); // reads another list
    ~TestList();

    int Rows() const;
    int Columns() const;
    std::wstring Header(int column) const;
    int Width(int column) const;
    int Format(int column) const;
    std::wstring Text(int row, int column) const;
    LPARAM Param(int row) const;
    int RowOf(uint32_t gpio) const; // -1 when no row carries the GPIO
    // Text of a GPIO's cell in the column a ColumnSlot names.
    std::wstring Cell(uint32_t gpio, int slot) const;
    // Every row's text in one column, top to bottom.
    std::vector<std::wstring> ColumnTexts(int column) const;
};

// Serves this thread's messages until the condition holds; false after timeoutMs.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
// Runs a function on a thread of its own while this thread serves its messages.
void RunElsewhere(const std::function<void()>& work);
