#include "SystemDialogs.h"

#include "DialogWatch.h"

#include <commctrl.h>
#include <commdlg.h>

namespace {

// The ids of Wine's templates (the system's own on Windows too).
const int kFileNameField = 0x47c;     // cmb13, the name field
const int kPickerTreeId = 0x3741;     // the folder tree

HTREEITEM Next(HWND tree, UINT how, HTREEITEM item)
{
    return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

std::string Label(HWND tree, HTREEITEM item)
{
    char text[MAX_PATH] = {};
    TVITEMA info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return text;
}

// The child of parent whose label ends with the text (expanded first, so
// that its children are there).
HTREEITEM Child(HWND tree, HTREEITEM parent, const std::string& ending, bool whole)
{
    ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    for (HTREEITEM item = Next(tree, TVGN_CHILD, parent); item != nullptr; item = Next(tree, TVGN_NEXT, item)) {
        const std::string label = Label(tree, item);
        if (whole ? label == ending
                  : label.size() >= ending.size() && label.compare(label.size() - ending.size(), ending.size(), ending) == 0)
            return item;
    }
    return nullptr;
}

}  // namespace

std::string FileDialogFolder(HWND dialog)
{
    // The dialog answers in its own kind of text, whatever the message's.
    if (::IsWindowUnicode(dialog)) {
        wchar_t wide[MAX_PATH] = {};
        ::SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(wide));
        char folder[4 * MAX_PATH] = {};
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, folder, sizeof folder - 1, nullptr, nullptr);
        return folder;
    }
    char folder[MAX_PATH] = {};
    ::SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    return folder;
}

void FileDialogChoose(HWND dialog, const std::string& name)
{
    ::SetDlgItemTextA(dialog, kFileNameField, name.c_str());
    ClickButton(dialog, IDOK);
}

HWND PickerTree(HWND picker)
{
    return ::GetDlgItem(picker, kPickerTreeId);
}

bool PickerSettled(HWND picker, ULONGLONG& end)
{
    if (end == 0)
        end = ::GetTickCount64() + 5000;
    return Next(PickerTree(picker), TVGN_CARET, nullptr) != nullptr || ::GetTickCount64() >= end;
}

std::string PickerSelection(HWND picker)
{
    const HWND tree = PickerTree(picker);
    const HTREEITEM selected = Next(tree, TVGN_CARET, nullptr);
    return selected != nullptr ? Label(tree, selected) : std::string();
}

bool PickerSelect(HWND picker, char driveLetter, const std::vector<std::string>& folders)
{
    const HWND tree = PickerTree(picker);
    const std::string drive = std::string("(") + driveLetter + ":)";
    // The drives are one level below the root's children ("My Computer").
    HTREEITEM item = nullptr;
    for (HTREEITEM top = Next(tree, TVGN_CHILD, Next(tree, TVGN_ROOT, nullptr)); top != nullptr && item == nullptr;
         top = Next(tree, TVGN_NEXT, top)) {
        if (Label(tree, top) != "/")  // Wine's view of the host's whole tree: no drives there
            item = Child(tree, top, drive, false);
    }
    for (const std::string& folder : folders) {
        if (item == nullptr)
            return false;
        item = Child(tree, item, folder, true);
    }
    if (item == nullptr)
        return false;
    return ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != FALSE;
}

bool PickerSelectTopItem(HWND picker, const std::string& label)
{
    const HWND tree = PickerTree(picker);
    const HTREEITEM item = Child(tree, Next(tree, TVGN_ROOT, nullptr), label, true);
    return item != nullptr && ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != FALSE;
}
