// Evaluation-board locations: GetEvalLoc and GetEvalFnName against the board wiring lists.
#include "gpiolib/gpiolib.h"
#include "table/evalboard.h"
#include "table/modulepin.h"
#include "table/shared.h"
#include "tests/pin_lists.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

#include <climits>
#include <windows.h>

namespace {

void ExpectOnBoard(int board, int modulePin, const wchar_t* location, const wchar_t* name) {
    EvalbRevID = board;
    FillEvalBoardTexts();
    EXPECT_STREQ(GetEvalLoc(modulePin), location) << "board " << board << " pin " << modulePin;
    EXPECT_STREQ(GetEvalFnName(modulePin), name) << "board " << board << " pin " << modulePin;
}

std::wstring Format(const wchar_t* format, ...) {
    wchar_t text[64];
    va_list args;
    va_start(args, format);
    wvsprintfW(text, format, args);
    va_end(args);
    return text;
}

const BoardPin* Find(const std::vector<BoardPin>& list, int modulePin) {
    for (const BoardPin& pin : list)
        if (pin.modulePin == modulePin) return &pin;
    return nullptr;
}

// What the board lists say about a module pin.
struct Expected {
    std::wstring location = L"N/A";
    std::wstring name = L"N/A";
};

Expected OnTessaraBoard(int board, int modulePin) {
    std::vector<BoardPin> x9 = ParseBoardList(board == EVALB_VERSION21 ? kV21X9List : kV31X9List);
    std::vector<BoardPin> x10 =
        ParseBoardList(board == EVALB_VERSION21 ? kV21X10List : kV31X10List);
    Expected e;
    // The lowest connector pin wins; at the same pin, X9 before X10.
    for (int pin = 1; pin <= 50 && e.location == L"N/A"; ++pin) {
        for (const auto& [list, format] :
             {std::pair{&x9, L"X9.%3d"}, std::pair{&x10, L"X10.%3d"}}) {
            const BoardPin* p = Find(*list, modulePin);
            if (p && p->pin == pin) {
                e.location = Format(format, pin);
                e.name = p->name;
                break;
            }
        }
    }
    if (board != EVALB_VERSION31) return e;
    // X22, then the EX connector: the last one that carries the module pin wins.
    for (const BoardPin& p : ParseBoardList(kV31X22List))
        if (p.modulePin == modulePin) e.location = Format(L"X22.%3d", p.pin);
    for (const BoardPin& p : ParseBoardList(kV31ExList)) {
        if (p.modulePin != modulePin) continue;
        e.location = Format(L"EX.%c.%3d", p.row, p.pin);
        if (const BoardPin* q = Find(x10, modulePin))
            e.location += Format(L" X10.%3d ", q->pin);
        else if (const BoardPin* q = Find(x9, modulePin))
            e.location += Format(L" X9.%3d ", q->pin);
    }
    return e;
}

Expected OnBelvanBoard(int modulePin) {
    const struct {
        const char* list;
        const wchar_t* format;
    } connectors[] = {{kBelvanX4List, L"X4.%3d"},
                      {kBelvanX7List, L"X7.%3d"},
                      {kBelvanX10List, L"X10.%3d"},
                      {kBelvanX56List, L"X56.%3d"}};
    Expected e;
    for (const auto& c : connectors) {
        const BoardPin* p = nullptr;
        std::vector<BoardPin> list = ParseBoardList(c.list);
        if ((p = Find(list, modulePin))) {
            e.location = Format(c.format, p->pin);
            // X56 has no names printed.
            if (p->named) e.name = p->name;
            return e;
        }
    }
    return e;
}

} // namespace

TEST(EvalBoard, NoModulePinOnAnyBoard) {
    for (int board : {EVALB_VERSION21, EVALB_VERSION31, EVALB_BELVAN}) {
        ExpectOnBoard(board, -1, L"N/A", L"N/A");
        // Module pins count from 1; 0 fills the unused positions of the tables.
        ExpectOnBoard(board, 0, L"N/A", L"N/A");
        ExpectOnBoard(board, INT_MIN, L"N/A", L"N/A");
    }
}

