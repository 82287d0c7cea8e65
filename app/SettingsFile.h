// The settings file RErivaRude.ini: the hide-reconciled preference and, through
// the payee list, the remembered payees.
#pragma once

inline constexpr const char* kSettingsSection = "RErivaRude_100";

// Fills appState.iniPath from the current directory, or with the bare file
// name when the directory cannot be read.
void BuildSettingsPath();
void ReadSettings();
void WriteSettings();
