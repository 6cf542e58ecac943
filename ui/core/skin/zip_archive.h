// An open archive: its central directory read once and checked against the
// archive's size, the item currently being unpacked into memory, and the
// folder that relative target names are placed under.
#pragma once
#include "ui/core/skin/zip_item_record.h"
#include "ui/core/skin/zip_item_stream.h"
#include "ui/core/skin/zip_reader.h"
#include "ui/core/skin/zip_source.h"

#include <memory>
#include <string>

namespace QuillUI {

class ZipArchive {
public:
    ZipArchive() = default;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    ZipResult Open(const void* source, unsigned int length, unsigned int kind);
    int GetItemCount() const { return itemCount_; }
    ZipResult Find(const wchar_t* name, bool ignoreCase, int* index, ZipEntryUI* entry);
    ZipResult UnzipToMemory(int index, void* destination, unsigned int length);
    ZipResult UnzipToFileName(int index, const wchar_t* name);
    ZipResult UnzipToHandle(int index, HANDLE handle);
    void CloseItem();

private:
    struct EndRecord {
        uint64_t directoryStart;  // where the directory really lies
        uint64_t prefix;          // bytes in front of its recorded offset
        uint32_t directorySize;
        uint16_t entries;
    };
    ZipResult FindEndRecord(EndRecord* end);
    ZipResult ReadDirectory(const EndRecord& end);
    void FillEntry(int index, ZipEntryUI* entry) const;
    bool NameMatches(const ZipItemRecord& record, const std::string& ansi, const std::string& utf8,
                     bool ignoreCase) const;
    ZipResult OpenItem(int index);
    // Opens an item to be written out; a directory item is closed again at once.
    ZipResult OpenForOutput(int index, ZipEntryUI* entry, bool* directory);
    // Feeds the whole item to write, in pieces of the stream's input size.
    template <typename Write>
    ZipResult Pump(Write write);

    ZipSource source_;
    bool opened_ = false;
    std::unique_ptr<unsigned char[]> directory_;
    std::unique_ptr<ZipItemRecord[]> items_;
    int itemCount_ = 0;
    int openIndex_ = -1;
    std::unique_ptr<ZipItemStream> stream_;
    std::wstring baseFolder_;
};

}  // namespace QuillUI
