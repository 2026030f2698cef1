#pragma once

// Ids shared by the resource scripts and the code: the resources themselves, the commands of
// menus, toolbar and accelerators, and the strings. Kept free of C++ so windres can include it.

// One id names the caption string, the menu, the accelerator table, the toolbar layout, the
// toolbar bitmap and the icon group.
#define RES_MAIN 128
#define RES_ABOUT_DIALOG 100
// The resource type of the toolbar layout (version, image size, item count, command ids).
#define RES_TYPE_TOOLBAR 241

#define STR_ADD_ROW 129
#define STR_READY 0xE001

// Questions and reasons of the frame: the save prompt, refused input, a file open elsewhere.
#define STR_SAVE_CHANGES 0x6140
#define STR_REFUSED_NUMBER 0x6141
#define STR_REFUSED_VALUE 0x6142
#define STR_FILE_OPEN_IN_OTHER_TAB 0x6143
// Status-bar reasons for refused entry commands; the paste reasons take the line number (and
// the field number or count where they name one) as printf arguments.
#define STR_DOCUMENT_FULL 0x6200
#define STR_PASTE_NO_ENTRIES 0x6201
#define STR_PASTE_FIELD_COUNT 0x6202
#define STR_PASTE_NOT_A_NUMBER 0x6203
#define STR_PASTE_OUT_OF_RANGE 0x6204
#define STR_PASTE_TIME_OF_DAY 0x6205
#define STR_PASTE_NAME_TOO_LONG 0x6206
#define STR_PASTE_NAME_NOT_CONVERTIBLE 0x6207
#define STR_PASTE_TOO_MANY 0x6208

// Files changed by other programs, recovery copies, commands refused for want of memory. The
// questions take the page's title (or the number of copies) as %1.
#define STR_DISK_CHANGED_RELOAD 0x6170
#define STR_DISK_CHANGED_RELOAD_MODIFIED 0x6171
#define STR_DISK_CHANGED_OVERWRITE 0x6172
#define STR_DISK_FILE_GONE 0x6173
#define STR_RECOVERY_OFFER 0x6174
#define STR_RECOVERY_NOT_WRITTEN 0x6175
#define STR_OUT_OF_MEMORY 0x6176
#define STR_COMMAND_FAILED 0x6177
#define STR_CANNOT_RELOAD 0x6178
#define STR_RECOVERY_NOT_RESTORED 0x617F

#define CMD_FILE_NEW 0xE100
#define CMD_FILE_OPEN 0xE101
#define CMD_FILE_CLOSE 0xE102
#define CMD_FILE_SAVE 0xE103
#define CMD_FILE_SAVE_AS 0xE104
#define CMD_FILE_PAGE_SETUP 0xE105
#define CMD_FILE_PRINT_SETUP 0xE106
#define CMD_FILE_PRINT 0xE107
#define CMD_FILE_PRINT_PREVIEW 0xE109
#define CMD_FILE_MRU_FIRST 0xE110
#define CMD_FILE_MRU_LAST 0xE11F
#define CMD_EDIT_CLEAR 0xE120
#define CMD_EDIT_CLEAR_ALL 0xE121
#define CMD_EDIT_COPY 0xE122
#define CMD_EDIT_CUT 0xE123
#define CMD_EDIT_FIND 0xE124
#define CMD_EDIT_PASTE 0xE125
#define CMD_EDIT_REPEAT 0xE128
#define CMD_EDIT_REPLACE 0xE129
#define CMD_EDIT_SELECT_ALL 0xE12A
#define CMD_EDIT_UNDO 0xE12B
#define CMD_EDIT_REDO 0xE12C
#define CMD_WINDOW_NEW 0xE130
#define CMD_WINDOW_ARRANGE 0xE131
#define CMD_WINDOW_CASCADE 0xE132
#define CMD_WINDOW_TILE_HORZ 0xE133
#define CMD_WINDOW_TILE_VERT 0xE134
#define CMD_WINDOW_SPLIT 0xE135
#define CMD_APP_ABOUT 0xE140
#define CMD_APP_EXIT 0xE141
#define CMD_NEXT_PANE 0xE150
#define CMD_PREV_PANE 0xE151
#define CMD_VIEW_TOOLBAR 0xE800
#define CMD_VIEW_STATUS_BAR 0xE801
#define CMD_ENTRY_INSERT 0x8010
#define CMD_ENTRY_DUPLICATE 0x8011
#define CMD_ENTRY_DELETE 0x8012
#define CMD_ENTRY_MOVE_UP 0x8013
#define CMD_ENTRY_MOVE_DOWN 0x8014
#define CMD_WINDOW_CLOSE 0x8004
#define CMD_WINDOW_CLOSE_ALL 0x8005
// CMD_WINDOW_PAGE_FIRST..CMD_WINDOW_PAGE_LAST: the window list, which the tab container builds.
#include "resources/WindowPageIds.h"

