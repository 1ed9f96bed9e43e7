// A number field of a dialog: an edit control with id N showing the value,
// a scroll bar with id N+1 moving it, and optionally a static control N+2
// showing the maximum. Either control may be missing (the volume popup has
// only the scroll bar). The value is a signed 32-bit number kept inside
// minimum..maximum; a vertical scroll bar has the maximum at its top.
#pragma once

#include <windows.h>

#include <cstdint>

class NumberField {
public:
    // What Update writes.
    enum : unsigned {
        SHOW_EDIT = 1,          // the value into the edit, clearing its modified mark
        SHOW_SCROLL = 2,        // the scroll bar's position
        SHOW_MAXIMUM = 4,       // the maximum into control N+2
        FORCE_EDIT = 8,         // with SHOW_EDIT: also over a focused, modified edit
        SHOW_ALL = 15,
    };

    // Binds the controls, sets the scroll range and shows everything.
    void Init(HWND dialog, int id, int32_t minimum, int32_t maximum, int32_t value);

    // Brings the value into minimum..maximum; false when it was outside.
    bool Clamp();

    // Clamps, then writes what the flags ask for. A focused edit the user
    // has changed keeps its text unless FORCE_EDIT is given. Returns
    // whether the value was in range.
    bool Update(unsigned flags);

    // Reads the edit: a text beginning with "-" or a digit gives its leading
    // decimal number, saturated at the field's limits. False (the value
    // unchanged) for any other text.
    bool ReadEdit();

    // A change of the edit's text (EN_UPDATE): a text the user modified is
    // read and the scroll bar follows it. Returns whether the value changed.
    bool OnEditChange();

    // A horizontal scroll code with the 32-bit thumb position: line
    // left/right step by one, page left and top go to the minimum, page
    // right and bottom to the maximum, the thumb codes take the position.
    // Edit and scroll bar follow. Returns whether the value changed.
    bool OnScroll(int code, int32_t position);

    // The dialog's messages: the edit's update notification and the scroll
    // messages of the scroll bar N+1 (vertical ones with up meaning more).
    // The thumb position is read from the scroll bar itself, so ranges past
    // the 16 bits of the message work. Returns whether the value changed.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog = nullptr;
    int id = 0;
    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;

private:
    HWND Edit() const { return GetDlgItem(dialog, id); }
    HWND ScrollBar() const { return GetDlgItem(dialog, id + 1); }
    bool IsVertical() const;
    // The thumb position the scroll bar reports for the scroll message now
    // being handled (the tracked one while the thumb is dragged).
    int32_t ThumbPosition() const;
    bool ApplyScroll(int code, int32_t position, bool vertical);
};
