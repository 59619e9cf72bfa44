#include "corvel/widgets/afDataObject.h"

#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDataObjectScalar.h"
#include "corvel/widgets/afDataObjectText.h"

#include <cstring>
#include <gtest/gtest.h>
#include <shlobj.h>

using namespace corvel;

namespace {

FORMATETC formatOf(uint16_t format, DWORD tymed = TYMED_HGLOBAL) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed};
}

HGLOBAL blockOf(const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    return block;
}

// Counts how often a medium handed over is released (ReleaseStgMedium releases the
// owner instead of the block when one is set).
class ReleaseCounter : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(++releases); }
    int releases = 0;
};

// Reads a global medium back as bytes and frees it.
std::vector<unsigned char> takeBytes(STGMEDIUM& medium) {
    size_t size = GlobalSize(medium.hGlobal);
    std::vector<unsigned char> bytes(size);
    std::memcpy(bytes.data(), GlobalLock(medium.hGlobal), size);
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return bytes;
}

TEST(DataObjectTest, ACompositeOffersItsPartsInOrderAndAnswersEither) {
    afDataObjectComposite composite;
    EXPECT_TRUE(composite.isEmpty());
    EXPECT_EQ(0, composite.getPreferredFormat(afDataObject::GET));
    composite.addPart(new afDataObjectText(L"hello"), false);
    auto* scalar = new afDataObjectScalar<unsigned>(L"CorvelTestScalar", 0xA1B2C3D4u);
    composite.addPart(scalar, true);
    uint16_t scalarFormat = scalar->getFormat();
    ASSERT_NE(0, scalarFormat);
    EXPECT_EQ((std::vector<uint16_t>{CF_UNICODETEXT, scalarFormat}), composite.getFormats(afDataObject::GET));
    EXPECT_EQ(scalarFormat, composite.getPreferredFormat(afDataObject::GET));
    EXPECT_FALSE(composite.isEmpty());

    IDataObject* adapter = composite.getAdapter();
    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(S_OK, adapter->EnumFormatEtc(DATADIR_GET, &formats));
    FORMATETC listed[3];
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, formats->Next(3, listed, &fetched));
    ASSERT_EQ(2u, fetched);
    EXPECT_EQ(CF_UNICODETEXT, listed[0].cfFormat);
    EXPECT_EQ(scalarFormat, listed[1].cfFormat);
    EXPECT_EQ(-1, listed[1].lindex);
    EXPECT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), listed[1].tymed);
    formats->Release();

    FORMATETC text = formatOf(CF_UNICODETEXT);
    STGMEDIUM medium{};
    ASSERT_EQ(S_OK, adapter->GetData(&text, &medium));
    std::vector<unsigned char> bytes = takeBytes(medium);
    EXPECT_EQ(std::wstring(L"hello"), std::wstring(reinterpret_cast<const wchar_t*>(bytes.data())));

    FORMATETC value = formatOf(scalarFormat);
    ASSERT_EQ(S_OK, adapter->GetData(&value, &medium));
    bytes = takeBytes(medium);
    unsigned read = 0;
    std::memcpy(&read, bytes.data(), 4);
    EXPECT_EQ(0xA1B2C3D4u, read);
}

