// The Tegra pad-control lists as the processor manuals give them, copied row for row, with
// their parsers. The tests compare the compiled tables with these, so an entry fault in a table
// shows up whatever its layout.
#include "tests/tegra_lists.h"

#include <gtest/gtest.h>
#include <cctype>
#include <cstdlib>
#include <sstream>

// Tegra 3: pad register word index of each GPIO, "first to last: hex byte per GPIO".
const char* const kTegra3PadIndexRows[] = {
    "0 to 15: C7 5F D6 D9 D7 D8 E4 E5 8D 8E 24 25 E9 E8 E7 E6",
    "16 to 31: 60 1C 5A 59 69 68 1D 70 EB EA 43 EC ED 4A 57 58",
    "32 to 47: 29 2A 2B 2C 2D 2E 2F 30 31 32 33 34 35 36 37 38",
    "48 to 63: 7C 7D 7E 7F 80 81 82 83 84 85 86 87 88 89 8A 8B",
    "64 to 79: 90 91 92 7A 93 71 7B 72 75 26 76 27 28 5C 5B 8C",
    "80 to 95: 73 74 79 77 78 D5 D4 8F 4B 4C 4D 4E 4F 50 51 52",
    "96 to 111: 39 3A 3B 3C 3D 3E 3F 40 CE CF D0 D1 21 1F 22 44",
    "112 to 127: 07 00 01 02 03 04 05 06 0C 0D 0E 0F 6A 6B 6C 6D",
    "128 to 143: BF C0 C1 C2 C3 C4 C5 C6 AF B0 B1 B2 B3 B4 B5 B6",
    "144 to 159: B7 B8 B9 BA BB BC BD BE 55 56 53 54 49 94 95 97",
    "160 to 175: 61 62 63 64 65 66 67 AC 10 11 18 19 45 46 47 48",
    "176 to 191: 41 42 E2 E3 D3 1A 5D 5E DA DB DD DC DE DF E0 E1",
    "192 to 207: 08 09 0A 0B 14 15 16 17 12 13 1E 20 23 C8 AD AE",
    "208 to 223: 98 99 9A 9B 9C 9D 9E 9F A3 A4 A5 A6 A7 A8 A9 AA",
    "224 to 239: A1 A2 AB A0 96 1B F6 F7 EE EF F0 F1 F2 F3 F4 F5",
    "240 to 243: 6E 6F D2 F8",
};
const int kTegra3PadIndexRowCount = int(sizeof kTegra3PadIndexRows / sizeof *kTegra3PadIndexRows);

