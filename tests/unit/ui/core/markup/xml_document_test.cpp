#include "ui/core/skin/skin_location.h"
#include "ui/core/markup/xml_document_ui.h"
#include "ui/core/skin/zip_reader.h"
#include "tests/unit/ui/support/ui_test_support.h"

#include "common/code_page.h"
#include "common/unique_handle.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace QuillUI;

namespace {

std::wstring Name(const CXmlNodeUI& node) { return node.GetName() != nullptr ? node.GetName() : L"(null)"; }

std::wstring Value(const CXmlNodeUI& node, const wchar_t* attribute) {
    wchar_t value[256];
    return node.GetAttributeValue(attribute, value, 256) ? value : L"(none)";
}

TEST(XmlDocument, ElementsAttributesAndNesting) {
    CXmlDocumentUI doc;
    ASSERT_TRUE(doc.Load(
        L"<?xml version=\"1.0\"?>\n<!-- layout -->\n"
        L"<Window size=\"800,572\"  caption = \"0,0,0,30\">\n"
        L"  <VerticalLayout bkcolor=\"#FF112233\">\n"
        L"    <Button name=\"closebtn\" text=\"Close\"/>\n"
        L"    <!-- between -->\n"
        L"    <Label name=\"title\">Some text</Label>\n"
        L"    <Empty></Empty >\n"
        L"  </VerticalLayout >\n"
        L"  <Default name=\"VScrollBar\" value=\"a\" />\n"
        L"</ Window>"))
        << doc.GetLastErrorMessage();
    CXmlNodeUI root = doc.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_EQ(Name(root), L"Window");
    EXPECT_EQ(root.GetAttributeCount(), 2);
    EXPECT_STREQ(root.GetAttributeName(1), L"caption");
    EXPECT_STREQ(root.GetAttributeValue(1), L"0,0,0,30");
    EXPECT_STREQ(root.GetAttributeValue(2), L"");
    EXPECT_STREQ(root.GetAttributeName(-1), L"");
    EXPECT_FALSE(root.GetSibling().IsValid());

    CXmlNodeUI layout = root.GetChild();
    EXPECT_EQ(Name(layout), L"VerticalLayout");
    EXPECT_EQ(Value(layout, L"bkcolor"), L"#FF112233");
    EXPECT_TRUE(layout.HasChildren());
    CXmlNodeUI button = layout.GetChild();
    EXPECT_EQ(Name(button), L"Button");
    EXPECT_EQ(Value(button, L"name"), L"closebtn");
    EXPECT_EQ(Value(button, L"Name"), L"(none)");  // names are case-sensitive
    EXPECT_FALSE(button.HasChildren());
    CXmlNodeUI label = button.GetSibling();
    EXPECT_EQ(Name(label), L"Label");
    EXPECT_EQ(label.GetAttributeCount(), 1);
    CXmlNodeUI empty = label.GetSibling();
    EXPECT_EQ(Name(empty), L"Empty");
    EXPECT_FALSE(empty.HasAttributes());
    EXPECT_FALSE(empty.GetSibling().IsValid());
    CXmlNodeUI defaults = layout.GetSibling();
    EXPECT_EQ(Name(defaults), L"Default");
    EXPECT_EQ(Value(defaults, L"value"), L"a");

    CXmlNodeUI none;
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(none.GetName(), nullptr);
    EXPECT_EQ(none.GetAttributeValue(0), nullptr);
    EXPECT_FALSE(none.GetChild().IsValid());
}

TEST(XmlDocument, EmptyElementsWithoutABlank) {
    CXmlDocumentUI doc;
    ASSERT_TRUE(doc.Load(L"<Window><Control/><Label text=\"x\"/><Button/>\n<Text>t</Text></Window>"))
        << doc.GetLastErrorMessage();
    CXmlNodeUI control = doc.GetRoot().GetChild();
    EXPECT_EQ(Name(control), L"Control");
    EXPECT_FALSE(control.HasChildren());
    EXPECT_EQ(control.GetAttributeCount(), 0);
    EXPECT_EQ(Name(control.GetSibling()), L"Label");
    EXPECT_EQ(Value(control.GetSibling(), L"text"), L"x");
    EXPECT_EQ(Name(control.GetSibling().GetSibling()), L"Button");
    EXPECT_EQ(Name(control.GetSibling().GetSibling().GetSibling()), L"Text");

    ASSERT_TRUE(doc.Load(L"<Only/>"));
    EXPECT_EQ(Name(doc.GetRoot()), L"Only");
    EXPECT_FALSE(doc.GetRoot().HasChildren());
}

TEST(XmlDocument, EntitiesAndWhitespace) {
    CXmlDocumentUI doc;
    ASSERT_TRUE(doc.Load(
        L"<a v=\"&amp;lt; &lt;&gt;&quot;&apos; &#65; & x &amp;&amp;\" w=\"1   2\">&lt;text&gt;<b n=\"after\"/></a>"));
    CXmlNodeUI a = doc.GetRoot();
    EXPECT_EQ(Value(a, L"v"), L"&lt; <>\"' &#65; & x &&");
    EXPECT_EQ(Value(a, L"w"), L"1   2");
    EXPECT_EQ(a.GetAttributeCount(), 2);
    EXPECT_EQ(Value(a.GetChild(), L"n"), L"after");

    doc.SetPreserveWhitespace(false);
    ASSERT_TRUE(doc.Load(L"<a w=\"1   \t2\"/>"));
    EXPECT_EQ(Value(doc.GetRoot(), L"w"), L"1 2");
}

TEST(XmlDocument, CommentsInstructionsAndTheMissingRootEndTag) {
    CXmlDocumentUI doc;
    ASSERT_TRUE(doc.Load(L"<?xml version=\"1.0\"?><!-- c --><Window><?pi x?><A/><!-- <B/> --><C/>"));
    EXPECT_EQ(Name(doc.GetRoot().GetChild()), L"A");
    EXPECT_EQ(Name(doc.GetRoot().GetChild().GetSibling()), L"C");
    EXPECT_FALSE(doc.GetRoot().GetChild().GetSibling().GetSibling().IsValid());

    ASSERT_TRUE(doc.Load(L"<Window><Inner>"));  // the root and its child may stay open
    EXPECT_EQ(Name(doc.GetRoot().GetChild()), L"Inner");

    // A declaration without "->" swallows the rest of the text.
    ASSERT_TRUE(doc.Load(L"<!DOCTYPE window><Window/>"));
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

TEST(XmlDocument, EveryParseErrorText) {
    struct Case { std::wstring markup; const wchar_t* message; const wchar_t* location; };
    const Case cases[] = {
        {L"hello", L"Expected start tag", L"hello"},
        {L"<a>text<b/>more</a>", L"Expected start tag", L"more</a>"},
        {L"<a><b><c/>", L"Expected start tag", L""},
        {L"<abc", L"Error parsing element name", L""},
        {L"<a x=\"1\"/ >", L"Expected start-tag closing", L"/ >"},
        {L"<a x=\"1\"", L"Expected start-tag closing", L""},
        {L"<a><b><c>text", L"Expected end-tag start", L""},
        {L"<a><b/></c>", L"Unmatched closing tag", L"c>"},
        {L"<a></ab>", L"Unmatched closing tag", L"b>"},
        {L"<a></a x>", L"Unmatched closing tag", L"x>"},
        {L"<a x>", L"Error while parsing attributes", L">"},
        {L"<a x y=\"1\">", L"Error while parsing attributes", L"y=\"1\">"},
        {L"<a =\"1\"/>", L"Error while parsing attributes", L"=\"1\"/>"},
        {L"<a name='x'/>", L"Expected attribute value", L"'x'/>"},
        {L"<a name=\"x/>", L"Error while parsing attribute string", L""},
        {L"<a name=\"x&amp;", L"Error while parsing attribute string", L""},
    };
    for (const Case& c : cases) {
        CXmlDocumentUI doc;
        EXPECT_FALSE(doc.Load(c.markup.c_str())) << c.markup;
        EXPECT_STREQ(doc.GetLastErrorMessage(), c.message) << c.markup;
        EXPECT_STREQ(doc.GetLastErrorLocation(), c.location) << c.markup;
        EXPECT_FALSE(doc.GetRoot().IsValid()) << c.markup;
    }
    // The location keeps at most 49 characters.
    CXmlDocumentUI doc;
    EXPECT_FALSE(doc.Load((L"<a/>" + std::wstring(80, L'y')).c_str()));
    EXPECT_EQ(std::wstring(doc.GetLastErrorLocation()), std::wstring(49, L'y'));
}

TEST(XmlDocument, DeepNestingIsRefused) {
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) deep += L"<a>";
    CXmlDocumentUI doc;
    EXPECT_FALSE(doc.Load(deep.c_str()));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Elements nested too deeply");

    std::wstring allowed;
    for (int i = 0; i < CXmlDocumentUI::kMaxDepth; ++i) allowed += L"<a>";
    for (int i = 0; i < CXmlDocumentUI::kMaxDepth; ++i) allowed += L"</a>";
    EXPECT_TRUE(doc.Load(allowed.c_str())) << doc.GetLastErrorMessage();
}

TEST(XmlDocument, AttributeValuesAreCutAndTerminated) {
    CXmlDocumentUI doc;
    ASSERT_TRUE(doc.Load(L"<a v=\"abcdef\"/>"));
    CXmlNodeUI a = doc.GetRoot();
    struct Case { int capacity; bool found; const wchar_t* expected; };
    const Case cases[] = {{7, true, L"abcdef"}, {6, true, L"abcde"}, {4, true, L"abc"}, {1, true, L""}, {0, false, L"?"}};
    for (const Case& c : cases) {
        wchar_t buffer[8];
        wmemset(buffer, L'?', 8);
        EXPECT_EQ(a.GetAttributeValue(L"v", buffer, c.capacity), c.found);
        buffer[7] = 0;
        EXPECT_EQ(std::wstring(buffer).substr(0, wcslen(c.expected)), c.expected);
        if (c.capacity > 0) {
            EXPECT_EQ(buffer[wcslen(c.expected)], L'\0') << c.capacity;
        }
    }
    wchar_t buffer[8];
    EXPECT_FALSE(a.GetAttributeValue(L"w", buffer, 8));
    EXPECT_FALSE(a.GetAttributeValue(nullptr, buffer, 8));
}

TEST(XmlDocument, MapsTheFirstSixtyFourAttributes) {
    std::wstring markup = L"<a";
    for (int i = 0; i < 65; ++i) markup += L" n" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    markup += L"/>";
    CXmlDocumentUI doc;
    ASSERT_TRUE(doc.Load(markup.c_str()));
    CXmlNodeUI a = doc.GetRoot();
    EXPECT_EQ(a.GetAttributeCount(), 64);
    EXPECT_STREQ(a.GetAttributeName(63), L"n63");
    EXPECT_STREQ(a.GetAttributeValue(63), L"v63");
    EXPECT_EQ(Value(a, L"n64"), L"(none)");
    CXmlNodeUI copy = a;  // a node is a value
    EXPECT_STREQ(copy.GetAttributeValue(10), L"v10");
}

// The same markup in each encoding, with a character outside the BMP.
const wchar_t kEncoded[] = L"<Window title=\"caf\u00E9 \U0001F600\"><B/></Window>";

void ExpectEncoded(CXmlDocumentUI& doc) {
    EXPECT_EQ(Name(doc.GetRoot()), L"Window");
    EXPECT_EQ(Value(doc.GetRoot(), L"title"), L"caf\u00E9 \U0001F600");
    EXPECT_EQ(Name(doc.GetRoot().GetChild()), L"B");
}

std::string Utf16(const std::wstring& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        char hi = char(c >> 8), lo = char(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

std::string Utf8(const std::wstring& text) { return WideToMulti(text, CP_UTF8); }

TEST(XmlDocument, LoadsEachEncodingFromReadOnlyMemory) {
    const std::string utf8 = Utf8(kEncoded);
    struct Case { const char* what; std::string bytes; int encoding; };
    const Case cases[] = {
        {"UTF-8", utf8, CXmlDocumentUI::kEncodingUtf8},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + utf8, CXmlDocumentUI::kEncodingUtf8},
        {"UTF-16 LE", Utf16(kEncoded, false), CXmlDocumentUI::kEncodingUtf16},
        {"UTF-16 BE", Utf16(kEncoded, true), CXmlDocumentUI::kEncodingUtf16},
        {"UTF-16 BE, odd last byte", Utf16(kEncoded, true) + "\x20", CXmlDocumentUI::kEncodingUtf16},
    };
    GuardedBytes memory(4096);
    for (const Case& c : cases) {
        const unsigned char* bytes = memory.Place(c.bytes);
        memory.SetReadOnly(true);  // resource memory: the loader may not write to it
        CXmlDocumentUI doc;
        EXPECT_TRUE(doc.LoadFromMem(bytes, static_cast<unsigned>(c.bytes.size()), c.encoding))
            << c.what << ": " << doc.GetLastErrorMessage();
        ExpectEncoded(doc);
        EXPECT_EQ(memcmp(bytes, c.bytes.data(), c.bytes.size()), 0) << c.what;
    }

    // ANSI: the test prefix's code page is 1252.
    ASSERT_EQ(GetACP(), 1252u);
    const std::string ansi = "<W t=\"caf\xE9\"/>";
    CXmlDocumentUI doc;
    ASSERT_TRUE(doc.LoadFromMem(ansi.data(), static_cast<unsigned>(ansi.size()), CXmlDocumentUI::kEncodingAnsi));
    EXPECT_EQ(Value(doc.GetRoot(), L"t"), L"caf\u00E9");

    struct Bad { std::string bytes; int encoding; const wchar_t* message; };
    const Bad bad[] = {
        {"<a/>", CXmlDocumentUI::kEncodingUtf16, L"Missing byte-order mark"},
        {"\xFF", CXmlDocumentUI::kEncodingUtf16, L"Missing byte-order mark"},
        {"", CXmlDocumentUI::kEncodingUtf16, L"Missing byte-order mark"},
        {"<a/>", 5, L"Unknown text encoding"},
    };
    for (const Bad& b : bad) {
        const unsigned char* bytes = memory.Place(b.bytes);
        EXPECT_FALSE(doc.LoadFromMem(bytes, static_cast<unsigned>(b.bytes.size()), b.encoding));
        EXPECT_STREQ(doc.GetLastErrorMessage(), b.message);
        EXPECT_FALSE(doc.GetRoot().IsValid());
    }
    EXPECT_TRUE(doc.LoadFromMem("\xFF\xFE", 2, CXmlDocumentUI::kEncodingUtf16));  // a mark alone: no elements
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

TEST(XmlDocument, LargeInputs) {
    std::wstring many = L"<Window>";
    while (many.size() < (4u << 20) - 64) many += L"<Item name=\"n\" value=\"&amp;\"/>";
    many += L"</Window>";
    CXmlDocumentUI doc;
    ASSERT_TRUE(doc.Load(many.c_str()));
    int count = 0;
    for (CXmlNodeUI n = doc.GetRoot().GetChild(); n.IsValid(); n = n.GetSibling()) ++count;
    EXPECT_GT(count, 100000);

    const std::wstring longValue(1 << 20, L'v');
    ASSERT_TRUE(doc.Load((L"<a v=\"" + longValue + L"\"/>").c_str()));
    EXPECT_EQ(std::wstring(doc.GetRoot().GetAttributeValue(0)), longValue);
}

// Loads through the skin folder or zip; resets the shared location after.
class XmlFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = TestExeFolder() + L"xml_files_tmp\\";
        MakeDirectoryChain(folder_);
        CSkinLocationUI::SetResourcePath(folder_.c_str());
        CSkinLocationUI::SetResourceZipState(L"", true, nullptr);
    }
    void TearDown() override {
        CSkinLocationUI::SetResourcePath(L"");
        CSkinLocationUI::SetResourceZipState(L"", true, nullptr);
    }
    void Write(const wchar_t* name, const std::string& bytes) {
        ASSERT_TRUE(WriteFileAtomically(folder_ + name, bytes.data(), bytes.size()));
    }
    std::wstring folder_;
};

TEST_F(XmlFileTest, FromTheSkinFolder) {
    EXPECT_STREQ(CSkinLocationUI::GetResourcePath().GetData(), folder_.c_str());
    Write(L"plain.xml", Utf8(kEncoded));
    Write(L"marked.xml", "\xEF\xBB\xBF" + Utf8(kEncoded));
    Write(L"wide.xml", Utf16(kEncoded, true));
    Write(L"empty.xml", "");
    const std::string exact = "<a>" + std::string((4u << 20) - 7, 'x') + "</a>";
    ASSERT_EQ(exact.size(), 4u << 20);
    Write(L"exact.xml", exact);
    Write(L"over.xml", exact + " ");

    CXmlDocumentUI doc;
    for (const wchar_t* name : {L"plain.xml", L"marked.xml"}) {
        EXPECT_TRUE(doc.LoadFromFile(name)) << doc.GetLastErrorMessage();
        ExpectEncoded(doc);
    }
    EXPECT_TRUE(doc.LoadFromFile(L"wide.xml", CXmlDocumentUI::kEncodingUtf16));
    ExpectEncoded(doc);
    EXPECT_TRUE(doc.LoadFromFile(L"exact.xml")) << doc.GetLastErrorMessage();
    EXPECT_EQ(Name(doc.GetRoot()), L"a");

    struct Case { const wchar_t* file; const wchar_t* message; };
    const Case cases[] = {
        {L"over.xml", L"File too large"}, {L"empty.xml", L"File is empty"}, {L"missing.xml", L"Error opening file"}};
    for (const Case& c : cases) {
        EXPECT_FALSE(doc.LoadFromFile(c.file)) << c.file;
        EXPECT_STREQ(doc.GetLastErrorMessage(), c.message);
        EXPECT_STREQ(doc.GetLastErrorLocation(), L"");
        EXPECT_FALSE(doc.GetRoot().IsValid());
    }
}

TEST_F(XmlFileTest, UnreadableFile) {
    // A pipe opens like a file but has no size to read.
    const wchar_t* pipe = L"\\\\.\\pipe\\quillui_markup_test";
    ScopedFileHandle server(CreateNamedPipeW(pipe, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr));
    ASSERT_TRUE(server);
    CSkinLocationUI::SetResourcePath(L"");
    CXmlDocumentUI doc;
    EXPECT_FALSE(doc.LoadFromFile(pipe));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Could not read file");
}

TEST_F(XmlFileTest, FromTheSkinZip) {
    CSkinLocationUI::SetResourcePath((TestExeFolder() + L"zip_fixtures").c_str());
    CXmlDocumentUI doc;
    // Opened for each load.
    CSkinLocationUI::SetResourceZipState(L"skin.zip", false, nullptr);
    ASSERT_TRUE(doc.LoadFromFile(L"LAYOUT/MAIN.XML")) << doc.GetLastErrorMessage();
    EXPECT_EQ(Name(doc.GetRoot()), L"Window");
    EXPECT_EQ(Value(doc.GetRoot().GetChild(), L"text"), L"<Close>");
    EXPECT_FALSE(doc.LoadFromFile(L"layout/none.xml"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Could not find ziped file");
    EXPECT_FALSE(doc.LoadFromFile(L"empty.txt"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"File is empty");

    // Kept open by the window manager.
    ZipHandleUI* kept = OpenZipArchive(FixturePath(L"limits.zip").c_str(), 0, kZipFileName);
    ASSERT_NE(kept, nullptr);
    CSkinLocationUI::SetResourceZipState(L"limits.zip", true, kept);
    EXPECT_TRUE(doc.LoadFromFile(L"exact.xml")) << doc.GetLastErrorMessage();
    EXPECT_FALSE(doc.LoadFromFile(L"over.xml"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"File too large");
    EXPECT_FALSE(doc.LoadFromFile(L"empty.xml"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"File is empty");
    CloseZipArchive(kept);

    CSkinLocationUI::SetResourceZipState(L"limits.zip", true, nullptr);
    EXPECT_FALSE(doc.LoadFromFile(L"exact.xml"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Error opening zip file");
    CSkinLocationUI::SetResourceZipState(L"nothere.zip", false, nullptr);
    EXPECT_FALSE(doc.LoadFromFile(L"exact.xml"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Error opening zip file");

    // An item whose data no longer matches its CRC.
    std::string damaged = ReadFixture(L"small.zip");
    const size_t local = damaged.find("a.xml") - 30;
    const size_t data = local + 30 + 5;
    damaged[data + 2] ^= 0x10;
    Write(L"damaged.zip", damaged);
    CSkinLocationUI::SetResourcePath(folder_.c_str());
    CSkinLocationUI::SetResourceZipState(L"damaged.zip", false, nullptr);
    EXPECT_FALSE(doc.LoadFromFile(L"a.xml"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Could not unzip file");
    EXPECT_TRUE(doc.LoadFromFile(L"b.txt") == false);  // plain text is no markup
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Expected start tag");
}

// Visits every node and attribute, as the dialog builder would.
int Walk(const CXmlNodeUI& node, int depth) {
    int visited = 0;
    for (CXmlNodeUI n = node; n.IsValid() && depth < 300; n = n.GetSibling()) {
        ++visited;
        EXPECT_NE(n.GetName(), nullptr);
        wchar_t value[8];
        for (int i = 0; i < n.GetAttributeCount(); ++i) {
            wcslen(n.GetAttributeName(i));
            wcslen(n.GetAttributeValue(i));
            n.GetAttributeValue(n.GetAttributeName(i), value, 8);
        }
        visited += Walk(n.GetChild(), depth + 1);
    }
    return visited;
}

// Random damage to valid markup: every load ends, stays in its buffers and
// either fails with a message or yields a tree that can be walked.
TEST(XmlDocument, SurvivesRandomDamage) {
    const std::vector<std::string> samples = {
        Utf8(L"<?xml version=\"1.0\"?><Window size=\"1,2\"><!-- c --><V a=\"&amp;&lt;\" b=\"x\"><Button/>"
             L"<Label text=\"\u00E9\U0001F600\">t&gt;</Label></V><Default name=\"n\" value=\"v\" /></Window>"),
        Utf8(L"<a><b><c><d e=\"f\"/></c></b></a>"),
        Utf8(L"<Window><?pi?><X y=\"1\" z=\"2\"></X ><Y/></ Window>"),
    };
    const char specials[] = "<>/\"'&=!?- \t\0;a";
    std::mt19937 random(77);
    GuardedBytes memory(8192);
    int loaded = 0, failed = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = samples[round % samples.size()];
        const int damage = 1 + static_cast<int>(random() % 4);
        for (int d = 0; d < damage && !bytes.empty(); ++d) {
            size_t at = random() % bytes.size();
            switch (random() % 4) {
            case 0: bytes[at] = specials[random() % (sizeof(specials) - 1)]; break;
            case 1: bytes.insert(at, 1, specials[random() % (sizeof(specials) - 1)]); break;
            case 2: bytes.erase(at, 1 + random() % 3); break;
            default: bytes.resize(at); break;
            }
        }
        const int encoding = (round % 7 == 0) ? CXmlDocumentUI::kEncodingUtf16 : CXmlDocumentUI::kEncodingUtf8;
        if (encoding == CXmlDocumentUI::kEncodingUtf16) bytes = "\xFF\xFE" + bytes;
        CXmlDocumentUI doc;
        if (doc.LoadFromMem(memory.Place(bytes), static_cast<unsigned>(bytes.size()), encoding)) {
            ++loaded;
            Walk(doc.GetRoot(), 0);
        } else {
            ++failed;
            EXPECT_NE(doc.GetLastErrorMessage()[0], L'\0');
            EXPECT_FALSE(doc.GetRoot().IsValid());
        }
    }
    EXPECT_GT(loaded, 1000);
    EXPECT_GT(failed, 1000);
    printf("loaded %d, failed %d\n", loaded, failed);
}

}  // namespace