::testing::AssertionResult answers(HRESULT expected, IDataObject* adapter, FORMATETC* format, const char* what) {
    HRESULT result = adapter->QueryGetData(format);
    if (result == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << ": 0x" << std::hex << result << " instead of 0x" << expected;
}

TEST(DataObjectTest, QueryGetDataChecksEachField) {
    afDataObjectText text(L"x");
    IDataObject* adapter = text.getAdapter();
    FORMATETC good = formatOf(CF_UNICODETEXT);
    FORMATETC index = good;
    index.lindex = 0;
    FORMATETC aspect = good;
    aspect.dwAspect = DVASPECT_ICON;
    FORMATETC other = formatOf(CF_HDROP);
    FORMATETC bitmap = formatOf(CF_BITMAP, TYMED_ISTREAM);
    struct Case {
        HRESULT expected;
        FORMATETC* format;
        const char* what;
    } cases[] = {{S_OK, &good, "good"},
                 {E_INVALIDARG, nullptr, "null"},
                 {DV_E_LINDEX, &index, "index"},
                 {DV_E_DVASPECT, &aspect, "aspect"},
                 {DV_E_FORMATETC, &other, "format not offered"},
                 {DV_E_FORMATETC, &bitmap, "bitmap not offered"}};
    for (const Case& c : cases)
        EXPECT_TRUE(answers(c.expected, adapter, c.format, c.what));

    STGMEDIUM medium{};
    EXPECT_EQ(E_INVALIDARG, adapter->GetData(nullptr, &medium));
    EXPECT_EQ(E_INVALIDARG, adapter->GetData(&good, nullptr));
    EXPECT_EQ(E_INVALIDARG, adapter->SetData(nullptr, &medium, FALSE));
    EXPECT_EQ(E_POINTER, adapter->EnumFormatEtc(DATADIR_GET, nullptr));
    EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, adapter->DAdvise(&good, 0, nullptr, nullptr));
    EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, adapter->DUnadvise(0));
    EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, adapter->EnumDAdvise(nullptr));
    FORMATETC canonical{};
    canonical.ptd = reinterpret_cast<DVTARGETDEVICE*>(&canonical);
    EXPECT_EQ(DATA_S_SAMEFORMATETC, adapter->GetCanonicalFormatEtc(&good, &canonical));
    EXPECT_EQ(nullptr, canonical.ptd);
    void* unknown = nullptr;
    EXPECT_EQ(S_OK, adapter->QueryInterface(IID_IDataObject, &unknown));
    adapter->Release();
    EXPECT_EQ(E_NOINTERFACE, adapter->QueryInterface(IID_IEnumFORMATETC, &unknown));
    EXPECT_EQ(nullptr, unknown);
    EXPECT_EQ(E_POINTER, adapter->QueryInterface(IID_IUnknown, nullptr));
}

TEST(DataObjectTest, SetDataTakesTheTextBeforeTheZeroAndNeverReadsPastTheBlock) {
    afDataObjectText text;
    FORMATETC format = formatOf(CF_UNICODETEXT);
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = blockOf(L"ab\0cd", 12);
    ASSERT_EQ(S_OK, text.getAdapter()->SetData(&format, &medium, TRUE));
    EXPECT_EQ(L"ab", text.getText());
    EXPECT_FALSE(text.isEmpty());

    // Caught: a block without a zero from another program was measured past its end.
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = blockOf(L"xyz", 6);
    size_t capacity = GlobalSize(medium.hGlobal) / 2;
    ASSERT_EQ(S_OK, text.getAdapter()->SetData(&format, &medium, TRUE));
    EXPECT_EQ(L"xyz", text.getText().substr(0, 3));
    EXPECT_LE(text.getLength(), capacity);
}

TEST(DataObjectTest, AMediumHandedOverIsReleasedExactlyOnce) {
    afDataObjectText text;
    struct Case {
        const char* what;
        uint16_t format;
        DWORD tymed;
        HRESULT expected;
    } cases[] = {{"stored", CF_UNICODETEXT, TYMED_HGLOBAL, S_OK},
                 {"format refused", CF_HDROP, TYMED_HGLOBAL, DV_E_FORMATETC},
                 {"medium refused", CF_UNICODETEXT, TYMED_NULL, DV_E_TYMED}};
    for (const Case& c : cases) {
        ReleaseCounter owner;
        FORMATETC format = formatOf(c.format, c.tymed);
        STGMEDIUM medium{};
        medium.tymed = c.tymed;
        HGLOBAL block = blockOf(L"t", 4);
        medium.hGlobal = block;
        medium.pUnkForRelease = &owner;
        EXPECT_EQ(c.expected, text.getAdapter()->SetData(&format, &medium, TRUE)) << c.what;
        EXPECT_EQ(1, owner.releases) << c.what;
        GlobalFree(block);
    }
}

TEST(DataObjectTest, AFileListHasItsSizeAndReadsBackThroughTheShell) {
    afDataObjectFiles files;
    FORMATETC format = formatOf(CF_HDROP);
    STGMEDIUM medium{};
    EXPECT_EQ(E_UNEXPECTED, files.getAdapter()->GetData(&format, &medium)); // no paths
    files.setPaths({L"C:\\one.txt", L"D:\\two\\three.c"});
    EXPECT_EQ(20u + 11 * 2 + 15 * 2 + 2, files.getSize());
    ASSERT_EQ(S_OK, files.getAdapter()->GetData(&format, &medium));

    afDataObjectFiles copy;
    ASSERT_EQ(S_OK, copy.getAdapter()->SetData(&format, &medium, TRUE));
    EXPECT_EQ(files.getPaths(), copy.getPaths());
}

