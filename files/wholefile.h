// Files written whole or not at all, and the texts the system gives for its errors.
#pragma once
#include <windows.h>

#include <string>

// Writes the bytes into a new file beside the path, then renames it over the path, so that a
// full disk or a refused folder leaves whatever file was there (and no new one). False with the
// system's reason on failure.
bool WriteWholeFile(const wchar_t* path, const std::string& bytes, std::wstring* problem);

// The system's text for an error code, without its trailing full stop and line break.
std::wstring SystemText(DWORD error);

// UTF-16 text as UTF-8.
std::string Utf8(const std::wstring& text);