TEST(EvalBoard, Version21) {
    ExpectOnBoard(EVALB_VERSION21, 28, L"X9.  2", L"PWM[2]");
    ExpectOnBoard(EVALB_VERSION21, 19, L"X10.  2", L"STD_RXD");
    // X22 and EX exist only on board version3.1.
    ExpectOnBoard(EVALB_VERSION21, 149, L"N/A", L"N/A");
    ExpectOnBoard(EVALB_VERSION21, 111, L"N/A", L"N/A");
    ExpectOnBoard(EVALB_VERSION21, 1, L"N/A", L"N/A");
}

TEST(EvalBoard, Version31CrossReferencesEndInASpace) {
    ExpectOnBoard(EVALB_VERSION31, 146, L"EX.A. 21 X9. 41 ", L"LCD_D_23");
    ExpectOnBoard(EVALB_VERSION31, 105, L"EX.A. 27 X10. 37 ", L"EXT_CS_0#");
    ExpectOnBoard(EVALB_VERSION31, 107, L"EX.B. 26 X10. 38 ", L"EXT_CS_1#");
    ExpectOnBoard(EVALB_VERSION31, 127, L"EX.C. 32 X10. 42 ", L"EXT_IO_2");
}

TEST(EvalBoard, Version31X22AndExHaveNoNames) {
    ExpectOnBoard(EVALB_VERSION31, 75, L"X22.  3", L"N/A");
    ExpectOnBoard(EVALB_VERSION31, 149, L"EX.A.  1", L"N/A");
    ExpectOnBoard(EVALB_VERSION31, 45, L"X9.  4", L"");
}

TEST(EvalBoard, Belvan) {
    ExpectOnBoard(EVALB_BELVAN, 35, L"X4.  2", L"SATA1_ACT#");
    ExpectOnBoard(EVALB_BELVAN, 207, L"X7.  1", L"I2C2_DDC_SCL");
    ExpectOnBoard(EVALB_BELVAN, 301, L"X10.  1", L"LCD1_B7");
    // X56 has no names printed; X10's name at the same pin would be another signal's.
    ExpectOnBoard(EVALB_BELVAN, 187, L"X56.  1", L"N/A");
    ExpectOnBoard(EVALB_BELVAN, 173, L"X56.  8", L"N/A");
    ExpectOnBoard(EVALB_BELVAN, 9, L"N/A", L"N/A");
    ExpectOnBoard(EVALB_BELVAN, 29, L"N/A", L"N/A");
}

TEST(EvalBoard, TessaraBoardsNeverMatchModulePinsAbove254) {
    // 255 marks an empty position; 284 would read as 28 in one byte.
    for (int board : {EVALB_VERSION21, EVALB_VERSION31})
        for (int modulePin : {255, 256, 284, 320, 0x10000 + 28})
            ExpectOnBoard(board, modulePin, L"N/A", L"N/A");
    // A Belvan module with a stored Tessara board: GPIO 44 is on MXM3 pin 255.
    UseModule(SIM_MODULE_TEGRA3_BELVAN);
    InitGPIOLib();
    ProcessorId = IdentifyProcessor();
    EvalbRevID = EVALB_VERSION21;
    FillModulePinNames();
    FillEvalBoardTexts();
    int modulePin;
    EXPECT_STREQ(GetModulePinName(44, &modulePin), L"SFront.255");
    ASSERT_EQ(modulePin, 255);
    EXPECT_STREQ(GetEvalLoc(modulePin), L"N/A");
    EXPECT_STREQ(GetEvalFnName(modulePin), L"N/A");
}

TEST(EvalBoard, UnknownBoardShowsNothing) {
    for (int board : {-1, 3, 100, INT_MAX, INT_MIN})
        for (int modulePin : {28, 35, 149, 187})
            ExpectOnBoard(board, modulePin, L"N/A", L"N/A");
}

// Every module pin on every board, against the board lists.
TEST(EvalBoard, EveryModulePinMatchesTheBoardLists) {
    int located = 0;
    for (int board : {EVALB_VERSION21, EVALB_VERSION31, EVALB_BELVAN}) {
        for (int modulePin = -1; modulePin <= 330; ++modulePin) {
            Expected e =
                board == EVALB_BELVAN ? OnBelvanBoard(modulePin) : OnTessaraBoard(board, modulePin);
            ExpectOnBoard(board, modulePin, e.location.c_str(), e.name.c_str());
            located += e.location != L"N/A";
        }
    }
    // Every listed connector pin: 41 + 42, 37 + 39 + 13 + 73 - 12 shared, 29 + 40 + 40 + 8.
    EXPECT_EQ(located, 83 + 150 + 117);
}
