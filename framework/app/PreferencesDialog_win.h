#pragma once

// The Preferences dialog of the standalone program (Windows only): audio and MIDI devices on
// the host's current settings. The dialog template comes from the program's resources.

#include <windows.h>

#include <string>

namespace iplug
{

class StandaloneHost;

// Works on the process-wide host (GetStandaloneHost). Ends with 1 (OK) or 2 (Cancel).
INT_PTR CALLBACK PreferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Fillers of the dialog's lists from the host's devices, ports and current settings.
void PopulateAudioPage(HWND dialog, StandaloneHost& host);
void PopulateAudioDevices(HWND dialog, StandaloneHost& host);
void PopulateInputChannels(HWND dialog, StandaloneHost& host, int channels);
void PopulateOutputChannels(HWND dialog, StandaloneHost& host, int channels);
void PopulateSampleRates(HWND dialog, StandaloneHost& host, uint32_t inputId, uint32_t outputId);
void PopulateMidiPage(HWND dialog, StandaloneHost& host);
// The UTF-8 text of a list item; false when there is no such item.
bool GetComboText(HWND dialog, int control, int item, std::string& text);

// The buffer sizes the dialog offers, in frames.
inline constexpr const char* kBufferSizeChoices[] = {"32",  "64",   "96",   "128",  "192", "256",
                                                     "512", "1024", "2048", "4096", "8192"};

} // namespace iplug