// Prompts for system commands: system command 0xF000 + 16*k shows string STR_SYSTEM_FIRST + k.
#define STR_SYSTEM_FIRST 0xEF00
#define STR_SYSTEM_SIZE 0xEF00
#define STR_SYSTEM_MOVE 0xEF01
#define STR_SYSTEM_MINIMIZE 0xEF02
#define STR_SYSTEM_MAXIMIZE 0xEF03
#define STR_SYSTEM_NEXT_WINDOW 0xEF04
#define STR_SYSTEM_PREV_WINDOW 0xEF05
#define STR_SYSTEM_CLOSE 0xEF06
#define STR_SYSTEM_RESTORE 0xEF12
#define STR_SYSTEM_TASK_LIST 0xEF13
// Prompt of the window-list items CMD_WINDOW_PAGE_FIRST..CMD_WINDOW_PAGE_LAST.
#define STR_WINDOW_PAGE 0xEF1F
// Prompt of the recent-file ids CMD_FILE_MRU_FIRST..CMD_FILE_MRU_LAST.
#define STR_FILE_MRU 0xEFDA

// Why a file could not be saved or opened: the line under the message box's first line. The
// document view loads them (AmbientFileMessages.h keeps the same numbers).
#define STR_REASON_TOO_MANY_TO_SAVE 0x6100
#define STR_REASON_NAME_TOO_LONG 0x6101
#define STR_REASON_NAME_CHARACTER 0x6102
#define STR_REASON_NAME_NOT_CONVERTIBLE 0x6103
#define STR_REASON_VALUE_UNREADABLE 0x6104
#define STR_REASON_DATA_KEPT 0x6105
#define STR_REASON_SYSTEM_ERROR 0x6106
#define STR_REASON_TOO_MANY_TO_OPEN 0x6107

// Outside data: damaged files, names the code page cannot decode, the names' code page, and the
// clipboard's own refusals. The reasons are loaded by AmbientFileMessages.h with the same numbers.
#define STR_REASON_RECORDS_BEHIND_COUNT 0x6108
#define STR_REASON_LAST_RECORD_CUT 0x6109
#define STR_REASON_BYTES_AFTER_RECORDS 0x610A
#define STR_REASON_NAME_UNDECODABLE 0x610B
#define STR_SAVE_OVER_DAMAGED 0x610C
#define STR_REASON_NAME_CONTROL 0x610D
#define STR_STATUS_FILLED_ENTRIES 0x610E
#define STR_REASON_COUNT_CUT 0x610F
#define STR_PASTE_NAME_CONTROL 0x6209
#define STR_PASTE_DAMAGED 0x620A
#define STR_PASTE_CLIPBOARD_BUSY 0x620B
#define CMD_VIEW_NAMES_SYSTEM 0x8020
#define CMD_VIEW_NAMES_1251 0x8021

// The toolbar bitmap drawn for 24- and 32-pixel images (RES_MAIN holds the 16-pixel one).
#define RES_TOOLBAR_24 130
#define RES_TOOLBAR_32 131

// Recent files, the list of all windows and the hand-over between instances.
#define RES_WINDOWS_DIALOG 101
#define IDC_WINDOWS_LIST 1001
#define IDC_WINDOWS_CLOSE 1002
// The Window menu's last item when it cannot list every page.
#define STR_WINDOWS_MORE 0x6300
// A recent file that is gone: %1 is its path.
#define STR_RECENT_FILE_GONE 0x6301
// A name handed to the editor (command line, second start, drop) that names a folder.
#define STR_OPEN_FOLDER_NOT_FILE 0x6302

