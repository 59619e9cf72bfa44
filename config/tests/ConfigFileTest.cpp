#include "corvel/config/ConfigFile.h"
#include "corvel/config/Config.h"
#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineValue.h"

#include "DiskFolderFixture.h"
#include "JasmineTestSupport.h"
#include "RegistryFixture.h"
#include "support/LogCapture.h"
#include "support/TestWindow.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

using namespace corvel;
using corveltest::utf16le;

namespace {

class CountingListener : public ConfigListener {
public:
    void changedNow(Config&, const wchar_t*) override { ++now; }
    void changedLater(Config&, const wchar_t*) override { ++later; }
    int now = 0;
    int later = 0;
};

// Real files in a temporary folder ("cfgtest:"), a registry bound to a hidden window.
class ConfigFileTest : public corveltest::DiskFolderFixture, protected corveltest::RegistryFixture {
protected:
    void SetUp() override {
        DiskFolderFixture::SetUp();
        setUpRegistry();
    }
    void TearDown() override {
        tearDownRegistry();
        DiskFolderFixture::TearDown();
    }

    void writeUtf8(const std::wstring& name, const std::string& text) { zemtest::writeNativeFile(native(name), text); }

    std::wstring logged() {
        std::wstring out;
        for (const auto& line : m_log.lines())
            out += line.text + L"|";
        return out;
    }

    ConfigFile* file(const wchar_t* name, bool readOnly = false) {
        return m_config->getFile(device(name).c_str(), readOnly);
    }

    zemtest::LogCapture m_log{zem::LogManager_Impl::instance().registerSource(L"Config")};
};

ConfigValue intValue(int32_t v) {
    ConfigValue value;
    value.setInt(v);
    return value;
}

} // namespace

TEST_F(ConfigFileTest, LoadedValuesAreNotModifiedAndNotWrittenBack) {
    const std::string text = "{ version : '0 9 4 0' app.sidebar.left : { width : 300 } }";
    writeUtf8(L"a.cvConfig", text);
    ConfigFile* f = file(L"a.cvConfig");
    ConfigValue* width = f->declareWithDefault(L"app.sidebar.left.width", intValue(200));
    CountingListener listener;
    m_config->getNamespace(L"app.sidebar.left", false)->addListener(&listener);
    ASSERT_TRUE(m_config->loadAll());
    EXPECT_EQ(300, width->asInt());
    EXPECT_FALSE(width->hasFlags(ConfigValue::FLAG_MODIFIED));
    EXPECT_EQ(1, listener.now);
    ASSERT_TRUE(m_window.pumpUntil([&] { return listener.later == 1; }));
    EXPECT_TRUE(m_config->saveAll());
    EXPECT_EQ(text, zemtest::readNativeFile(native(L"a.cvConfig")));
    EXPECT_EQ(0u, f->getLastWriteTime());
    width->setInt(310);
    EXPECT_TRUE(m_config->saveAll());
    EXPECT_NE(text, zemtest::readNativeFile(native(L"a.cvConfig")));
    EXPECT_NE(0u, f->getLastWriteTime());
    EXPECT_FALSE(width->hasFlags(ConfigValue::FLAG_MODIFIED));
}

TEST_F(ConfigFileTest, VersionStampIsChecked) {
    const struct {
        const char* text;
        bool loads;
        const wchar_t* log;
    } cases[] = {
        {"{ version : '1 0 0 0' app.v : { x : 5 } }", true, L""},
        {"{ version : '0 0 0 0' app.v : { x : 5 } }", false,
         L"ConfigFile: Version identifier mish mash in file 'cfgtest:v.cvConfig'\n|"},
        {"{ app.v : { x : 5 } }", false,
         L"File 'cfgtest:v.cvConfig' is in deprecated format, 'version' identifier not found.\n|"},
        {"[ 1 2 ]", false, L"File 'cfgtest:v.cvConfig' is in deprecated format, 'version' identifier not found.\n|"},
    };
    for (const auto& c : cases) {
        m_config.reset(new Config());
        zemtest::LogCapture log(m_config->logSource());
        writeUtf8(L"v.cvConfig", c.text);
        ConfigValue* x = file(L"v.cvConfig")->declareWithDefault(L"app.v.x", intValue(1));
        EXPECT_EQ(c.loads, m_config->loadAll()) << c.text;
        EXPECT_EQ(c.loads ? 5 : 1, x->asInt()) << c.text;
        std::wstring lines;
        for (const auto& line : log.lines())
            lines += line.text + L"|";
        // The log capture drops the final line feed.
        std::wstring expected = c.log;
        for (size_t at; (at = expected.find(L"\n|")) != std::wstring::npos;)
            expected.replace(at, 2, L"|");
        EXPECT_EQ(expected, lines) << c.text;
    }
}