// Tegra 2 pin groups: "group name pinmux pull tristate GPIOs". A field is the byte offset of its
// register in the pad-control window and the shift, "0x80:14", or "none"; the GPIOs are
// numbers and ranges ("48 to 55") separated by ", ", or "none".
const char* const kTegra2GroupRows[] = {
    "0 -- none none none none",
    "1 RM 0x80:14 0xA4:0 0x14:25 20, 21",
    "2 ATA 0x80:24 0xA0:0 0x14:0 67, 68, 70",
    "3 ATC 0x80:22 0xA0:4 0x14:2 48 to 55, 64, 65, 69, 71, 80 to 84",
    "4 ATD 0x80:20 0xA0:6 0x14:3 56 to 59, 216",
    "5 ATB 0x80:16 0xA0:2 0x14:1 66, 159",
    "6 ATE 0x80:12 0xA0:8 0x18:25 60 to 63",
    "7 UDA 0x80:8 0xB0:16 0x20:13 192 to 195",
    "8 UAD 0x80:6 0xAC:6 0x18:21 18, 19",
    "9 UAC 0x80:4 0xAC:4 0x18:20 168 to 171",
    "10 UAB 0x80:2 0xAC:2 0x18:19 112, 117 to 119",
    "11 UAA 0x80:0 0xAC:0 0x18:18 113 to 116",
    "12 DTE 0x84:30 0xA0:26 0x14:15 0, 26, 217, 220, 221",
    "13 DTD 0x84:28 0xA0:24 0x14:14 88 to 95, 152",
    "14 DTC 0x84:26 0xA0:22 0x14:13 30, 31",
    "15 DTB 0x84:22 0xA0:20 0x14:12 154, 155",
    "16 DTA 0x84:20 0xA0:18 0x14:11 29, 156",
    "17 UCB 0x84:18 0xAC:10 0x18:23 1, 16",
    "18 UCA 0x84:16 0xAC:8 0x18:22 182, 183",
    "19 OWC 0x84:8 0xB0:30 0x14:31 none",
    "20 GMC 0x84:2 0xB0:24 0x14:29 8, 9, 79, 87",
    "21 GMA 0x84:0 0xB0:20 0x14:28 208 to 211",
    "22 GMD 0x88:30 0xB0:26 0x18:30 72, 74",
    "23 GMB 0x88:28 0xB0:22 0x18:29 23",
    "24 DDC 0x88:0 0xB0:28 0x18:31 none",
    "25 SDD 0x8C:14 0xAC:30 0x18:2 6",
    "26 SDC 0x8C:12 0xAC:28 0x18:1 12 to 15",
    "27 SDB 0x8C:10 0xAC:30 0x20:15 7",
    "28 GPU 0x8C:4 0xA4:20 0x14:16 160 to 166",
    "29 GPV 0x8C:2 0xA0:30 0x14:17 172 to 174",
    "30 GME 0x8C:0 0xA8:24 0x18:0 212 to 215",
    "31 LM1 0x90:28 0xAC:22 0x1C:25 177",
    "32 LM0 0x90:26 0xAC:22 0x1C:24 176",
    "33 LVS 0x90:24 0xAC:22 0x1C:26 76",
    "34 LHS 0x90:22 0xAC:22 0x20:7 75",
    "35 LDC 0x90:14 0xAC:20 0x1C:30 110",
    "36 LD9 0x94:18 0xAC:12 0x1C:9 41",
    "37 LD8 0x94:16 0xAC:12 0x1C:8 40",
    "38 LD7 0x94:14 0xAC:12 0x1C:7 39",
    "39 LD6 0x94:12 0xAC:12 0x1C:6 38",
    "40 LD5 0x94:10 0xAC:12 0x1C:5 37",
    "41 LD4 0x94:8 0xAC:12 0x1C:4 36",
    "42 LD3 0x94:6 0xAC:12 0x1C:3 35",
    "43 LD2 0x94:4 0xAC:12 0x1C:2 34",
    "44 LD1 0x94:2 0xAC:12 0x1C:1 33",
    "45 LD0 0x94:0 0xAC:12 0x1C:0 32",
    "46 DTF 0x98:30 0xA0:28 0x20:12 218, 219",
    "47 PTA 0x98:22 0xA4:4 0x14:24 157, 158",
    "48 PMC 0x98:18 0xB0:6 0x14:23 205",
    "49 LDI 0x98:16 0xAC:18 0x20:6 102",
    "50 LPP 0x98:14 0xAC:18 0x20:8 103",
    "51 KBCE 0x80:28 0xB0:2 0x14:26 135",
    "52 KBCF 0x80:26 0xB0:0 0x14:27 130 to 134",
    "53 SLXK 0x84:14 0xA4:30 0x18:7 24",
    "54 SLXD 0x84:12 0xA4:28 0x18:6 28",
    "55 SLXC 0x84:10 0xA4:26 0x18:5 27",
    "56 SLXA 0x84:6 0xA4:22 0x18:3 25",
    "57 DAP4 0x88:26 0xA0:16 0x14:10 124 to 127",
    "58 DAP3 0x88:24 0xA0:14 0x14:9 120 to 123",
    "59 DAP2 0x88:22 0xA0:12 0x14:8 2 to 5",
    "60 DAP1 0x88:20 0xA0:10 0x14:7 104 to 107",
    "61 IRRX 0x88:18 0xA8:22 0x14:20 78",
    "62 IRTX 0x88:16 0xA8:20 0x14:19 77",
    "63 KBCC 0x88:14 0xA4:12 0x18:26 128, 129",
    "64 KBCB 0x88:12 0xA4:10 0x14:21 143 to 151",
    "65 KBCA 0x88:10 0xA4:8 0x14:22 136 to 138",
    "66 I2CP 0x88:8 0xA4:2 0x14:18 206, 207",
    "67 CSUS 0x88:6 0xAC:24 0x14:6 153",
    "68 SPIA 0x8C:30 0xA8:4 0x18:10 184",
    "69 SPIB 0x8C:28 0xA8:6 0x18:11 185",
    "70 SPIC 0x8C:26 0xA8:8 0x18:12 186, 187",
    "71 SPID 0x8C:24 0xA8:10 0x18:13 188",
    "72 SPIE 0x8C:22 0xA8:12 0x18:14 189, 190",
    "73 SPIF 0x8C:20 0xA8:14 0x18:15 191",
    "74 SPIG 0x8C:18 0xA8:16 0x18:16 178",
    "75 SPIH 0x8C:16 0xA8:18 0x18:17 179",
    "76 SPDI 0x8C:8 0xA4:16 0x18:8 86",
    "77 SPDO 0x8C:6 0xA4:18 0x18:9 85",
    "78 LVP0 0x90:30 0xAC:22 0x1C:21 175",
    "79 LSC1 0x90:20 0xAC:20 0x1C:28 203",
    "80 LSC0 0x90:18 0xAC:22 0x1C:27 11",
    "81 LSCK 0x90:16 0xAC:20 0x1C:29 204",
    "82 LCSN 0x90:12 0xAC:20 0x1C:31 108",
    "83 LSPI 0x90:10 0xAC:22 0x20:0 73",
    "84 LSDA 0x90:8 0xAC:20 0x20:1 109",
    "85 LSDI 0x90:6 0xAC:20 0x20:2 202",
    "86 LPW2 0x90:4 0xAC:20 0x20:5 22",
    "87 LPW1 0x90:2 0xAC:20 0x20:4 17",
    "88 LPW0 0x90:0 0xAC:20 0x20:3 10",
    "89 LD15 0x94:30 0xAC:12 0x1C:15 47",
    "90 LD14 0x94:28 0xAC:12 0x1C:14 46",
    "91 LD13 0x94:26 0xAC:12 0x1C:13 45",
    "92 LD12 0x94:24 0xAC:12 0x1C:12 44",
    "93 LD11 0x94:22 0xAC:12 0x1C:11 43",
    "94 LD10 0x94:20 0xAC:12 0x1C:10 42",
    "95 GPU7 0x98:28 0xA4:6 0x20:11 167",
    "96 KBCD 0x98:26 0xA4:14 0x20:10 139 to 142",
    "97 CRTP 0x98:20 0xA4:24 0x20:14 none",
    "98 LHP0 0x98:10 0xAC:16 0x1C:18 101",
    "99 LVP1 0x98:8 0xAC:16 0x1C:22 100",
    "100 LHP2 0x98:6 0xAC:14 0x1C:20 99",
    "101 LHP1 0x98:4 0xAC:14 0x1C:19 98",
    "102 LD17 0x98:2 0xAC:12 0x1C:17 97",
    "103 LD16 0x98:0 0xAC:12 0x1C:16 96",
    "104 DAC3 0x9C:16 none none none",
    "105 DAC2 0x9C:14 none none none",
    "106 DAC1 0x9C:12 none none none",
    "107 SDIO1 0x80:30 0xB0:18 0x14:30 196 to 201",
    "108 HDINT 0x84:4 none 0x1C:23 111",
    "109 CDEV2 0x88:4 0xA8:2 0x14:5 181",
    "110 CDEV1 0x88:2 0xA8:0 0x14:4 180",
    "111 DAP4M 0x9C:21 none none none",
    "112 DAP3M 0x9C:20 none none none",
    "113 DAP2M 0x9C:19 none none none",
    "114 DAP1M 0x9C:18 none none none",
};
const int kTegra2GroupRowCount = int(sizeof kTegra2GroupRows / sizeof *kTegra2GroupRows);

