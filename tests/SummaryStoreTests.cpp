// The summary values through the property system: the conversions, and the file list reading and
// writing a plain file through a property store (an in-memory one: Wine has no property handlers).
#include <gtest/gtest.h>
#include "DialogWatcher.h"
#include "FileList.h"
#include "MemoryStoreOpener.h"
#include "SummaryStore.h"
#include "TestSupport.h"

namespace {

using Value = CMemoryStoreOpener::Value;
const UINT kAllFields = 0x1F;

struct ConversionCase {
    const wchar_t* text;
    bool asList;
    Value stored;        // what the text is stored as
    const wchar_t* shown;  // and what that value shows again
};

const ConversionCase kConversions[] = {
    { L"A; B", false, CMemoryStoreOpener::Text(L"A; B"), L"A; B" },
    { L"Ann; Bob", true, CMemoryStoreOpener::List({ L"Ann", L"Bob" }), L"Ann; Bob" },
    { L" Ann ;; Bob ;", true, CMemoryStoreOpener::List({ L"Ann", L"Bob" }), L"Ann; Bob" },
    { L"solo", true, CMemoryStoreOpener::List({ L"solo" }), L"solo" },
    { L"", false, {}, L"" },
    { L"", true, {}, L"" },
    { L" ; ", true, {}, L"" },
};

TEST(SummaryValues, TextsAreStoredAsStringsOrListsAndShownAgain)
{
    for (const ConversionCase& c : kConversions) {
        CPropVariant value;
        ASSERT_TRUE(SummaryValueFromText(c.text, c.asList, value)) << c.text;
        Value stored{ value.vt, {} };
        if (value.vt == VT_LPWSTR)
            stored.strings.push_back(value.pwszVal);
        for (ULONG i = 0; value.vt == (VT_VECTOR | VT_LPWSTR) && i < value.calpwstr.cElems; ++i)
            stored.strings.push_back(value.calpwstr.pElems[i]);
        EXPECT_TRUE(c.stored == stored) << "'" << ToNarrow(c.text) << "' list " << c.asList;
        EXPECT_STREQ(c.shown, SummaryValueText(value)) << ToNarrow(c.text);
    }
    // A handler's list may hold empty strings.
    LPWSTR parts[] = { const_cast<LPWSTR>(L""), const_cast<LPWSTR>(L"Ann") };
    PROPVARIANT list = {};
    list.vt = VT_VECTOR | VT_LPWSTR;
    list.calpwstr = { 2, parts };
    EXPECT_STREQ(L"Ann", SummaryValueText(list));
}

class StoreSummary : public testing::Test {
protected:
    CTempDir dir{ L"store" };
    std::wstring photo = dir.MakeFile(L"photo.jpg", "not really a picture");
    CMemoryStoreOpener store;
    CDialogWatcher dialogs;
};

TEST_F(StoreSummary, APlainFileShowsWhatItsHandlerHolds)
{
    store.Set(0, CMemoryStoreOpener::Text(L"Sunset"));
    store.Set(2, CMemoryStoreOpener::List({ L"Ann", L"Bob" }));
    CFileList list(HdropDataObject({ photo }));
    CFileList::CFileInfo& info = list.ElementAt(0);
    info.ReadSummary();
    const wchar_t* shown[] = { L"Sunset", L"", L"Ann; Bob", L"", L"" };
    for (int i = 0; i < CFileList::kSummaryCount; ++i)
        EXPECT_STREQ(shown[i], info.SummaryText(i)) << i;
    EXPECT_EQ(std::vector<DWORD>{ GPS_HANDLERPROPERTIESONLY }, store.Openings());
    EXPECT_EQ(0u, store.Held());
    // The in-memory store declares no capabilities: a handler without them writes everything.
    EXPECT_EQ(kAllFields, list.WritableSummaryFields());
    EXPECT_EQ(GPS_READWRITE, store.Openings().back());
    EXPECT_EQ(0u, store.Held());
}

TEST_F(StoreSummary, ACompoundDocumentKeepsItsOwnSummarySet)
{
    std::wstring doc = dir / L"report.doc";
    ASSERT_EQ(S_OK, CreateCompoundDocument(doc, { "Own title" }));
    store.Set(0, CMemoryStoreOpener::Text(L"Handler's title"));
    CFileList list(HdropDataObject({ doc }));
    EXPECT_STREQ(L"Own title", list.ElementAt(0).GetSummaryText(0));
    EXPECT_TRUE(list.WriteSummary(nullptr, L"New", L"", L"", L"", L""));
    EXPECT_EQ("New", ReadStoredSummary(doc).texts[0]);
    EXPECT_TRUE(store.Openings().empty());
    EXPECT_EQ(L"", dialogs.Describe());
}

TEST_F(StoreSummary, OnlyChangedFieldsAreWrittenBackAsTheirTypes)
{
    store.Set(1, CMemoryStoreOpener::Text(L"Kept"));
    // Stored again, it would become two strings.
    store.Set(3, CMemoryStoreOpener::List({ L"sea;sky" }));
    CFileList list(HdropDataObject({ photo }));
    CFileList::CFileInfo& info = list.ElementAt(0);
    ASSERT_STREQ(L"sea;sky", info.GetSummaryText(3));
    EXPECT_TRUE(list.WriteSummary(nullptr, L"Sunset", L"Kept", L" Ann ; Bob ", L"sea;sky", L""));
    EXPECT_EQ(L"", dialogs.Describe());
    EXPECT_TRUE(CMemoryStoreOpener::Text(L"Sunset") == store.Get(0));
    EXPECT_TRUE(CMemoryStoreOpener::Text(L"Kept") == store.Get(1));
    EXPECT_TRUE(CMemoryStoreOpener::List({ L"Ann", L"Bob" }) == store.Get(2));
    EXPECT_TRUE(CMemoryStoreOpener::List({ L"sea;sky" }) == store.Get(3));
    EXPECT_EQ(VT_EMPTY, store.Get(4).vt);
    EXPECT_EQ(GPS_READWRITE, store.Openings().back());
    EXPECT_EQ(0u, store.Held());

    // Pressed again without changes: the store is not opened.
    size_t openings = store.Openings().size();
    EXPECT_TRUE(list.WriteSummary(nullptr, L"Sunset", L"Kept", L"Ann; Bob", L"sea;sky", L""));
    EXPECT_EQ(openings, store.Openings().size());
    // Clearing a list removes its value.
    EXPECT_TRUE(list.WriteSummary(nullptr, L"Sunset", L"Kept", L"", L"sea;sky", L""));
    EXPECT_EQ(VT_EMPTY, store.Get(2).vt);
}

TEST_F(StoreSummary, AReadOnlyHandlerLeavesNoFieldWritableAndAWriteIsReported)
{
    store.Set(0, CMemoryStoreOpener::Text(L"Track"));
    store.refuseWriting = true;
    CFileList list(HdropDataObject({ photo }));
    EXPECT_STREQ(L"Track", list.ElementAt(0).GetSummaryText(0));
    EXPECT_EQ(0u, list.WritableSummaryFields());
    EXPECT_FALSE(list.WriteSummary(nullptr, L"Other", L"", L"", L"", L""));
    ASSERT_EQ(1u, dialogs.Seen().size()) << dialogs.Describe();
    EXPECT_EQ(L"Could not open file entry to save Summary Information.", dialogs.Seen()[0].text);
    EXPECT_TRUE(CMemoryStoreOpener::Text(L"Track") == store.Get(0));

    // A handler that writes some properties only says which.
    store.refuseWriting = false;
    store.readOnly = { 2, 4 };
    EXPECT_EQ(kAllFields & ~0x14u, list.WritableSummaryFields());
    EXPECT_EQ(0u, store.Held());
}

}