TEST_F(ConfigFileTest, DeclaredKeysKeepTheirTypeOnLoad) {
    writeUtf8(L"t.cvConfig", "{ version : '0 9 4 0' app.t : { i : '12' j : 'abc' f : 2 b : 1 u : 7 n : null "
                             "s : 3000000000 } }");
    ConfigFile* f = file(L"t.cvConfig");
    ConfigValue* i = f->declare(ConfigValue::TYPE_INT, L"app.t.i");
    ConfigValue* j = f->declareWithDefault(L"app.t.j", intValue(4));
    ConfigValue fdef;
    fdef.setFloat(0.5f);
    ConfigValue* fl = f->declareWithDefault(L"app.t.f", fdef);
    ConfigValue* b = f->declare(ConfigValue::TYPE_BOOL, L"app.t.b");
    ConfigValue udef;
    udef.setUnsigned(1);
    ConfigValue* u = f->declareWithDefault(L"app.t.u", udef);
    ConfigValue* n = f->declareWithDefault(L"app.t.n", intValue(9));
    ConfigValue* s = f->declare(ConfigValue::TYPE_STRING, L"app.t.s");
    ASSERT_TRUE(m_config->loadAll());
    EXPECT_EQ(ConfigValue::TYPE_INT, i->getType());
    EXPECT_EQ(12, i->asInt());
    EXPECT_EQ(4, j->asInt()); // "abc" cannot be an integer: the value stays
    EXPECT_EQ(ConfigValue::TYPE_FLOAT, fl->getType());
    EXPECT_EQ(2.0f, fl->getFloat());
    EXPECT_TRUE(b->asBool());
    EXPECT_EQ(ConfigValue::TYPE_UNSIGNED, u->getType());
    EXPECT_EQ(7u, u->asUnsigned());
    EXPECT_EQ(9, n->asInt()); // null cannot be read: the value stays
    EXPECT_STREQ(L"3000000000", s->getString());
}

TEST_F(ConfigFileTest, UndeclaredKeysAreDeclaredOnTheFlyAndWrittenBack) {
    writeUtf8(L"u.cvConfig", "{ version : '0 9 4 0' app.extra : { name : 'x' list : [ 1 2 ] } }");
    ConfigFile* f = file(L"u.cvConfig");
    ASSERT_TRUE(m_config->loadAll());
    ConfigValue* name = m_config->getValue(L"app.extra.name");
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(ConfigValue::TYPE_STRING, name->getType());
    EXPECT_EQ(2u, f->getValues().size());
    name->setString(L"y");
    ASSERT_TRUE(m_config->saveAll());
    EXPECT_EQ("\xff\xfe" +
                  utf16le(L"\n{\n\tversion : '0 9 4 28669501'\n\tapp.extra : \n\t{\n\t\tname : 'y'\n\t\tlist : "
                          L"\n\t\t[\n\t\t\t1\n\t\t\t2\n\t\t]\n\t}\n}\n"),
              zemtest::readNativeFile(native(L"u.cvConfig")));
}

