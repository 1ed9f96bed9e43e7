#include "app/object_options_dlg.h"

#include <shellapi.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "app/error_box_win.h"
#include "app/file_dialog_win.h"
#include "app/object_picture_win.h"
#include "base/app.h"
#include "base/dialog_help_key_win.h"
#include "base/dialog_owner_win.h"
#include "base/error_message.h"
#include "base/file_names.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "edit/object_options_action.h"
#include "lib/dialog_helpers_win.h"
#include "lib/log.h"
#include "resource.h"
#include "sound/object_icon.h"

namespace {

const char ICON_EXTENSION[] = "BMP";

// The label's parts and the bit each check box turns over.
const struct {
    int id;
    uint32_t bit;
} PARTS[] = {
    {IDC_OBJ_SHOW_LABEL, OBJ_SHOW_LABEL},
    {IDC_OBJ_SHOW_DATE, OBJ_SHOW_DATE},
    {IDC_OBJ_SHOW_TIME, OBJ_SHOW_TIME},
};

// The file dialog's own child: only the button face behind its parts.
UINT_PTR CALLBACK OpenHook(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    return static_cast<UINT_PTR>(DialogColour(message, wParam));
}

struct ObjectDialog {
    HWND dialog = nullptr;
    HWND nextViewer = nullptr;      // the next window of the clipboard-viewer chain
    bool makeDefault = false;       // OK saves the icon as the program's default
    ObjectOptions work;

    HWND Preview() const { return GetDlgItem(dialog, IDC_OBJ_PREVIEW); }

    void EnablePaste()
    {
        EnableWindow(GetDlgItem(dialog, IDC_OBJ_PASTE), IsClipboardFormatAvailable(CF_BITMAP));
    }

    // The check marks and radio buttons from the working copy, and the
    // preview drawn again in full.
    void Show()
    {
        for (const auto& part : PARTS)
            CheckDlgButton(dialog, part.id, (work.flags & part.bit) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_OBJ_MAKE_DEFAULT, makeDefault ? BST_CHECKED : BST_UNCHECKED);
        CheckRadioButton(dialog, IDC_OBJ_USE_DEFAULT, IDC_OBJ_STORE_ICON,
            (work.flags & OBJ_STORE_ICON) ? IDC_OBJ_STORE_ICON : IDC_OBJ_USE_DEFAULT);
        InvalidateRect(Preview(), nullptr, TRUE);
    }

    void OnInit(HWND window)
    {
        dialog = window;
        CenterWindow(dialog);
        work = TheObjectOptions();
        SendDlgItemMessageA(dialog, IDC_OBJ_LABEL, EM_LIMITTEXT, MAX_LABEL_CHARS, 0);
        SetDlgItemTextA(dialog, IDC_OBJ_LABEL, work.label.c_str());
        Show();
        DragAcceptFiles(dialog, TRUE);
        nextViewer = SetClipboardViewer(dialog);
        EnablePaste();
    }

    void OnClose()
    {
        DragAcceptFiles(dialog, FALSE);
        ChangeClipboardChain(dialog, nextViewer);
        nextViewer = nullptr;
    }

    void OnLabelChanged()
    {
        char text[MAX_LABEL_CHARS + 1] = {};
        GetDlgItemTextA(dialog, IDC_OBJ_LABEL, text, sizeof text);
        work.label = text;
        if (work.flags & OBJ_SHOW_LABEL)
            InvalidateRect(Preview(), nullptr, TRUE);
    }

    // An icon file chosen or dropped: a bitmap, or a WAVE file's icon. An
    // unlabelled picture takes the file's name as its label. Anything else
    // changes nothing.
    void TakeIconFrom(const char* path)
    {
        if (!ReadIconFile(path, true, work.icon))
            return;
        if (work.label.IsEmpty()) {
            std::string name = path;
            int dot = FindExtension(path);
            if (dot >= 0)
                name.resize(size_t(dot));
            SetDlgItemTextA(dialog, IDC_OBJ_LABEL, name.c_str());
        }
    }

    void OnOpen()
    {
        char file[MAX_PATH] = {};
        std::string filter = FileDialogFilter(STR_FILTER_ICON);
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = dialog;
        ofn.hInstance = static_cast<HINSTANCE>(TheApp().instance);
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrDefExt = ICON_EXTENSION;
        ofn.lpfnHook = OpenHook;
        ofn.Flags = OFN_EXPLORER | OFN_SHAREAWARE | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLEHOOK;
        if (GetOpenFileNameA(&ofn))
            TakeIconFrom(file);
    }

