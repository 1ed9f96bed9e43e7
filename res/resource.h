// Resource and command ids, shared by the resource script, the shell and the core.
// Plain defines only: this file is read by the resource compiler too.
#pragma once

#define IDI_KELVORA             1010
#define IDC_KELVORA_CURSOR      1057
#define IDM_MENU                1060
#define IDA_MAIN                1072
#define IDA_EDIT                1073
#define IDA_LOCATION            1074

// Bitmaps: the sound object's picture, and the normal and disabled faces of
// the transport buttons, in button order (IDB_REWIND..IDB_DRAG).
#define IDBM_SOUND_PICTURE      1020
#define IDBM_REWIND             1030
#define IDBM_FAST_FORWARD       1031
#define IDBM_PLAY               1032
#define IDBM_STOP               1033
#define IDBM_RECORD             1034
#define IDBM_FAST_PLAY          1035
#define IDBM_VOLUME             1036
#define IDBM_DRAG               1037
#define IDBM_REWIND_OFF         1038
#define IDBM_FAST_FORWARD_OFF   1039
#define IDBM_PLAY_OFF           1040
#define IDBM_STOP_OFF           1041
#define IDBM_RECORD_OFF         1042
#define IDBM_FAST_PLAY_OFF      1043
#define IDBM_VOLUME_OFF         1044
#define IDBM_DRAG_OFF           1045
#define IDBM_FACE_FIRST         IDBM_REWIND
#define IDBM_FACE_DISABLED_FIRST IDBM_REWIND_OFF
#define IDBM_FACE_COUNT         8

// The "More >>" / "<< Less" pair of the option dialogs.
#define IDC_EXPAND_MORE         5002
#define IDC_EXPAND_LESS         5003

// Waveform-view cursor movement; the ids equal the virtual-key codes.
#define IDM_CURSOR_PAGE_UP      33
#define IDM_CURSOR_PAGE_DOWN    34
#define IDM_CURSOR_END          35
#define IDM_CURSOR_HOME         36
#define IDM_CURSOR_LEFT         37
#define IDM_CURSOR_RIGHT        39

// The standard edit messages arrive as commands with their message number.
#define IDM_MSG_CUT             768
#define IDM_MSG_COPY            769
#define IDM_MSG_PASTE           770
#define IDM_MSG_CLEAR           771
#define IDM_MSG_UNDO            772

#define IDM_FILE_NEW            3001
#define IDM_FILE_OPEN           2001
#define IDM_FILE_SAVE           3003
#define IDM_FILE_SAVE_AS        2002
#define IDM_FILE_PROPERTIES     2010
#define IDM_FILE_EXIT           3008
#define IDM_FILE_RECENT1        3009
#define IDM_FILE_RECENT4        3012

#define IDM_EDIT_UNDO           3101
#define IDM_EDIT_REDO           3102
#define IDM_EDIT_CUT            3103
#define IDM_EDIT_COPY           3104
#define IDM_EDIT_PASTE          3105
#define IDM_EDIT_PASTE_FILE     3106
#define IDM_EDIT_DELETE         3107
#define IDM_EDIT_SELECT_ALL     3108
#define IDM_EDIT_GOTO_START     3109
#define IDM_EDIT_GOTO_END       3110

#define IDM_VIEW_ZOOM_SELECT    3201
#define IDM_VIEW_ZOOM_OUT       3202
#define IDM_VIEW_ZOOM_IN        3203
#define IDM_VIEW_DISPLAY_ALL    3204
#define IDM_VIEW_WAVEFORM       3205
#define IDM_VIEW_LOCATIONS      3206
#define IDM_VIEW_LEFT           3207
#define IDM_VIEW_RIGHT          3208
#define IDM_VIEW_SPECTROGRAM    3209

#define IDM_OPT_CONVERT         2011
#define IDM_OPT_DEVICE          2012
#define IDM_OPT_DISPLAY         2013
#define IDM_OPT_OBJECT          2014
#define IDM_OPT_MIXING          2015
#define IDM_OPT_AMPLIFY         2016
#define IDM_OPT_ECHO            2017
#define IDM_OPT_FADE            2018
#define IDM_OPT_PITCH           2019
#define IDM_FX_BACKGROUND       2021
#define IDM_FX_FILL             2022
#define IDM_FX_TONE             2023
#define IDM_FX_NOISE            2024
#define IDM_FX_SILENCE          3411
#define IDM_FX_LOWPASS          3412
#define IDM_FX_REVERSE          3415
#define IDM_FX_MEASURE          3416
#define IDM_FX_NORMALIZE        3417

#define IDM_HELP_CONTENTS       3503
#define IDM_HELP_SEARCH         3504
#define IDM_HELP_HOWTO          3505
#define IDM_HELP_CONTEXT        5000
#define IDM_HELP_ABOUT          2041
#define IDM_HELP_DEVICE_INFO    2042

#define IDM_REWIND              3600
#define IDM_FAST_FORWARD        3601
#define IDM_PLAY                3602
#define IDM_STOP                3603
#define IDM_RECORD              3604
#define IDM_FAST_PLAY           3605
#define IDM_ESCAPE              3606
#define IDM_VOLUME_UP           3607
#define IDM_VOLUME_DOWN         3608

// Child windows of the frame.
#define IDW_TOP_ZOOM            4000
#define IDW_WAVE                4001
#define IDW_ZOOM                4002
#define IDB_REWIND              4003
#define IDB_FAST_FORWARD        4004
#define IDB_PLAY                4005
#define IDB_STOP                4006
#define IDB_RECORD              4007
#define IDB_FAST_PLAY           4008
#define IDB_VOLUME              4009
#define IDB_DRAG                4010
#define IDW_BUTTON_BAR          4011
#define IDW_LOCATION_SCROLL     4012
#define IDW_LABEL_START         4013
#define IDW_LABEL_LENGTH        4014
#define IDW_LABEL_MOUSE         4015
#define IDW_LABEL_PLAYPOS       4016
#define IDW_FIELD_START         4017
#define IDW_FIELD_LENGTH        4018
#define IDW_FIELD_MOUSE         4019
#define IDW_FIELD_PLAYPOS       4020
#define IDW_STATUS_LEFT         4021
#define IDW_STATUS_LEFT_PANEL   4022
#define IDW_STATUS_RIGHT        4023
#define IDW_STATUS_RIGHT_PANEL  4024

// The progress dialog of a long action; its bar is drawn by the dialog.
#define IDD_PROGRESS            2045
#define IDC_PROGRESS_NAME       6707
#define IDC_PROGRESS_PERCENT    6708
#define IDC_PROGRESS_BAR        6710

// The volume popup: one vertical slider. Its number field has no edit
// (IDC_VOLUME_EDIT is in no template), only the scroll bar one id above.
#define IDD_VOLUME              2047
#define IDC_VOLUME_EDIT         6899
#define IDC_VOLUME_SLIDER       6900