// Found by fuzzing: a key whose last part is no key on its own ("5e3cts" reads as a number
// and a symbol) was read but could not be written back, and every later save failed.
TEST_F(ConfigFileTest, KeysWhoseLastPartIsNoKeyAreWrittenUnderTheirGroup) {
    writeUtf8(L"k.cvConfig", "{ version : '0 9 4 0' app.t : { plain : 0 a.5e3cts : 1 b. : 'two' c.-d : 3 } }");
    file(L"k.cvConfig");
    ASSERT_TRUE(m_config->loadAll());
    ASSERT_NE(nullptr, m_config->getValue(L"app.t.a.5e3cts"));
    m_config->getValue(L"app.t.a.5e3cts")->setInt(4);
    ASSERT_TRUE(m_config->saveAll()) << ::testing::PrintToString(logged());
    m_config.reset(new Config());
    file(L"k.cvConfig");
    ASSERT_TRUE(m_config->loadAll());
    const struct {
        const wchar_t* key;
        const wchar_t* described;
    } rows[] = {{L"app.t.a.5e3cts", L"i4"}, {L"app.t.b.", L"s'two'"}, {L"app.t.c.-d", L"i3"}};
    for (const auto& row : rows) {
        ConfigValue* value = m_config->getValue(row.key);
        ASSERT_NE(nullptr, value) << ::testing::PrintToString(row.key);
        JasmineValue held;
        value->toJasmine(held);
        EXPECT_EQ(std::wstring(row.described), corveltest::describe(held)) << ::testing::PrintToString(row.key);
    }
    EXPECT_TRUE(m_config->saveAll());
}

TEST_F(ConfigFileTest, SavedConfigurationReloadsIntoAFreshConfig) {
    auto declareAll = [this](Config& config) {
        ConfigFile* f = config.getFile(device(L"all.cvConfig").c_str(), false);
        ConfigValue v;
        v.setInt(-5);
        f->declareWithDefault(L"app.all.int", v);
        ConfigValue u;
        u.setUnsigned(3000000000u);
        f->declareWithDefault(L"app.all.unsigned", u);
        ConfigValue b;
        b.setBool(true);
        f->declareWithDefault(L"app.all.bool", b);
        ConfigValue s;
        s.setString(L"it's \x4e2d\ttab");
        f->declareWithDefault(L"app.all.string", s);
        ConfigValue fl;
        fl.setFloat(1.25f);
        f->declareWithDefault(L"app.all.float", fl);
        ConfigValue::List items;
        items.emplace_back();
        items.back().setString(L"a");
        items.emplace_back();
        items.back().setInt(2);
        ConfigValue list(ConfigValue::TYPE_LIST);
        list.setList(items);
        f->declareWithDefault(L"app.all.list", list);
        JasmineValue doc;
        doc.getOrAddEntry(L"k").setRegExp(L"a/b", L"i");
        ConfigValue structured;
        structured.setJasmine(doc);
        f->declareWithDefault(L"app.other.structured", structured);
        f->declare(ConfigValue::TYPE_STRING, L"app.other.unset");
    };
    declareAll(*m_config);
    m_config->getValue(L"app.all.int")->setInt(42);
    ASSERT_TRUE(m_config->saveAll());
    m_config.reset(new Config());
    declareAll(*m_config);
    ASSERT_TRUE(m_config->loadAll());
    EXPECT_EQ(42, m_config->getValue(L"app.all.int")->asInt());
    EXPECT_EQ(3000000000u, m_config->getValue(L"app.all.unsigned")->asUnsigned());
    EXPECT_TRUE(m_config->getValue(L"app.all.bool")->asBool());
    EXPECT_STREQ(L"it's \x4e2d\ttab", m_config->getValue(L"app.all.string")->getString());
    EXPECT_EQ(1.25f, m_config->getValue(L"app.all.float")->getFloat());
    EXPECT_EQ(2u, m_config->getValue(L"app.all.list")->getList().size());
    const JasmineValue* structured = m_config->getValue(L"app.other.structured")->getJasmine();
    ASSERT_NE(nullptr, structured);
    EXPECT_EQ(L"{k:/a/b/i}", corveltest::describe(*structured));
    EXPECT_FALSE(m_config->getValue(L"app.other.unset")->hasFlags(ConfigValue::FLAG_HOLDS_VALUE));
    for (ConfigValue* value : m_config->getFile(device(L"all.cvConfig").c_str(), false)->getValues())
        EXPECT_FALSE(value->hasFlags(ConfigValue::FLAG_MODIFIED)) << ::testing::PrintToString(value->getName());
}

