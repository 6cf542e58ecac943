#include "tools/gallery/gallery_window.h"

#include "ui/controls/buttons/check_box_ui.h"
#include "ui/controls/buttons/option_ui.h"
#include "ui/controls/containers/tab_layout_ui.h"
#include "ui/controls/lists/combo_ui.h"
#include "ui/controls/lists/list_ui.h"
#include "ui/controls/tree/tree_node_ui.h"
#include "ui/core/hosts/active_x_ui.h"
#include "ui/core/hosts/com_declarations_ui.h"

#include <cwchar>

using namespace QuillUI;

namespace {

const wchar_t* const kRegions[] = {L"Europe", L"Asia", L"America", L"Oceania"};

void CallMovie(IShockwaveFlash* movie, const std::wstring& request) {
    BSTR text = SysAllocString(request.c_str());
    BSTR response = nullptr;
    movie->CallFunction(text, &response);
    SysFreeString(response);
    SysFreeString(text);
}

}  // namespace

void GalleryWindow::InitWindow() {
    if (auto* list = static_cast<CListUI*>(manager_.FindControl(L"list"))) list->SetTextCallback(this);
    if (auto* combo = static_cast<CComboUI*>(manager_.FindControl(L"combo"))) combo->SelectItem(1, false, false);
    if (auto* combo = static_cast<CComboUI*>(manager_.FindControl(L"combobox"))) combo->SelectItem(2, false, false);
    // One region checked, which checks its servers, and one folded.
    if (auto* europe = static_cast<CTreeNodeUI*>(manager_.FindControl(L"europe")))
        europe->GetCheckBox()->Selected(true);
    if (auto* america = static_cast<CTreeNodeUI*>(manager_.FindControl(L"america")))
        america->GetFolderButton()->Selected(true);
}

void GalleryWindow::Notify(NotifyMessageUI& message) {
    if (message.type == L"windowinit") {
        FeedMovie(L"flash", L"Download", 70);
        FeedMovie(L"activex", L"Unpack", 35);
    }
    // The options "tab0", "tab1", ... choose the tab layout's page.
    auto* option =
        static_cast<COptionUI*>(message.sender != nullptr ? message.sender->GetInterface(L"Option") : nullptr);
    if (message.type == L"selectchanged" && option != nullptr && option->IsSelected() &&
        option->GetName().Left(3) == L"tab") {
        if (auto* tabs = static_cast<CTabLayoutUI*>(manager_.FindControl(L"tabs")))
            tabs->SelectItem(_wtoi(option->GetName().GetData() + 3));
    }
    WindowImplBase::Notify(message);
}

// The skin's rows take turns by kind, four to a round.
const wchar_t* GalleryWindow::GetItemText(CControlUI*, int index, int column) {
    const int row = index / 4;
    wchar_t text[64];
    switch (column) {
        case 0: swprintf(text, 64, L"Text row %02d: server %d", row + 1, 100 + row); break;
        case 1: swprintf(text, 64, L"%ls", kRegions[row % 4]); break;
        case 2: swprintf(text, 64, L"%d %%", (row * 29 + 11) % 100); break;
        default: return nullptr;
    }
    cell_ = text;
    return cell_.c_str();
}

void GalleryWindow::FeedMovie(const wchar_t* name, const wchar_t* text, long percent) {
    auto* host = static_cast<CActiveXUI*>(manager_.FindControl(name));
    IShockwaveFlash* movie = nullptr;
    if (host == nullptr || FAILED(host->GetControl(kIidShockwaveFlash, reinterpret_cast<void**>(&movie))) ||
        movie == nullptr)
        return;
    const long second = 100 - percent;
    CallMovie(movie, L"<invoke name='setTextOne'><arguments><string>" + std::wstring(text) + L" " +
                         std::to_wstring(percent) + L" %</string></arguments></invoke>");
    CallMovie(movie, L"<invoke name='setProValOne'><arguments><number>" + std::to_wstring(percent) +
                         L"</number></arguments></invoke>");
    CallMovie(movie, L"<invoke name='setTextTwo'><arguments><string>Left " + std::to_wstring(second) +
                         L" %</string></arguments></invoke>");
    CallMovie(movie, L"<invoke name='setProValTwo'><arguments><number>" + std::to_wstring(second) +
                         L"</number></arguments></invoke>");
    movie->Release();
}