// Sounds: playing an entry's file, the sound folder, and the names not found in it.
#define CMD_SOUND_PLAY 0x8030
#define CMD_SOUND_STOP 0x8031
#define CMD_SOUND_NEXT_MISSING 0x8032
#define CMD_SOUND_PREV_MISSING 0x8033
#define CMD_VIEW_SOUND_FOLDER 0x8034
// Gives up the chosen sound folder: the one found near each document is used again.
#define CMD_VIEW_SOUND_FOLDER_AUTO 0x8035
#define STR_SOUND_PLAYING 0x6400
#define STR_SOUND_PLAYING_LENGTH 0x6401
#define STR_SOUND_CANNOT_PLAY 0x6402
// STR_SOUND_REFUSED_FIRST + k: the reason for the decoder's refusal k (SoundRefusal, 1 to 9).
#define STR_SOUND_REFUSED_FIRST 0x6410
#define STR_SOUND_NO_DEVICE 0x6420
#define STR_SOUND_DEVICE_ERROR 0x6421
#define STR_SOUND_NO_NAME 0x6422
#define STR_SOUND_NO_FOLDER 0x6423
#define STR_SOUND_NONE_MISSING 0x6424
#define STR_SOUNDS_MISSING 0x6425
#define STR_SOUND_FOLDER_PANE 0x6426
#define STR_SOUND_FOLDER_UNKNOWN 0x6427
#define STR_SOUND_FOLDER_TITLE 0x6428
#define STR_SOUNDS_ALL_FOUND 0x6429
#define STR_SOUND_NOT_FOUND 0x642A
#define STR_SOUND_FILE_FILTER 0x642B
#define STR_SOUND_OUTSIDE_FOLDER 0x642C
#define STR_SOUND_NO_MEMORY 0x642D

// Find and replace in the entries' names: Find Next, the status-bar reports (printf arguments:
// the match's place and the count; the search text; the count; the refusal's reason) and the
// name of the find dialog's whole-word box, which here means the whole name.
#define CMD_EDIT_FIND_NEXT 0x8050
#define STR_FIND_MATCHES 0x6500
#define STR_FIND_NOT_FOUND 0x6501
#define STR_REPLACED_COUNT 0x6502
#define STR_REPLACE_REFUSED 0x6503
#define STR_FIND_WHOLE_NAME 0x6504

// The command-line tools that open no window: the interface's language as the problems' wording
// takes it ("en" or "ru"), why their arguments are refused (%1: the argument), their usage, and
// a list or output they cannot use (%1: the file, %2: why).
#define STR_INTERFACE_LANGUAGE 0x6800
#define STR_TOOL_UNKNOWN_OPTION 0x6801
#define STR_TOOL_MISSING_VALUE 0x6802
#define STR_TOOL_BAD_TIME 0x6803
#define STR_TOOL_BAD_SECONDS 0x6804
#define STR_TOOL_BAD_SEED 0x6805
#define STR_TOOL_BAD_SCALE 0x6806
#define STR_TOOL_NO_LIST 0x6807
#define STR_TOOL_ONE_LIST 0x6808
#define STR_TOOL_NO_TIME 0x6809
#define STR_TOOL_NO_OUTPUT 0x680A
#define STR_TOOL_USAGE 0x680B
#define STR_TOOL_LIST_UNREADABLE 0x680C
#define STR_TOOL_CANNOT_WRITE 0x680D
#define STR_TOOL_SOUND_REFUSED 0x680E
#define STR_TOOL_OVER_BOUND 0x680F
// The tools over a whole game folder: a command line that names no game, no sound or one
// argument too many (%1), and a game or sound folder they cannot read (%1: the folder, %2: why).
#define STR_TOOL_NO_GAME 0x6820
#define STR_TOOL_NO_SOUND 0x6821
#define STR_TOOL_EXTRA_ARGUMENT 0x6822
#define STR_TOOL_GAME_UNREADABLE 0x6823
#define STR_TOOL_SOUND_FOLDER_UNREADABLE 0x6824
#define STR_TOOL_GAME_NO_SOUND_FOLDER 0x6825
// A repeated option, an option of no command, a list that is a folder, a sound folder that is
// not one (%1: the name, %2: why), an output that is the list itself, a time without entries
// (%1: the time's name, %2: the output).
#define STR_TOOL_REPEATED_OPTION 0x6840
#define STR_TOOL_NOT_A_COMMAND 0x6841
#define STR_TOOL_LIST_IS_FOLDER 0x6842
#define STR_TOOL_NO_SOUND_FOLDER 0x6843
#define STR_TOOL_SOUND_FOLDER_IS_FILE 0x6844
#define STR_TOOL_SOUND_FOLDER_UNUSABLE 0x6845
#define STR_TOOL_OUT_IS_LIST 0x6846
#define STR_TOOL_NO_ENTRIES 0x6847

