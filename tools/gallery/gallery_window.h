// The gallery: a skinned window whose skin uses every control tag of the
// markup. The window adds what markup cannot say: the list's column texts
// and the values the movies show, once they are created by the first layout,
// the combo boxes' choices, and the tree's check marks and folds.
#pragma once
#include "common/win.h"
#include "ui/controls/lists/list_owner_ui.h"
#include "ui/core/manager/notify_message_ui.h"
#include "ui/core/window/window_impl_base.h"

#include <string>

class GalleryWindow : public QuillUI::WindowImplBase, public QuillUI::IListTextCallbackUI {
public:
    const wchar_t* GetWindowClassName() const override { return L"QuillGalleryWindow"; }
    // Beside the program, as the build copies it.
    QuillUI::CWideString GetSkinFolder() override { return L"gallery_skin"; }
    QuillUI::CWideString GetSkinFile() override { return L"gallery.xml"; }
    void InitWindow() override;
    void Notify(QuillUI::NotifyMessageUI& message) override;

    // The text rows of the list: a server, its region and its load.
    const wchar_t* GetItemText(QuillUI::CControlUI* item, int index, int column) override;

private:
    // Shows TEXT and PERCENT on both bars of the movie in the host NAME.
    void FeedMovie(const wchar_t* name, const wchar_t* text, long percent);

    std::wstring cell_;
};
