// The GPIO list: its columns and rows, the live refresh and the sort.
#pragma once
#include "table/shared.h"
#include "activity/vcd.h"

#include <windows.h>
#include <commctrl.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Processor families a column may be shown on, one bit per ProcessorFamily.
enum ColumnFamilies : unsigned {
    ON_PXA = 1u << FAMILY_PXA270 | 1u << FAMILY_PXA3XX, // and any processor the table lacks
    ON_TEGRA2 = 1u << FAMILY_TEGRA2,
    ON_TEGRA3 = 1u << FAMILY_TEGRA3,
    ON_TEGRA = ON_TEGRA2 | ON_TEGRA3,
    ON_ALL = ON_PXA | ON_TEGRA,
};

struct ColumnDef {
    ColumnSlotIndex slot;
    const wchar_t* header;
    int format; // LVCFMT_LEFT or LVCFMT_RIGHT
    int width;  // list-view pixels
    bool zeroWidthInBootup;
    unsigned allowedOn; // ColumnFamilies
};
// The optional columns in list order, which is also the order of the "Columns" popup.
extern const ColumnDef Columns[COLUMN_SLOT_COUNT];

// Columns the last build inserted; the next build deletes exactly that many.
extern int ColumnCount;

inline bool ColumnShown(ColumnSlotIndex slot) {
    return ColumnSlots[slot] != COLUMN_HIDDEN;
}
// A column seen in the list: shown, and not inserted at width 0 (as Boot-up Settings inserts
// three).
bool ColumnSeen(const ColumnDef& column);
// The ColumnSlot shown at a list column index, or -1.
int ColumnSlotAt(int column);

// RowCache: what each row's cells last showed, by GPIO number. The values index the text
// tables below (the alternate function is the function number itself).
constexpr int ROW_CACHE_ENTRIES = 246;
extern int CachedAltFn[ROW_CACHE_ENTRIES];
extern int CachedDir[ROW_CACHE_ENTRIES];
extern int CachedLevel[ROW_CACHE_ENTRIES];
extern int CachedEdgeDetect[ROW_CACHE_ENTRIES];
extern int CachedEdgeStatus[ROW_CACHE_ENTRIES];
extern int CachedTristate[ROW_CACHE_ENTRIES];
extern int CachedPullState[ROW_CACHE_ENTRIES];
// Beside the RowCache: the edge count each "Edges" cell shows.
extern uint64_t CachedEdges[ROW_CACHE_ENTRIES];

// Cached values that stand for "not a GPIO" (a Tegra pad on a special function).
constexpr int DIR_NOT_GPIO = 2;
constexpr int LEVEL_NOT_GPIO = 2;

extern const wchar_t* const DirText[3];
extern const wchar_t* const LevelText[3];
extern const wchar_t* const EdgeDetectText[4];
extern const wchar_t* const EdgeStatusText[2];
extern const wchar_t* const TristateText[2];
extern const wchar_t* const PullStateText[4];
// Shown for a value outside its table: the pull state -1 of the last Tegra 3 row, which the
// library does not count as a GPIO. The cell, the refresh and the sort all use it.
extern const wchar_t NoValueText[];

template <size_t N> const wchar_t* TextOf(const wchar_t* const (&table)[N], int value) {
    return value >= 0 && size_t(value) < N ? table[value] : NoValueText;
}

// Tegra pad names, one per GPIO (8-bit ASCII).
constexpr int TEGRA2_PAD_NAMES = FactsOf(PROCESSOR_TEGRA2).listRows;
constexpr int TEGRA3_PAD_NAMES = FactsOf(PROCESSOR_TEGRA3).listRows;
extern const char* const Tegra2PadNames[TEGRA2_PAD_NAMES];
extern const char* const Tegra3PadNames[TEGRA3_PAD_NAMES];
// The pad name of a GPIO on the processor in use; "" where it has none.
const char* PadName(uint32_t gpio);