// The ambience: the time of day heard, seen and exported (a radio group), a new random
// realization, the volume scale (a radio group: guessed, or one of the three), the export and
// its progress dialog; the times' names in the interface language (first + the time's value).
#define CMD_AMBIENCE_DAWN 0x8060
#define CMD_AMBIENCE_DAY 0x8061
#define CMD_AMBIENCE_SUNSET 0x8062
#define CMD_AMBIENCE_NIGHT 0x8063
#define CMD_AMBIENCE_RESHUFFLE 0x8064
#define CMD_AMBIENCE_SCALE_AUTO 0x8065
#define CMD_AMBIENCE_SCALE_PERCENT 0x8066
#define CMD_AMBIENCE_SCALE_CENTIBELS 0x8067
#define CMD_AMBIENCE_SCALE_BYTE 0x8068
#define CMD_FILE_EXPORT_AMBIENCE 0x8069
#define CMD_VIEW_TIMELINE 0x806A
#define CMD_AMBIENCE_PLAY 0x806B
#define RES_EXPORT_DIALOG 102
#define IDC_EXPORT_PROGRESS 1010
#define STR_AMBIENCE_TIME_FIRST 0x6A00
#define STR_EXPORT_FILTER 0x6A10
#define STR_EXPORT_FAILED 0x6A11
#define STR_EXPORT_DONE 0x6A12
#define STR_EXPORT_SILENT 0x6A13
#define STR_AMBIENCE_SEED 0x6A14
#define STR_AMBIENCE_SCALE_GUESSED 0x6A15
#define STR_TIMELINE_OVERLAPS 0x6A16
#define STR_TIMELINE_MISSING 0x6A17
#define STR_AMBIENCE_PLAYING 0x6A18
#define STR_AMBIENCE_STOPPED 0x6A19
#define STR_AMBIENCE_DEVICE_FAILED 0x6A48
#define STR_AMBIENCE_DEVICE_STUCK 0x6A49
#define STR_AMBIENCE_VOLUME_PANE 0x6A1A
#define STR_AMBIENCE_PREPARING 0x6A1B
// Why the export refuses a file open as a list, the question before exporting a time
// without entries (%1: the time's name), and the status after an export that wrote nothing.
#define STR_EXPORT_OVER_DOCUMENT 0x6A40
#define STR_EXPORT_NO_ENTRIES 0x6A41
#define STR_EXPORT_CANCELLED 0x6A42
#define STR_EXPORT_NOT_DONE 0x6A43
// Why a preview that plays hears nothing (%1: the time of day; %2: how many entries it has).
#define STR_AMBIENCE_SILENT_NO_FOLDER 0x6A1D
#define STR_AMBIENCE_SILENT_NO_ENTRIES 0x6A1E
#define STR_AMBIENCE_SILENT_UNPLAYABLE 0x6A1F
// The volume scales by name (first + the scale's value).
#define STR_SCALE_NAME_FIRST 0x6A20
// The same, shortened for the status bar.
#define STR_SCALE_SHORT_FIRST 0x6A28
#define STR_AMBIENCE_VOLUME_GUESSED_PANE 0x6A1C

// The Problems pane: its columns' headers, and its context menu with the quick fixes it offers.
#define STR_PROBLEMS_DOCUMENT 0x6900
#define STR_PROBLEMS_ENTRY 0x6901
#define STR_PROBLEMS_COLUMN 0x6902
#define STR_PROBLEMS_DESCRIPTION 0x6903
#define STR_PROBLEMS_GOTO 0x6904
#define STR_PROBLEMS_COPY 0x6905
#define STR_FIX_SWAP_REPEATS 0x6906
#define STR_FIX_PICK_FILE 0x6907
#define STR_FIX_DROP_DRIVE_LETTER 0x6908
#define STR_FIX_DROP_LEADING_SLASH 0x6909
// The problems in the frame: View > Problems, the quick fix of the problem at the cursor, the
// status bar's counts of the active document (%1 errors, %2 warnings) and why a walk or a fix
// finds nothing to do.
#define CMD_VIEW_PROBLEMS 0x8090
#define CMD_PROBLEM_QUICKFIX 0x8091
#define STR_PROBLEMS_COUNTS 0x690A
#define STR_PROBLEMS_NONE 0x690B
#define STR_PROBLEMS_NONE_TO_WALK 0x690C
#define STR_PROBLEMS_NO_FIX 0x690D
// F8 and Shift+F8 went to a problem: %1 its place among the document's, %2 their count, %3 it.
#define STR_PROBLEMS_WALKED 0x691A
