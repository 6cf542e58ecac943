#include "ui/core/values/color_ui.h"
#include "ui/core/render/font_info_ui.h"
#include "ui/core/render/gdi_handles.h"
#include "ui/core/render/renderer_ui.h"
#include "ui/core/manager/window_manager_ui.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace QuillUI {

namespace {

enum class AtomKind { kWord, kBlank, kImage, kBreak, kParagraph, kMoveX };
enum VerticalAlign { kAlignBottom = 0, kAlignCenter = 1, kAlignTop = 2 };

// One piece of the text with the state of the tags around it.
struct Atom {
    AtomKind kind = AtomKind::kWord;
    size_t start = 0;   // characters of a word or blank in the text buffer
    size_t length = 0;
    HFONT font = nullptr;
    DWORD color = 0;
    bool selected = false;
    int link = -1;
    int align = kAlignBottom;
    int spacing = 0;      // paragraph spacing in force
    int fixedHeight = 0;  // line height of a "y" tag; 0: from the contents
    ImageInfoUI* image = nullptr;
    RECT frame = {0, 0, 0, 0};  // the part of the image to draw
    int value = 0;              // pixels of a move
};

// Whatever the text closes, the first entry stays.
template <typename T>
class TagStack {
public:
    explicit TagStack(T base) { entries_.push_back(base); }
    void Push(T value) { entries_.push_back(value); }
    void Pop() {
        if (entries_.size() > 1) entries_.pop_back();
    }
    const T& Top() const { return entries_.back(); }

private:
    std::vector<T> entries_;
};

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// Fonts named or derived by tags come from the manager's tables, and are
// added there when missing, so a repainted text makes no new fonts.
HFONT ObtainFont(CWindowManagerUI* manager, const wchar_t* face, int size, bool bold, bool underline, bool italic) {
    HFONT font = manager->FindFont(face, size, bold, underline, italic);
    if (font == nullptr) font = manager->AddFont(manager->GetFreeFontIndex(), face, size, bold, underline, italic);
    return font;
}

HFONT DeriveFont(CWindowManagerUI* manager, HFONT base, bool bold, bool underline, bool italic) {
    CWideString face;
    int size = 0;
    bool b = false, u = false, i = false;
    FontInfoUI* info = manager->GetFontInfoByHandle(base);
    if (info != nullptr && info->GetHandle() == base) {
        face = info->faceName;
        size = info->size;
        b = info->bold;
        u = info->underline;
        i = info->italic;
    } else {
        LOGFONTW logFont = {};
        if (GetObjectW(base, sizeof(logFont), &logFont) == 0) return base;
        face = logFont.lfFaceName;
        size = logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight;
        b = logFont.lfWeight >= FW_BOLD;
        u = logFont.lfUnderline != 0;
        i = logFont.lfItalic != 0;
    }
    HFONT font = ObtainFont(manager, face.GetData(), size, b || bold, u || underline, i || italic);
    return font != nullptr ? font : base;
}

// "f" arguments: a font index, or a face with an optional size and the
// words bold, underline and italic.
HFONT FontFromDescription(CWindowManagerUI* manager, const std::wstring& argument, HFONT current) {
    size_t at = argument.find_first_not_of(L' ');
    if (at == std::wstring::npos) return current;
    if (argument[at] >= L'0' && argument[at] <= L'9') return manager->GetFont(wcstol(argument.c_str() + at, nullptr, 10));
    const size_t faceEnd = std::min(argument.find(L' ', at), argument.size());
    const std::wstring face = argument.substr(at, faceEnd - at);
    int size = 10;
    bool bold = false, underline = false, italic = false;
    for (at = faceEnd; at < argument.size();) {
        at = argument.find_first_not_of(L' ', at);
        if (at == std::wstring::npos) break;
        const size_t end = std::min(argument.find(L' ', at), argument.size());
        const std::wstring word = argument.substr(at, end - at);
        if (word[0] >= L'0' && word[0] <= L'9') size = static_cast<int>(wcstol(word.c_str(), nullptr, 10));
        else if (word == L"bold") bold = true;
        else if (word == L"underline") underline = true;
        else if (word == L"italic") italic = true;
        at = end;
    }
    HFONT font = ObtainFont(manager, face.c_str(), size, bold, underline, italic);
    return font != nullptr ? font : current;
}

class HtmlLayout {
public:
    HtmlLayout(HDC dc, CWindowManagerUI* manager, const RECT& rect, UINT style, RECT* links, CWideString* linkTexts,
               int linkCapacity)
        : dc_(dc),
          manager_(manager),
          rect_(rect),
          style_(style),
          links_(links),
          linkTexts_(linkTexts),
          linkCapacity_(links != nullptr && linkTexts != nullptr ? std::max(linkCapacity, 0) : 0) {}