    void OnDrop(HDROP drop)
    {
        char file[MAX_PATH] = {};
        if (DragQueryFileA(drop, 0, file, sizeof file))
            TakeIconFrom(file);
        DragFinish(drop);
        Show();
    }

    void OnPaste()
    {
        if (!IsClipboardFormatAvailable(CF_BITMAP) || !OpenClipboard(dialog))
            return;
        // The clipboard keeps its bitmap: it is only looked at.
        CImageBitmap shown;
        if (shown.Attach(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)))) {
            std::vector<uint8_t> icon;
            if (IconDibOf(shown, icon))
                work.icon.swap(icon);
            shown.handle = nullptr;
        }
        CloseClipboard();
    }

    void OnOk()
    {
        if (makeDefault) {
            CImageBitmap icon;
            CGString sibling = SiblingFileName(TheApp().programPath.c_str(), ".BMP");
            if (!LoadPictureIcon(work, icon) || !icon.SaveToFile(sibling.c_str())) {
                Log("App:SaveDefaultIcon FAIL");
                ShowError(dialog, ERR_CANT_SAVE);
            }
        }
        if (work.flags & (OBJ_SHOW_LABEL | OBJ_SHOW_DATE | OBJ_SHOW_TIME | OBJ_STORE_ICON))
            work.flags |= OBJ_DESCRIPTION;
        else
            work.flags &= ~uint32_t(OBJ_DESCRIPTION);
        SetObjectOptions(work);
        EndDialog(dialog, IDOK);
    }

    bool OnCommand(int id, int code)
    {
        if (RouteCancelOrHelp(dialog, id, IDD_OBJECT_OPTIONS))
            return true;
        switch (id) {
        case IDOK:
            OnOk();
            return true;
        case IDC_OBJ_LABEL:
            if (code == EN_CHANGE)
                OnLabelChanged();
            return true;
        case IDC_OBJ_OPEN:
            OnOpen();
            break;
        case IDC_OBJ_PASTE:
            OnPaste();
            break;
        case IDC_OBJ_MAKE_DEFAULT:
            makeDefault = !makeDefault;
            break;
        case IDC_OBJ_USE_DEFAULT:
            work.flags &= ~uint32_t(OBJ_STORE_ICON);
            if (!makeDefault)
                work.icon.clear();
            break;
        case IDC_OBJ_STORE_ICON:
            work.flags |= OBJ_STORE_ICON;
            break;
        default:
            for (const auto& part : PARTS) {
                if (id == part.id) {
                    work.flags ^= part.bit;
                    Show();
                    return true;
                }
            }
            return false;
        }
        Show();
        return true;
    }

    // The preview: white, and the picture at its natural size at the top-left.
    void DrawPreview(const DRAWITEMSTRUCT& item)
    {
        int saved = SaveDC(item.hDC);
        IntersectClipRect(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
        FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetViewportOrgEx(item.hDC, item.rcItem.left, item.rcItem.top, nullptr);
        DrawObjectPicture(work, item.hDC, nullptr);
        RestoreDC(item.hDC, saved);
    }
};

INT_PTR CALLBACK ObjectOptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<ObjectDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ObjectDialog*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        self->OnInit(dialog);
        return TRUE;
    }
    if (!self)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_DRAWITEM:
        if (wParam != IDC_OBJ_PREVIEW)
            return FALSE;
        self->DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DROPFILES:
        self->OnDrop(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_DRAWCLIPBOARD:
        self->EnablePaste();
        if (self->nextViewer)
            SendMessageA(self->nextViewer, message, wParam, lParam);
        return TRUE;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == self->nextViewer)
            self->nextViewer = reinterpret_cast<HWND>(lParam);
        else if (self->nextViewer)
            SendMessageA(self->nextViewer, message, wParam, lParam);
        return TRUE;
    case WM_DESTROY:
        self->OnClose();
        return FALSE;
    default:
        return DialogColour(message, wParam);
    }
}

}

bool ObjectOptionsDialog(HWND owner)
{
    ObjectDialog state;
    return RunModalDialog(owner, IDD_OBJECT_OPTIONS, ObjectOptionsProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}
