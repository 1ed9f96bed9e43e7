// Ids of the string table (res/strings.inc) that the code asks for by name.
// Runs of related texts are named by their first id and read by offset, in
// the order given beside each run.
#pragma once

enum StringId {
    STR_FIRST_ID = 1,
    STR_LAST_ID = 275,

    STR_PRODUCT_TITLE = 1,          // "Kelvora"
    STR_UNTITLED = 2,               // "(Untitled)"
    STR_NO_ACTION = 4,              // name of action 0; has no string, reads as ""
    STR_BLANK = 5,                  // " " between the label, date and time of the object picture
    STR_PERCENT = 8,                // "%d %%" of the progress dialog

    // Window classes of the frame's children.
    STR_CLASS_EDIT = 9,
    STR_CLASS_BUTTON = 10,
    STR_CLASS_STATIC = 11,
    STR_CLASS_SCROLLBAR = 12,
    STR_CLASS_OWN = 13,             // "Kelvora": window class, INI section, registry key

    // File-name extensions in the order of the reader table.
    STR_EXT_WAV = 23,
    STR_EXT_AIF = 24,
    STR_EXT_VOC = 25,
    STR_EXT_AU = 26,
    STR_EXT_MP3 = 27,
    STR_EXT_RAW = 28,
    STR_EXT_COUNT = 6,

    STR_MENU_UNDO = 46,             // "&Undo %s\tCtrl+Z"
    STR_MENU_REDO = 47,             // "&Redo %s\tShift+Bksp"

    // Edit-mode words; each ends in a blank because the action label follows.
    STR_MODE_INSERT = 48,
    STR_MODE_MIX = 49,
    STR_MODE_REPLACE = 50,

    // File-dialog filters: "|" separates description and pattern.
    STR_FILTER_OPEN = 66,           // Open and Paste File
    STR_FILTER_SAVE = 67,
    STR_ASK_SAVE = 68,              // the save question
    STR_SAVE_FAILED = 69,           // after a Save As dialog was cancelled
    STR_PASTE_FILE_TITLE = 70,      // title of the Paste File dialog
    STR_FILTER_ICON = 125,          // Object Options "&Open..."

    // The names of the object picture's dates, "|"-separated: the weekdays
    // from Sunday, and the months from a "?" for month 0.
    STR_WEEKDAY_NAMES = 150,
    STR_MONTH_NAMES = 151,

    // Command-line option words, compared without regard to case.
    STR_OPT_PLAY = 130,
    STR_OPT_CLOSE = 131,
    STR_OPT_HIDE = 132,
    STR_OPT_UNINSTALL = 133,
    STR_OPT_EMBEDDING = 134,

    // Registration with the shell and uninstall.
    STR_ASK_INSTALL = 140,          // title, install directory, program directory
    STR_ASK_REPLACE_HANDLER = 141,  // extension, its present handler, title
    STR_ASK_UNINSTALL = 142,        // title, program path
    STR_FILES_NOT_REMOVED = 143,    // title, the names, each after a line break

    // Captions of the transport buttons 4003..4010, in control-id order.
    STR_BUTTON_FIRST = 157,
    STR_BUTTON_COUNT = 8,

    // Location labels 4013..4016: "Selection: Start", "Length", "Mouse", "Play Position".
    STR_LABEL_FIRST = 165,
    STR_LABEL_COUNT = 4,
    STR_LABEL_END = 169,            // label 4014 while a selection is shown by its end

    // Action names, in the order of their string ids (not of the action ids).
    STR_ACT_RECORD = 180,
    STR_ACT_SELECT = 181,
    STR_ACT_DISPLAY = 182,
    STR_ACT_DEVICE_OPTIONS = 183,
    STR_ACT_DISPLAY_OPTIONS = 184,
    STR_ACT_MIXING_OPTIONS = 185,
    STR_ACT_EFFECT_SETUP = 186,
    STR_ACT_OBJECT_OPTIONS = 187,
    STR_ACT_WAVE = 188,
    STR_ACT_LOCATIONS = 189,
    STR_ACT_LEFT = 190,
    STR_ACT_RIGHT = 191,
    STR_ACT_CUT = 192,
    STR_ACT_DELETE = 193,
    STR_ACT_PASTE = 194,            // Paste and Paste File
    STR_ACT_CHANGE = 195,
    STR_ACT_CONVERT_FORMAT = 196,   // also the title of the format chooser
    STR_ACT_AMPLIFICATION = 197,
    STR_ACT_FADE = 198,
    STR_ACT_ECHO = 199,
    STR_ACT_PITCH = 200,
    STR_ACT_REMOVE_BACKGROUND = 201,
    STR_ACT_TONE = 202,
    STR_ACT_FILL = 203,
    STR_ACT_SILENCE = 204,
    STR_ACT_LOW_PASS = 205,
    STR_ACT_REVERSE = 206,
    STR_ACT_NOISE = 207,
    STR_ACT_MEASURE = 208,          // also the title of the measurement box
    STR_ACT_NORMALIZE = 209,

    // Names of the rate presets 8000, 11025, 22050 and 44100 Hz.
    STR_RATE_FIRST = 210,
    STR_RATE_COUNT = 4,

    // Settings keys, in the order they are read and written.
    STR_KEY_FILE1 = 220,
    STR_KEY_FILE2 = 221,
    STR_KEY_FILE3 = 222,
    STR_KEY_FILE4 = 223,
    STR_KEY_DISPLAY = 224,
    STR_KEY_LOCATION = 225,
    STR_KEY_DISPOPTS = 226,
    STR_KEY_DEVICE = 227,
    STR_KEY_BUFFERS = 228,
    STR_KEY_UNDO = 229,
    STR_KEY_MIX = 230,
    STR_KEY_OLE = 231,
    STR_KEY_FORMAT = 232,
    STR_KEY_PLAYRATE = 233,
    STR_KEY_AMPLIFY = 234,
    STR_KEY_FADE = 235,
    STR_KEY_ECHO = 236,
    STR_KEY_PITCH = 237,
    STR_KEY_BACKGROUND = 238,
    STR_KEY_TONE = 239,
    STR_KEY_FILL = 240,
    STR_KEY_INSERT = 241,
    STR_KEY_EXTRA = 242,
    STR_KEY_USEACM = 243,
    STR_KEY_COUNT = 24,

    // Error messages: the id of each message is its error code.
    STR_ERR_BASE = 246,
    STR_ERR_LAST = 261,
    STR_ERR_INTERNAL = 261,         // "Internal error code %u. ..."
};