// The "#" text of a GPIO: the number on PXA, port and bit on Tegra (A0 .. Z7, AA0 .. EE4).
// text must hold 8 characters.
void GpioName(uint32_t gpio, wchar_t* text);

// Fills the list from scratch (columns, one row per GPIO that the find words let through, with
// lParam = GPIO, every shown cell) and records what it reads in the RowCache for every GPIO. Runs
// on the thread that owns the list, while no refresh thread runs. Returns 1.
int BuildGpioList(HWND list);

// A window's pixels per inch: its monitor's where the system tells (Windows 10 and later), else
// the system's. Column widths are scaled from 96 to the list's when it is built, and from one
// to another when the window moves to a monitor of another resolution.
int WindowDpi(HWND window);
void ScaleColumnWidths(HWND list, int fromDpi, int toDpi);

// The refresh thread: reads every GPIO UpdateRate times a second and rewrites the cells whose
// value changed. StartPollThread needs a list that BuildGpioList has filled; it returns 0, and
// starts nothing, when a refresh thread runs already or none could be made. StopPollThread
// runs on another thread than the list's (it waits up to 200 ms for the thread to end).
int StartPollThread(HWND list);
int StopPollThread();
// A cell the refresh changed is drawn highlighted for about a second: the list's parent hands
// its NM_CUSTOMDRAW notifications here and returns the result.
LRESULT CustomDrawGpioList(NMLVCUSTOMDRAW* draw);
bool CellHighlighted(uint32_t gpio, int slot);
COLORREF ChangedCellColor(); // the background of a highlighted cell
// The "Activity" cell, drawn in the subitem stage of the list's custom draw, in the row's
// colours; returns the custom draw's result.
LRESULT DrawActivityCell(NMLVCUSTOMDRAW* draw, COLORREF line, COLORREF back);
// Where the Activity pictures end, as the list's thread last moved them (0: not yet).
uint64_t ShownActivityEndUs();
// True while changes found by passes wait for the list's thread to write them.
bool CellUpdatesPending();
// While paused (the window minimised) no pass runs; resuming runs a pass at once.
void PausePolling(bool paused);
// The wait between two passes for the current UpdateRate: 1 Hz for 0, 0 ms above 1000 Hz.
DWORD PollPeriod();

// The table as the user sees it: a header line, then one line per row in the order shown,
// tab-separated, with the columns shown at a width above 0. Copied as Unicode text to the
// clipboard by CopyGpioTable (false, with a beep, when the clipboard stayed taken).
std::wstring GpioTableText(HWND list);
bool CopyGpioTable(HWND list, HWND owner);
// What GpioTableText gives of a list that shows every column the processor has but the sampled
// "Edges" and "Activity", in GPIO order, made without a list (the command line opens no window).
// Sets the ColumnSlots so.
std::wstring GpioTableTextOfEveryColumn();

// Activity export: the list's rows in the order shown, each a wire named "#_AltFn Name" (as the
// RowCache names the function), and a wire name for any GPIO.
std::vector<VcdWire> ShownRowWires(HWND list);
std::wstring WireName(uint32_t gpio, int dir, int altFn);
// One sampling pass over every GPIO's level, for a recording without a window.
void SampleEveryGpio();

// List-view comparison function: lParams are GPIO numbers, the parameter the clicked column.
int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM column);
// Sorts the list by a column with CompareRows and remembers the column, so that rows the find
// box brings back take their places in that order. A build puts the rows in GPIO order again.
void SortGpioList(HWND list, int column);
int SortColumn(); // -1: GPIO order
void ForgetSortOrder();

// After the find words changed: removes the rows that no longer pass them and inserts those
// that now do (table/filter.h), on the list's thread. Returns the rows shown.
int RefilterGpioList(HWND list);
// The GPIO a row shows (the row's lParam); UINT32_MAX when there is no such row.
uint32_t GpioOfRow(HWND list, int row);
