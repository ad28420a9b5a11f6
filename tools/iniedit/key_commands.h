// The commands on key lines: list, get, set, add and del. Each returns the
// program's exit code; failures leave the file as it was.
#pragma once

#include "tools/iniedit/tool_support.h"

int ListKeys(const Text& path);
int GetKey(const Text& path, const Text& section, const Text& key);
int SetKey(const Text& path, const Text& section, const Text& key, const Text& value);
int AddKey(const Text& path, const Text& section, const Text& key, const Text& value);
int DeleteKey(const Text& path, const Text& section, const Text& key);