namespace {

std::vector<std::string> Tokens(const std::string& text) {
    std::istringstream words(text);
    std::vector<std::string> tokens;
    for (std::string token; words >> token;)
        tokens.push_back(token);
    return tokens;
}

// A whole decimal number, nothing else.
bool Decimal(const std::string& text, int* value) {
    if (text.empty() || text.size() > 4) return false;
    for (char c : text)
        if (!isdigit(static_cast<unsigned char>(c))) return false;
    *value = atoi(text.c_str());
    return true;
}

// Exactly `digits` hexadecimal digits.
bool Hex(const std::string& text, size_t digits, int* value) {
    if (text.size() != digits) return false;
    for (char c : text)
        if (!isxdigit(static_cast<unsigned char>(c))) return false;
    *value = int(strtol(text.c_str(), nullptr, 16));
    return true;
}

// "0xA0:26" or "none".
bool Field(const std::string& text, ListedField* field) {
    *field = {};
    if (text == "none") return true;
    size_t colon = text.find(':');
    if (text.compare(0, 2, "0x") != 0 || colon != 4) return false;
    field->present = true;
    return Hex(text.substr(2, 2), 2, &field->offset) && Decimal(text.substr(5), &field->shift) &&
           field->shift < 32;
}

// "48 to 55, 64, 65" or "none".
bool GpioList(const std::vector<std::string>& tokens, size_t first, std::vector<int>* gpios) {
    if (tokens.size() == first + 1 && tokens[first] == "none") return true;
    if (tokens.size() <= first) return false;
    for (size_t i = first; i < tokens.size();) {
        std::string last = tokens[i];
        bool more = i + 1 < tokens.size();
        int from, to;
        if (more && tokens[i + 1] == "to") {
            if (i + 2 >= tokens.size() || !Decimal(tokens[i], &from)) return false;
            last = tokens[i + 2];
            i += 3;
        } else {
            i += 1;
            from = -1;
        }
        bool comma = !last.empty() && last.back() == ',';
        if (comma) last.pop_back();
        if (comma != (i < tokens.size()) || !Decimal(last, &to)) return false;
        if (from < 0) from = to;
        if (from > to) return false;
        for (int n = from; n <= to; ++n)
            gpios->push_back(n);
    }
    return true;
}

} // namespace