    void Read(const wchar_t* text, DWORD defaultColor, int fontIndex);
    // Lays the atoms out line by line; returns the extent used.
    RECT Run();
    int GetLinkCount() const { return linkCount_; }

private:
    struct Part {
        const Atom* atom;
        size_t start;
        size_t length;
        LONG x;
        LONG width;
        bool ellipsis;
    };

    const TEXTMETRICW& Metrics(HFONT font);
    LONG TextWidth(HFONT font, const wchar_t* text, size_t length);
    int FitCount(HFONT font, const wchar_t* text, size_t length, LONG room);
    void AddWordChar(wchar_t c);
    void FlushWord();
    Atom Styled(AtomKind kind) const;
    void OpenTag(wchar_t letter, const std::wstring& argument, bool hasArgument);
    void CloseTag(wchar_t letter);
    void AddImage(const std::wstring& argument);

    bool LineEmpty() const { return parts_.empty() && x_ == rect_.left; }
    void EndLine();
    void DrawLine(LONG top, LONG height, int spacing);
    // Places as much of a word as the line takes; false when the line must
    // end first.
    bool PlaceWord(const Atom& atom, size_t& offset);

    HDC dc_;
    CWindowManagerUI* manager_;
    RECT rect_;
    UINT style_;
    RECT* links_;
    CWideString* linkTexts_;
    int linkCapacity_;
    int linkCount_ = 0;

    // Reading.
    std::wstring buffer_;
    std::vector<Atom> atoms_;
    std::vector<std::wstring> linkNames_;
    bool hoverKnown_ = false;
    CWideString hoverText_;
    size_t wordStart_ = 0;
    bool inWord_ = false;
    TagStack<HFONT> fonts_{nullptr};
    TagStack<DWORD> colors_{0};
    TagStack<int> spacings_{0};
    TagStack<int> aligns_{kAlignBottom};
    std::vector<bool> italicTags_;  // per open "i": a font was pushed (not an image)
    std::vector<int> openLinks_;
    bool selected_ = false;
    int fixedHeight_ = 0;

