// Resource and command ids, shared by the resource script, the shell and the core.
// Plain defines only: this file is read by the resource compiler too.
#pragma once

#define IDI_KELVORA             1010
#define IDC_KELVORA_CURSOR      1057
#define IDC_DRAG_NO_DROP        1058
#define IDC_DRAG_DROP           1059
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

// The effect option dialogs. Each number field is an edit with the scroll
// bar one id above it; preset buttons run from their group's first id.
#define IDD_AMPLIFY             2016
#define IDD_ECHO                2017
#define IDD_FADE                2018
#define IDD_PITCH               2019
#define IDD_BACKGROUND          2021
#define IDD_FILL                2022
#define IDD_TONE                2023
#define IDD_NOISE               2024
#define IDC_AMPLIFY_VALUE       5101
#define IDC_AMPLIFY_PRESET      5110
#define IDC_NOISE_AMPLITUDE     5101
#define IDC_ECHO_CHORUS         5401
#define IDC_ECHO_STRENGTH       5404
#define IDC_ECHO_STRENGTH_PRESET 5407
#define IDC_ECHO_DELAY          5417
#define IDC_ECHO_DELAY_PRESET   5420
#define IDC_FADE_IN             5501
#define IDC_FADE_OUT            5502
#define IDC_FADE_START          5512
#define IDC_FADE_END            5515
#define IDC_FILL_VALUE          5601
#define IDC_BACKGROUND_DURATION 6400
#define IDC_BACKGROUND_THRESHOLD 6410
#define IDC_BACKGROUND_DELETE   6420
#define IDC_PITCH_PRESET        6500
#define IDC_PITCH_SLIDER        6504
#define IDC_PITCH_TEXT          6508
#define IDC_PITCH_INVERT        6509
#define IDC_TONE_KEYPAD         6600
#define IDC_TONE1_ON            6620
#define IDC_TONE1_FREQUENCY     6621
#define IDC_TONE1_AMPLITUDE     6625
#define IDC_TONE2_ON            6630
#define IDC_TONE2_FREQUENCY     6631
#define IDC_TONE2_AMPLITUDE     6635
#define IDC_TONE_SHAPE          6640

// Display Options: the unit buttons are IDC_DISPLAY_UNIT + unit (1..3).
#define IDD_DISPLAY_OPTIONS     2013
#define IDC_DISPLAY_UNIT        5300
#define IDC_DISPLAY_END         5310
#define IDC_DISPLAY_LENGTH      5311

// Properties and About.
#define IDD_PROPERTIES          2010
#define IDD_CONVERT             2011
#define IDD_ABOUT               2041
#define IDWAVE_ABOUT            1061
#define IDC_PROP_FILE           5800
#define IDC_PROP_CONVERT        5801
#define IDC_PROP_SIZE_BYTES     5802
#define IDC_PROP_FORMAT         5803
#define IDC_PROP_SIZE_SAMPLES   5804
#define IDC_PROP_DURATION       5805
#define IDC_PROP_RATE           5806
#define IDC_PROP_SELECTED       5810
#define IDC_PROP_DISPLAYED      5811
#define IDC_PROP_MEMORY_KBYTES  5820
#define IDC_PROP_MEMORY_SECONDS 5821
#define IDC_PROP_DISK_KBYTES    5825
#define IDC_PROP_DISK_SECONDS   5826
#define IDC_PROP_CLIPBOARD      5827
#define IDC_ABOUT_DISK          6805
#define IDC_ABOUT_MEMORY        6806
#define IDC_ABOUT_RESOURCES     6807

// Device Options and the device information dialogs.
#define IDD_DEVICE_OPTIONS      2012
#define IDD_DEVICE_INFO         2042
#define IDD_RECORD_INFO         2043
#define IDD_PLAY_INFO           2044
#define IDC_PLAY_DEVICE         6200
#define IDC_PLAY_INFO           6201
#define IDC_RECORD_DEVICE       6210
#define IDC_RECORD_INFO         6211
#define IDC_REPEAT_FOREVER      6219
#define IDC_REPEAT_TIMES        6220
#define IDC_REPEAT_COUNT        6222
#define IDC_PLAY_AFTER_CHANGE   6230
#define IDC_PLAY_AFTER_SELECT   6231
#define IDC_RECORD_LOW_PRIORITY 5312
#define IDC_INFO_PLAY_NAME      5201
#define IDC_INFO_PLAY_11K       5202
#define IDC_INFO_PITCH          5205
#define IDC_INFO_VOLUME         5206
#define IDC_INFO_RATE           5207
#define IDC_INFO_RECORD_NAME    5208
#define IDC_INFO_RECORD_11K     5209

// The Mixing Options dialog: the old sound's share in an edit, the new
// sound's in a number field with its scroll bar, and the preset buttons.
#define IDD_MIXING              2015
#define IDC_DIALOG_HELP         5000
#define IDC_MIX_OLD             6104
#define IDC_MIX_NEW             6105
#define IDC_MIX_NEW_SCROLL      6106
#define IDC_MIX_REPLACE         6111
#define IDC_MIX_EQUAL           6112
#define IDC_MIX_OLD_LOUDER      6113
#define IDC_MIX_OLD_SOFTER      6114

// Convert Format (its room texts use the ids of Properties').
#define IDC_CONVERT_MONO        5700
#define IDC_CONVERT_STEREO      5701
#define IDC_CONVERT_SIZE        5702
#define IDC_CONVERT_8BIT        5703
#define IDC_CONVERT_16BIT       5704
#define IDC_CONVERT_RATE        5705
#define IDC_CONVERT_DEFAULT     5711

// Object Options: the label's parts, the icon and where it is kept.
#define IDD_OBJECT_OPTIONS      2014
#define IDC_OBJ_SHOW_LABEL      5901
#define IDC_OBJ_SHOW_DATE       5902
#define IDC_OBJ_SHOW_TIME       5903
#define IDC_OBJ_LABEL           5905
#define IDC_OBJ_PREVIEW         5910
#define IDC_OBJ_OPEN            5911
#define IDC_OBJ_PASTE           5912
#define IDC_OBJ_MAKE_DEFAULT    5913
#define IDC_OBJ_USE_DEFAULT     5921
#define IDC_OBJ_STORE_ICON      5922
