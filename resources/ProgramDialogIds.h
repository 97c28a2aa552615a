#pragma once

// Resource and command ids of the standalone program's dialogs, menu and accelerators. Plain
// defines: the resource compiler reads this file too.

#define IDR_ACCELERATORS 40000
#define IDD_MAIN 40001
#define IDD_PREFERENCES 40002
#define IDR_MAIN_MENU 40004

#define ID_ABOUT 40005
#define ID_PREFERENCES 40006
#define ID_QUIT 40007
#define ID_READ_MANUAL 40008
#define ID_LIVE_EDIT 40025
#define ID_SHOW_DRAWN 40026
#define ID_SHOW_FPS 40027
#define ID_SHOW_BOUNDS 40028
#define ID_SAVE_SCREENSHOT 40029

#define IDC_DRIVER 40009
#define IDC_AUDIO_INPUT 40010
#define IDC_AUDIO_OUTPUT 40011
#define IDC_BUFFER_SIZE 40012
#define IDC_SAMPLE_RATE 40013
#define IDC_INPUT1 40014
#define IDC_INPUT2 40015
#define IDC_OUTPUT2 40016
#define IDC_OUTPUT1 40017
#define IDC_MIDI_INPUT 40018
#define IDC_MIDI_OUTPUT 40019
#define IDC_MIDI_INPUT_CHANNEL 40020
#define IDC_MIDI_OUTPUT_CHANNEL 40021
#define IDC_DRIVER_CONFIG 40022
#define IDC_APPLY 40024
