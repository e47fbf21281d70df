// The recorded pin activity leaves the tool: "Export Activity..." for the shown rows, and a
// recording of every GPIO without a window for the command line.
#include "app/dialog.h"
#include "app/files.h"
#include "activity/vcd.h"
#include "files/wholefile.h"
#include "gpiolib/gpiolib.h"
#include "table/table.h"

namespace {

const FileKind kVcdFile = {L"Value Change Dump (*.vcd)\0*.vcd\0All files (*.*)\0*.*\0", L"vcd"};

bool Export(const wchar_t* path, const std::vector<VcdWire>& wires, std::wstring* error) {
    // The copy is taken at once; the sampling goes on while the file is written.
    static ActivityRecording recording;
    TakeActivityRecording(&recording);
    return WriteWholeFile(path, VcdText(recording, wires), error);
}

} // namespace

void OnExportActivity(HWND dialog) {
    std::wstring path = L"activity.vcd";
    if (!ChooseFile(dialog, true, L"Export Activity", kVcdFile, &path)) return;
    std::wstring error;
    if (Export(path.c_str(), ShownRowWires(GetDlgItem(dialog, IDC_GPIOLIST)), &error)) return;
    std::wstring text = L"Could not write the activity to " + path + L":\r\n" + error;
    ShowMessage(dialog, text.c_str(), L"ERROR", MB_OK);
}

bool RecordActivity(DWORD seconds, int hertz, const wchar_t* path, std::wstring* error) {
    DWORD period = hertz > 1000 ? 0 : 1000 / DWORD(hertz > 0 ? hertz : 1);
    ULONGLONG end = GetTickCount64() + ULONGLONG(seconds) * 1000;
    do {
        SampleEveryGpio();
        Sleep(period);
    } while (GetTickCount64() < end);
    SampleEveryGpio();
    std::vector<VcdWire> wires;
    for (int g = 0; g < ListGpioCount && g < ROW_CACHE_ENTRIES; ++g)
        wires.push_back({uint32_t(g), WireName(uint32_t(g), GetGPIODir(uint32_t(g)),
                                               GetGPIOAltFn(uint32_t(g)))});
    return Export(path, wires, error);
}
