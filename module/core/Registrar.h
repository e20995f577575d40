// Runs the module's registry scripts: nested keys in a text format, with "NoRemove" for keys that
// removal never deletes and "ForceRemove" for keys that registration replaces whole.
#pragma once
#include <windows.h>

enum class RegistryMode { Register, Unregister };

// Runs the script text (8-bit, as stored in the resource) in the given mode. %MODULE% in names and
// values stands for modulePath. Registration stops at the first failure and returns its code.
HRESULT RunRegistryScriptText(const char* text, int length, RegistryMode mode, LPCWSTR modulePath);

// Loads resource "REGISTRY" id from the module and runs it.
HRESULT RunRegistryScript(HINSTANCE module, UINT id, RegistryMode mode, LPCWSTR modulePath);