    // Layout.
    std::vector<std::pair<HFONT, TEXTMETRICW>> metrics_;
    std::vector<Part> parts_;
    LONG x_ = 0;
    LONG y_ = 0;
    LONG widest_ = 0;
    HFONT lineFont_ = nullptr;  // the font in force where the line starts
    int lineSpacing_ = 0;
    bool stopped_ = false;
};

const TEXTMETRICW& HtmlLayout::Metrics(HFONT font) {
    for (const auto& entry : metrics_)
        if (entry.first == font) return entry.second;
    TEXTMETRICW metrics = {};
    SelectObject(dc_, font);
    GetTextMetricsW(dc_, &metrics);
    metrics_.emplace_back(font, metrics);
    return metrics_.back().second;
}

LONG HtmlLayout::TextWidth(HFONT font, const wchar_t* text, size_t length) {
    SIZE size = {0, 0};
    SelectObject(dc_, font);
    GetTextExtentPoint32W(dc_, text, static_cast<int>(length), &size);
    return size.cx;
}

int HtmlLayout::FitCount(HFONT font, const wchar_t* text, size_t length, LONG room) {
    if (room <= 0) return 0;
    int fit = 0;
    SIZE size = {0, 0};
    SelectObject(dc_, font);
    GetTextExtentExPointW(dc_, text, static_cast<int>(length), room, &fit, nullptr, &size);
    return std::max(0, std::min(fit, static_cast<int>(length)));
}

Atom HtmlLayout::Styled(AtomKind kind) const {
    Atom atom;
    atom.kind = kind;
    atom.font = fonts_.Top();
    atom.color = colors_.Top();
    atom.selected = selected_;
    atom.link = openLinks_.empty() ? -1 : openLinks_.back();
    atom.align = aligns_.Top();
    atom.spacing = spacings_.Top();
    atom.fixedHeight = fixedHeight_;
    return atom;
}

void HtmlLayout::AddWordChar(wchar_t c) {
    if (!inWord_) {
        wordStart_ = buffer_.size();
        inWord_ = true;
    }
    buffer_ += c;
}

void HtmlLayout::FlushWord() {
    if (!inWord_) return;
    Atom atom = Styled(AtomKind::kWord);
    atom.start = wordStart_;
    atom.length = buffer_.size() - wordStart_;
    atoms_.push_back(atom);
    inWord_ = false;
}

void HtmlLayout::AddImage(const std::wstring& argument) {
    std::wstring name;
    size_t rest = 0;
    for (const wchar_t* prefix : {L"file='", L"res='"}) {
        const size_t length = wcslen(prefix);
        if (argument.compare(0, length, prefix) == 0) {
            const size_t close = argument.find(L'\'', length);
            if (close == std::wstring::npos) return;
            name = argument.substr(length, close - length);
            rest = close + 1;
        }
    }
    if (rest == 0) {
        rest = std::min(argument.find(L' '), argument.size());
        name = argument.substr(0, rest);
    }
    ImageInfoUI* image = manager_->GetImageEx(name.c_str());
    if (image == nullptr) return;
    wchar_t* end = nullptr;
    long frames = wcstol(argument.c_str() + rest, &end, 10);
    long index = wcstol(end, nullptr, 10);
    if (frames < 1) frames = 1;
    if (index < 0 || index >= frames) index = 0;
    const LONG width = image->width / frames;
    Atom atom = Styled(AtomKind::kImage);
    atom.image = image;
    atom.frame = RECT{index * width, 0, (index + 1) * width, image->height};
    atoms_.push_back(atom);
}

void HtmlLayout::OpenTag(wchar_t letter, const std::wstring& argument, bool hasArgument) {
    switch (letter) {
    case L'a': {
        const int link = static_cast<int>(linkNames_.size());
        linkNames_.push_back(argument);
        openLinks_.push_back(link);
        const bool hovered = hoverKnown_ && hoverText_ == argument.c_str();
        colors_.Push(hovered ? manager_->GetDefaultLinkHoverFontColor() : manager_->GetDefaultLinkFontColor());
        fonts_.Push(DeriveFont(manager_, fonts_.Top(), false, true, false));
        break;
    }
    case L'b':
        fonts_.Push(DeriveFont(manager_, fonts_.Top(), true, false, false));
        break;
    case L'c': {
        const wchar_t* value = argument.c_str();
        while (*value == L' ') ++value;
        if (*value == L'#') ++value;
        colors_.Push(0xFF000000u | (static_cast<DWORD>(wcstoul(value, nullptr, 16)) & 0xFFFFFF));
        break;
    }
    case L'f':
        fonts_.Push(FontFromDescription(manager_, argument, fonts_.Top()));
        break;
    case L'i':
        if (hasArgument && argument.find_first_not_of(L' ') != std::wstring::npos) {
            italicTags_.push_back(false);
            AddImage(argument.substr(argument.find_first_not_of(L' ')));
        } else {
            italicTags_.push_back(true);
            fonts_.Push(DeriveFont(manager_, fonts_.Top(), false, false, true));
        }
        break;
    case L'n':
        if ((style_ & DT_SINGLELINE) == 0) atoms_.push_back(Styled(AtomKind::kBreak));
        break;
    case L'p':
        atoms_.push_back(Styled(AtomKind::kParagraph));
        spacings_.Push(static_cast<int>(wcstol(argument.c_str(), nullptr, 10)));
        break;
    case L's':
        selected_ = !selected_;
        break;
    case L'u':
        fonts_.Push(DeriveFont(manager_, fonts_.Top(), false, true, false));
        break;
    case L'v': {
        const size_t at = argument.find_first_not_of(L' ');
        const std::wstring value = at == std::wstring::npos ? std::wstring() : argument.substr(at);
        aligns_.Push(value.compare(0, 6, L"center") == 0 ? kAlignCenter
                     : value.compare(0, 3, L"top") == 0   ? kAlignTop
                                                          : kAlignBottom);
        break;
    }
    case L'x': {
        Atom atom = Styled(AtomKind::kMoveX);
        atom.value = static_cast<int>(wcstol(argument.c_str(), nullptr, 10));
        atoms_.push_back(atom);
        break;
    }
    case L'y':
        fixedHeight_ = std::max(0, static_cast<int>(wcstol(argument.c_str(), nullptr, 10)));
        break;
    default:
        break;
    }
}

void HtmlLayout::CloseTag(wchar_t letter) {
    switch (letter) {
    case L'a':
        if (!openLinks_.empty()) {
            openLinks_.pop_back();
            colors_.Pop();
            fonts_.Pop();
        }
        break;
    case L'b':
    case L'f':
    case L'u':
        fonts_.Pop();
        break;
    case L'c':
        colors_.Pop();
        break;
    case L'i':
        if (!italicTags_.empty()) {
            if (italicTags_.back()) fonts_.Pop();
            italicTags_.pop_back();
        }
        break;
    case L'p':
        atoms_.push_back(Styled(AtomKind::kParagraph));
        spacings_.Pop();
        break;
    case L's':
        selected_ = !selected_;
        break;
    case L'v':
        aligns_.Pop();
        break;
    case L'y':
        fixedHeight_ = 0;
        break;
    default:
        break;
    }
}

void HtmlLayout::Read(const wchar_t* text, DWORD defaultColor, int fontIndex) {
    fonts_ = TagStack<HFONT>(manager_->GetFont(fontIndex));
    colors_ = TagStack<DWORD>(defaultColor);
    // The link under the mouse, from the rectangles of the previous pass.
    const POINT mouse = manager_->GetMousePos();
    for (int i = 0; i < linkCapacity_ && !hoverKnown_; ++i) {
        if (PtInRect(&links_[i], mouse)) {
            hoverKnown_ = true;
            hoverText_ = linkTexts_[i];
        }
    }

    const wchar_t* p = text;
    bool raw = false;
    while (*p != 0) {
        const wchar_t c = *p;
        if (raw) {
            if ((c == L'<' || c == L'{') && p[1] == L'/' && p[2] == L'r' && p[3] == (c == L'<' ? L'>' : L'}')) {
                FlushWord();
                raw = false;
                p += 4;
                continue;
            }
        } else if (c == L'<' || c == L'{') {
            const wchar_t close = c == L'<' ? L'>' : L'}';
            // Escapes: "<{>" and "<}>" give braces, "{<}" and "{>}" angle brackets.
            const bool escape = c == L'<' ? (p[1] == L'{' || p[1] == L'}') : (p[1] == L'<' || p[1] == L'>');
            if (escape && p[2] == close) {
                AddWordChar(p[1]);
                p += 3;
                continue;
            }
            if (p[1] == L'/' && p[2] >= L'a' && p[2] <= L'z' && p[3] == close) {
                FlushWord();
                CloseTag(p[2]);
                p += 4;
                continue;
            }
            if (p[1] >= L'a' && p[1] <= L'z' && (p[2] == close || p[2] == L' ')) {
                const wchar_t letter = p[1];
                const wchar_t* end = p + 2;
                while (*end != 0 && *end != close) ++end;
                if (*end == close) {
                    const bool hasArgument = p[2] == L' ';
                    const std::wstring argument = hasArgument ? std::wstring(p + 3, end) : std::wstring();
                    FlushWord();
                    p = end + 1;
                    if (letter == L'r') raw = true;
                    else OpenTag(letter, argument, hasArgument);
                    continue;
                }
            }
        }
        if (c == L'\r') {
            ++p;
        } else if (c == L'\n') {
            FlushWord();
            if ((style_ & DT_SINGLELINE) == 0) atoms_.push_back(Styled(AtomKind::kBreak));
            ++p;
        } else if (c == L' ' || c == L'\t') {
            FlushWord();
            Atom atom = Styled(AtomKind::kBlank);
            atom.start = buffer_.size();
            atom.length = 1;
            buffer_ += L' ';
            atoms_.push_back(atom);
            ++p;
        } else {
            AddWordChar(c);
            ++p;
        }
    }
    FlushWord();
}

bool HtmlLayout::PlaceWord(const Atom& atom, size_t& offset) {
    const wchar_t* word = buffer_.c_str() + atom.start + offset;
    const size_t length = atom.length - offset;
    const LONG width = TextWidth(atom.font, word, length);
    if (x_ + width <= rect_.right) {
        parts_.push_back(Part{&atom, atom.start + offset, length, x_, width, false});
        x_ += width;
        offset = atom.length;
        return true;
    }
    const int fit = FitCount(atom.font, word, length, rect_.right - x_);
    if ((style_ & DT_SINGLELINE) != 0) {
        size_t keep = static_cast<size_t>(fit);
        bool ellipsis = false;
        if ((style_ & DT_END_ELLIPSIS) != 0) {
            keep = keep > 2 ? keep - 2 : 0;
            ellipsis = true;
        }
        const LONG keptWidth = TextWidth(atom.font, word, keep);
        parts_.push_back(Part{&atom, atom.start + offset, keep, x_, keptWidth, ellipsis});
        x_ += keptWidth + (ellipsis ? TextWidth(atom.font, L"...", 3) : 0);
        offset = atom.length;
        stopped_ = true;
        return true;
    }
    size_t take = static_cast<size_t>(fit);
    if ((style_ & DT_WORDBREAK) != 0) {
        // Words are kept whole: cut after the last character that is no letter.
        size_t cut = take;
        while (cut > 0 && IsAsciiLetter(word[cut - 1])) --cut;
        take = cut;
    }
    if (take == 0) {
        if (!LineEmpty()) return false;
        // Nothing fits on an empty line: it still takes what it can, at
        // least one character, so the text always moves on.
        take = std::max<size_t>(static_cast<size_t>(fit), 1);
    }
    const LONG takenWidth = TextWidth(atom.font, word, take);
    parts_.push_back(Part{&atom, atom.start + offset, take, x_, takenWidth, false});
    x_ += takenWidth;
    offset += take;
    return offset >= atom.length;
}

void HtmlLayout::DrawLine(LONG top, LONG height, int spacing) {
    const LONG contentTop = top + spacing;
    const LONG contentHeight = height - spacing;
    const bool drawing = (style_ & DT_CALCRECT) == 0;
    // Link pieces of this line: one rectangle per link.
    std::vector<std::pair<int, RECT>> pieces;
    for (const Part& part : parts_) {
        const Atom& atom = *part.atom;
        LONG partHeight = atom.kind == AtomKind::kImage ? atom.frame.bottom - atom.frame.top : Metrics(atom.font).tmHeight;
        LONG partTop = contentTop + contentHeight - partHeight;
        if (atom.align == kAlignCenter) partTop = contentTop + (contentHeight - partHeight) / 2;
        else if (atom.align == kAlignTop) partTop = contentTop;
        if (atom.link >= 0) {
            auto found = std::find_if(pieces.begin(), pieces.end(),
                                      [&](const std::pair<int, RECT>& piece) { return piece.first == atom.link; });
            if (found == pieces.end()) {
                pieces.emplace_back(atom.link, RECT{part.x, top, part.x + part.width, top + height});
            } else {
                found->second.left = std::min(found->second.left, part.x);
                found->second.right = std::max(found->second.right, part.x + part.width);
            }
        }
        if (!drawing) continue;
        if (atom.kind == AtomKind::kImage) {
            const RECT dest = {part.x, partTop, part.x + part.width, partTop + partHeight};
            const RECT corners = {0, 0, 0, 0};
            CRendererUI::DrawImage(dc_, atom.image->bitmap, dest, dest, atom.frame, corners, atom.image->hasAlpha);
            continue;
        }
        SelectObject(dc_, atom.font);
        SetTextColor(dc_, ToColorRef(atom.color));
        if (atom.selected) {
            SetBkMode(dc_, OPAQUE);
            SetBkColor(dc_, ToColorRef(manager_->GetDefaultSelectedBkColor()));
        } else {
            SetBkMode(dc_, TRANSPARENT);
        }
        TextOutW(dc_, part.x, partTop, buffer_.c_str() + part.start, static_cast<int>(part.length));
        if (part.ellipsis) TextOutW(dc_, part.x + part.width, partTop, L"...", 3);
    }
    for (const auto& piece : pieces) {
        if (linkCount_ >= linkCapacity_) break;
        links_[linkCount_] = piece.second;
        linkTexts_[linkCount_] = linkNames_[piece.first].c_str();
        ++linkCount_;
    }
}

void HtmlLayout::EndLine() {
    const int spacing = lineSpacing_;
    const TEXTMETRICW& base = Metrics(lineFont_);
    LONG height = base.tmHeight + base.tmExternalLeading;
    int fixed = 0;
    for (const Part& part : parts_) {
        const Atom& atom = *part.atom;
        if (atom.fixedHeight > 0) fixed = atom.fixedHeight;
        if (atom.kind == AtomKind::kImage) {
            height = std::max<LONG>(height, atom.frame.bottom - atom.frame.top);
        } else {
            const TEXTMETRICW& metrics = Metrics(atom.font);
            height = std::max<LONG>(height, metrics.tmHeight + metrics.tmExternalLeading);
        }
    }
    if (fixed > 0) height = fixed;
    height += spacing;
    DrawLine(y_, height, spacing);
    widest_ = std::max(widest_, x_);
    y_ += height;
    x_ = rect_.left;
    parts_.clear();
    if ((style_ & DT_SINGLELINE) != 0) stopped_ = true;
    // Drawing ends below the rectangle; measuring goes on.
    if ((style_ & DT_CALCRECT) == 0 && y_ >= rect_.bottom) stopped_ = true;
}

RECT HtmlLayout::Run() {
    x_ = rect_.left;
    y_ = rect_.top;
    widest_ = rect_.left;
    lineFont_ = fonts_.Top();
    lineSpacing_ = 0;
    bool lineStarted = false;
    for (size_t i = 0; i < atoms_.size() && !stopped_;) {
        const Atom& atom = atoms_[i];
        if (!lineStarted) {
            lineFont_ = atom.font;
            lineSpacing_ = atom.spacing;
            lineStarted = true;
        }
        switch (atom.kind) {
        case AtomKind::kWord: {
            size_t offset = 0;
            while (!stopped_) {
                if (PlaceWord(atom, offset)) break;
                EndLine();
                lineFont_ = atom.font;
                lineSpacing_ = atom.spacing;
            }
            ++i;
            break;
        }
        case AtomKind::kBlank: {
            const LONG width = TextWidth(atom.font, L" ", 1);
            if (x_ + width <= rect_.right) {
                parts_.push_back(Part{&atom, atom.start, 1, x_, width, false});
                x_ += width;
            } else if ((style_ & DT_SINGLELINE) != 0) {
                stopped_ = true;
            } else if (!LineEmpty()) {
                // The line ends here and the blank is dropped.
                EndLine();
                lineStarted = false;
            }
            ++i;
            break;
        }
        case AtomKind::kImage: {
            const LONG width = atom.frame.right - atom.frame.left;
            if (x_ + width > rect_.right && !LineEmpty() && (style_ & DT_SINGLELINE) == 0) {
                EndLine();
                lineFont_ = atom.font;
                lineSpacing_ = atom.spacing;
                continue;  // the image starts the next line
            }
            parts_.push_back(Part{&atom, 0, 0, x_, width, false});
            x_ += width;
            ++i;
            break;
        }
        case AtomKind::kBreak:
            EndLine();
            lineStarted = false;
            ++i;
            break;
        case AtomKind::kParagraph:
            if (!LineEmpty()) EndLine();
            lineStarted = false;
            ++i;
            break;
        case AtomKind::kMoveX:
            x_ += atom.value;
            ++i;
            break;
        }
    }
    // The last line, or the single line that stopped at the edge.
    if (!parts_.empty()) EndLine();
    RECT extent = {rect_.left, rect_.top, widest_, y_};
    return extent;
}

}  // namespace