TEST(DataObjectTest, BrokenFileListsAreRefused) {
    struct Case {
        const char* what;
        DWORD offset;
        std::vector<wchar_t> names;
    } cases[] = {{"list without its final zero", 20, {L'a', 0, L'b'}},
                 {"offset past the block", 4000, {L'a', 0, 0}},
                 {"offset inside the header", 8, {L'a', 0, 0}}};
    for (const Case& c : cases) {
        std::vector<unsigned char> block(20 + c.names.size() * 2);
        DROPFILES header{};
        header.pFiles = c.offset;
        header.fWide = TRUE;
        std::memcpy(block.data(), &header, 20);
        std::memcpy(block.data() + 20, c.names.data(), c.names.size() * 2);
        FORMATETC format = formatOf(CF_HDROP);
        STGMEDIUM medium{};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = blockOf(block.data(), block.size());
        afDataObjectFiles files;
        EXPECT_EQ(E_UNEXPECTED, files.getAdapter()->SetData(&format, &medium, TRUE)) << c.what;
        EXPECT_TRUE(files.getPaths().empty()) << c.what;
    }
}

TEST(DataObjectTest, AScalarTakesOnlyFourBytes) {
    afDataObjectScalar<unsigned> scalar(L"CorvelTestScalar", 7);
    FORMATETC format = formatOf(scalar.getFormat());
    for (size_t size : {2u, 8u}) {
        STGMEDIUM medium{};
        medium.tymed = TYMED_HGLOBAL;
        unsigned char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        medium.hGlobal = blockOf(bytes, size);
        EXPECT_EQ(E_UNEXPECTED, scalar.getAdapter()->SetData(&format, &medium, TRUE)) << size;
    }
    unsigned value = 42;
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = blockOf(&value, 4);
    EXPECT_EQ(S_OK, scalar.getAdapter()->SetData(&format, &medium, TRUE));
    EXPECT_EQ(42u, scalar.getValue());
}

class Watched : public afDataObjectText {
public:
    explicit Watched(bool& gone) : afDataObjectText(L"w"), m_gone(gone) {}
    ~Watched() override { m_gone = true; }

private:
    bool& m_gone;
};

TEST(DataObjectTest, AnObjectHandedOverGoesWithTheAdaptersLastReference) {
    bool gone = false;
    Watched* object = new Watched(gone);
    IDataObject* adapter = object->getAdapter();
    adapter->AddRef();
    object->handOverToAdapter();
    EXPECT_FALSE(gone);
    adapter->Release();
    EXPECT_TRUE(gone);

    gone = false;
    object = new Watched(gone);
    object->getAdapter()->AddRef();
    adapter = object->getAdapter();
    delete object; // not handed over: the object goes with its owner
    EXPECT_TRUE(gone);
    adapter->Release();
}

TEST(DataObjectTest, TheFormatEnumeratorSkipsResetsAndClones) {
    afDataObjectComposite composite;
    composite.addPart(new afDataObjectText(L"a"), false);
    composite.addPart(new afDataObjectFiles, false);
    composite.addPart(new afDataObjectScalar<unsigned>(L"CorvelTestScalar", 1), false);
    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(S_OK, composite.getAdapter()->EnumFormatEtc(DATADIR_SET, &formats));
    EXPECT_EQ(S_OK, formats->Skip(1));
    IEnumFORMATETC* clone = nullptr;
    ASSERT_EQ(S_OK, formats->Clone(&clone));
    FORMATETC next{};
    EXPECT_EQ(S_OK, clone->Next(1, &next, nullptr));
    EXPECT_EQ(CF_HDROP, next.cfFormat); // the clone kept the position
    clone->Release();
    EXPECT_EQ(S_OK, formats->Skip(2)); // to exactly the end
    ULONG fetched = 5;
    EXPECT_EQ(S_FALSE, formats->Next(1, &next, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_OK, formats->Reset());
    EXPECT_EQ(S_FALSE, formats->Skip(4)); // past the end: at the end
    EXPECT_EQ(S_FALSE, formats->Next(1, &next, &fetched));
    EXPECT_EQ(S_OK, formats->Reset());
    FORMATETC two[2];
    EXPECT_EQ(E_INVALIDARG, formats->Next(2, two, nullptr));
    EXPECT_EQ(E_INVALIDARG, formats->Next(1, nullptr, &fetched));
    EXPECT_EQ(E_POINTER, formats->Clone(nullptr));
    formats->Release();
}

} // namespace
