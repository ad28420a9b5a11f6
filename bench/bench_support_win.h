// What the editor benchmarks share: a clock, file bytes, and the settings
// files they open: 22 000 options in sections of 50, once with a type
// description that gives them every row type in turn (SELECTEXEC aside: its
// program would run once per row) and once without, typed by detection.
// Every value stands in the form Save writes, so that an unchanged save
// keeps every byte.
#pragma once

#include <windows.h>

#include <string>

constexpr int kBenchOptions = 22000;

// The texts of the typed settings file, its type description and the
// detection file.
void WriteFiles(std::string& typedIni, std::string& typesText, std::string& detectIni);

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);

// Seconds of the performance counter.
double Now();