void CRendererUI::DrawText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD color, int font,
                           UINT style) {
    if (dc == nullptr || manager == nullptr || text == nullptr || *text == 0) return;
    CWideString shown(text);
    CWindowManagerUI::ProcessMultiLanguageTokens(shown);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ToColorRef(color));
    {
        ScopedSelectObject select(dc, manager->GetFont(font));
        ::DrawTextW(dc, shown.GetData(), -1, &rect, style | DT_NOPREFIX);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void CRendererUI::DrawHtmlText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text,
                               DWORD defaultColor, RECT* links, CWideString* linkTexts, int& linkCount, int font,
                               UINT style) {
    const int capacity = linkCount;
    linkCount = 0;
    if (dc == nullptr || manager == nullptr || text == nullptr) return;

    const UINT alignment = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
    if ((style & DT_CALCRECT) == 0 && (style & alignment) != 0) {
        // Measured first, in a rectangle of the target's size, and moved.
        RECT measured = rect;
        if ((style & DT_SINGLELINE) != 0) {
            measured.right = rect.left + 9999;
            measured.bottom = rect.top + 100;
        }
        int none = 0;
        DrawHtmlText(dc, manager, measured, text, defaultColor, nullptr, nullptr, none, font,
                     (style & ~alignment) | DT_CALCRECT);
        const LONG width = measured.right - measured.left, height = measured.bottom - measured.top;
        if ((style & DT_SINGLELINE) != 0) {
            if ((style & DT_CENTER) != 0) rect.left += (rect.right - rect.left - width) / 2;
            else if ((style & DT_RIGHT) != 0) rect.left = rect.right - width;
        }
        if ((style & DT_VCENTER) != 0) rect.top += (rect.bottom - rect.top - height) / 2;
        else if ((style & DT_BOTTOM) != 0) rect.top = rect.bottom - height;
        style &= ~alignment;
    }

    const int oldMode = GetBkMode(dc);
    const COLORREF oldText = GetTextColor(dc);
    const COLORREF oldBack = GetBkColor(dc);
    HtmlLayout layout(dc, manager, rect, style, links, linkTexts, capacity);
    RECT extent = {rect.left, rect.top, rect.left, rect.top};
    {
        // Every font the layout selects is replaced by the DC's own again.
        ScopedSelectObject keep(dc, manager->GetFont(font));
        layout.Read(text, defaultColor, font);
        extent = layout.Run();
    }
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    rect.right = extent.right;
    rect.bottom = extent.bottom;
    linkCount = layout.GetLinkCount();
}

}  // namespace QuillUI