std::vector<int> ParseTegra3PadIndexList() {
    std::vector<int> words;
    for (int r = 0; r < kTegra3PadIndexRowCount; ++r) {
        std::vector<std::string> tokens = Tokens(kTegra3PadIndexRows[r]);
        int first = -1, last = -1;
        bool ok = tokens.size() >= 4 && Decimal(tokens[0], &first) && tokens[1] == "to" &&
                  tokens[2].back() == ':' &&
                  Decimal(tokens[2].substr(0, tokens[2].size() - 1), &last) &&
                  first == int(words.size()) && last >= first &&
                  int(tokens.size()) - 3 == last - first + 1;
        for (size_t i = 3; ok && i < tokens.size(); ++i) {
            int word = 0;
            ok = Hex(tokens[i], 2, &word);
            words.push_back(word);
        }
        if (!ok) {
            ADD_FAILURE() << "bad pad index row: " << kTegra3PadIndexRows[r];
            return {};
        }
    }
    return words;
}

std::vector<ListedGroup> ParseTegra2GroupList() {
    std::vector<ListedGroup> groups;
    for (int r = 0; r < kTegra2GroupRowCount; ++r) {
        std::vector<std::string> tokens = Tokens(kTegra2GroupRows[r]);
        ListedGroup g;
        int number = -1;
        bool ok = tokens.size() >= 6 && Decimal(tokens[0], &number) && number == r &&
                  tokens[1].size() >= 2 && tokens[1].size() <= 5 && Field(tokens[2], &g.mux) &&
                  Field(tokens[3], &g.pull) && Field(tokens[4], &g.tristate) &&
                  GpioList(tokens, 5, &g.gpios);
        for (char c : tokens.size() > 1 ? tokens[1] : std::string())
            ok = ok && (isupper(static_cast<unsigned char>(c)) ||
                        isdigit(static_cast<unsigned char>(c)) || c == '-');
        if (!ok) {
            ADD_FAILURE() << "bad group row: " << kTegra2GroupRows[r];
            return {};
        }
        g.name = tokens[1];
        groups.push_back(g);
    }
    return groups;
}