TEST_F(ConfigFileTest, MissingFilesAreWrittenWithTheirDefaultsReadOnlyOnesNever) {
    ConfigFile* missing = file(L"new.cvConfig");
    missing->declareWithDefault(L"app.n.x", intValue(3));
    ConfigFile* onlyList = file(L"list.cvConfig");
    onlyList->declare(ConfigValue::TYPE_LIST, L"app.l.items");
    ConfigFile* readOnly = file(L"ro.cvConfig", true);
    readOnly->declareWithDefault(L"app.r.x", intValue(1));
    EXPECT_EQ(missing, file(L"new.cvConfig", true)); // an existing file keeps its flag
    EXPECT_FALSE(missing->isReadOnly());
    EXPECT_FALSE(m_config->loadAll());
    ASSERT_TRUE(m_config->saveAll());
    EXPECT_EQ(L"new.cvConfig,", listFolder());
    m_config->getValue(L"app.r.x")->setInt(2);
    ASSERT_TRUE(m_config->saveAll());
    EXPECT_EQ(L"new.cvConfig,", listFolder());
}

TEST_F(ConfigFileTest, SyntaxErrorIsLoggedAndTheFileIsKeptAsItIs) {
    const std::string broken = "{ version : '0 9 4 0' app.s : { x : 1, } }";
    writeUtf8(L"broken.cvConfig", broken);
    writeUtf8(L"good.cvConfig", "{ version : '0 9 4 0' app.g : { y : 7 } }");
    ConfigValue* x = file(L"broken.cvConfig")->declareWithDefault(L"app.s.x", intValue(5));
    ConfigValue* y = file(L"good.cvConfig")->declareWithDefault(L"app.g.y", intValue(0));
    EXPECT_FALSE(m_config->loadAll());
    EXPECT_EQ(5, x->asInt());
    EXPECT_EQ(7, y->asInt());
    EXPECT_EQ(L"ConfigFile: Syntax error in file 'cfgtest:broken.cvConfig': Unexpected <UNKNOWN_TOKEN>, expecting "
              L"symbol (not quoted string) or number. (Line 1, Column 38)|",
              logged());
    x->setInt(6);
    EXPECT_TRUE(m_config->saveAll());
    EXPECT_EQ(broken, zemtest::readNativeFile(native(L"broken.cvConfig")));
}

TEST_F(ConfigFileTest, FailedSaveKeepsTheOldFileAndTheModifiedMark) {
    writeUtf8(L"locked.cvConfig", "{ version : '0 9 4 0' app.k : { x : 1 } }");
    ConfigValue* x = file(L"locked.cvConfig")->declareWithDefault(L"app.k.x", intValue(0));
    ASSERT_TRUE(m_config->loadAll());
    ASSERT_TRUE(SetFileAttributesW(native(L"locked.cvConfig").c_str(), FILE_ATTRIBUTE_READONLY));
    x->setInt(2);
    EXPECT_FALSE(m_config->saveAll());
    EXPECT_TRUE(x->hasFlags(ConfigValue::FLAG_MODIFIED));
    EXPECT_EQ("{ version : '0 9 4 0' app.k : { x : 1 } }", zemtest::readNativeFile(native(L"locked.cvConfig")));
    EXPECT_EQ(L"locked.cvConfig,", listFolder());
    EXPECT_EQ(L"File 'cfgtest:locked.cvConfig' can't open for write|", logged());
}

TEST_F(ConfigFileTest, FilesAreLoadedInAscendingIdOrderAndAFailureStopsNone) {
    const wchar_t* names[] = {L"one.cvConfig", L"two.cvConfig", L"three.cvConfig", L"four.cvConfig"};
    std::vector<std::pair<uint32_t, std::wstring>> expected;
    for (const wchar_t* name : names) {
        file(name);
        expected.emplace_back(Config::keyId(device(name).c_str()), device(name));
    }
    std::sort(expected.begin(), expected.end());
    writeUtf8(L"three.cvConfig", "{ version : '0 9 4 0' app.three : { x : 3 } }");
    ConfigValue* three = file(L"three.cvConfig")->declare(ConfigValue::TYPE_INT, L"app.three.x");
    zemtest::LogCapture loader(JasmineLoader::logSource());
    EXPECT_FALSE(m_config->loadAll());
    EXPECT_EQ(3, three->asInt());
    std::wstring order;
    for (const auto& entry : expected) {
        if (entry.second != device(L"three.cvConfig"))
            order += L"ERROR: JasmineLoader::load(): Error reading file `" + entry.second + L"`.|";
    }
    std::wstring lines;
    for (const auto& line : loader.lines())
        lines += line.text + L"|";
    EXPECT_EQ(order, lines);
}
