#include "zem/net/URI.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

namespace {

using zem::URI;

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t unit : text)
        out += unit < 128 ? static_cast<char>(unit) : '?';
    return out;
}

struct Parts {
    const wchar_t* scheme;
    const wchar_t* userInfo;
    const wchar_t* host;
    unsigned port;
    const wchar_t* path;
    const wchar_t* query;
    const wchar_t* fragment;
};

::testing::AssertionResult parsesAs(const wchar_t* text, const Parts& expected) {
    URI uri(text);
    const std::wstring actual[] = {uri.getScheme(), uri.getUserInfo(), uri.getHost(),    std::to_wstring(uri.getPort()),
                                   uri.getPath(),   uri.getQuery(),    uri.getFragment()};
    const std::wstring wanted[] = {expected.scheme, expected.userInfo, expected.host,    std::to_wstring(expected.port),
                                   expected.path,   expected.query,    expected.fragment};
    for (int i = 0; i < 7; ++i)
        if (actual[i] != wanted[i])
            return ::testing::AssertionFailure() << narrow(text) << ": part " << i << " is \"" << narrow(actual[i])
                                                 << "\", expected \"" << narrow(wanted[i]) << "\"";
    return ::testing::AssertionSuccess();
}

TEST(URITest, ParsesEachPart) {
    EXPECT_TRUE(parsesAs(L"http://h", {L"http", L"", L"h", 80, L"", L"", L""}));
    EXPECT_TRUE(parsesAs(L"HTTP://Host.Example:8080/a%20b?x=%41#f%20g",
                         {L"http", L"", L"host.example", 8080, L"/a b", L"x=%41", L"f g"}));
    EXPECT_TRUE(parsesAs(L"https://u:p@w@[::1]:8443/", {L"https", L"u:p@w", L"::1", 8443, L"/", L"", L""}));
    EXPECT_TRUE(parsesAs(L"http://h:/p", {L"http", L"", L"h", 80, L"/p", L"", L""}));
    EXPECT_TRUE(parsesAs(L"ftp://[::1]", {L"ftp", L"", L"::1", 21, L"", L"", L""}));
    EXPECT_TRUE(parsesAs(L"foo://h:65535", {L"foo", L"", L"h", 65535, L"", L"", L""}));
    EXPECT_TRUE(parsesAs(L"mailto:someone", {L"mailto", L"", L"", 0, L"someone", L"", L""}));
    EXPECT_TRUE(parsesAs(L"a/b:c", {L"", L"", L"", 0, L"a/b:c", L"", L""}));
    EXPECT_TRUE(parsesAs(L"./x?q#", {L"", L"", L"", 0, L"./x", L"q", L""}));
    EXPECT_TRUE(parsesAs(L"#only", {L"", L"", L"", 0, L"", L"", L"only"}));
    EXPECT_TRUE(parsesAs(L"plain", {L"", L"", L"", 0, L"plain", L"", L""}));
    EXPECT_TRUE(parsesAs(L"", {L"", L"", L"", 0, L"", L"", L""}));
}

::testing::AssertionResult failsWith(const wchar_t* text, const wchar_t* message) {
    try {
        URI uri(text);
        return ::testing::AssertionFailure() << narrow(text) << " parsed";
    } catch (const zem::URIParseSyntaxException& e) {
        if (e.message() == message)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << narrow(text) << " failed with \"" << narrow(e.message()) << "\"";
    }
}

TEST(URITest, MalformedTextsFailWithTheirMessage) {
    EXPECT_TRUE(failsWith(L"http:", L"URI scheme must be followed by authority or path at 5"));
    EXPECT_TRUE(failsWith(L"http://[::1:80/", L"unterminated IPv6 address at 14"));
    EXPECT_TRUE(failsWith(L"http://h:0/", L"bad or invalid port number at 9"));
    EXPECT_TRUE(failsWith(L"http://h:65536/", L"bad or invalid port number at 9"));
    EXPECT_TRUE(failsWith(L"http://h:8a/", L"bad or invalid port number at 9"));
    EXPECT_TRUE(failsWith(L"/a%", L"no hex digit following percent sign at 3"));
    EXPECT_TRUE(failsWith(L"/a%4", L"two hex digits must follow percent sign at 4"));
    EXPECT_TRUE(failsWith(L"/a%4g/b", L"not a hex digit at 5"));
    EXPECT_TRUE(failsWith(L"x:#%zz", L"not a hex digit at 6"));
}

TEST(URITest, FailedParseLeavesNothingBehind) {
    URI uri(L"http://keep/me");
    EXPECT_THROW(uri = URI(L"https://gone:99999/"), zem::URIParseSyntaxException);
    EXPECT_EQ(L"keep", uri.getHost());
    EXPECT_EQ(80, uri.getPort());
}

::testing::AssertionResult rebuildsAs(const wchar_t* text, const wchar_t* expected) {
    std::wstring actual = URI(text).toString();
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << narrow(text) << " rebuilt as " << narrow(actual);
}

TEST(URITest, RebuildsText) {
    EXPECT_TRUE(rebuildsAs(L"http://h:80/a%20b?x=%41#f%20g", L"http://h/a%20b?x=%41#f%20g"));
    EXPECT_TRUE(rebuildsAs(L"http://u@h:8080/p", L"http://u@h:8080/p"));
    EXPECT_TRUE(rebuildsAs(L"http://[::1]:81/", L"http://[::1]:81/"));
    EXPECT_TRUE(rebuildsAs(L"file:///c/x", L"file:///c/x"));
    EXPECT_TRUE(rebuildsAs(L"http://h", L"http://h/"));
    EXPECT_TRUE(rebuildsAs(L"/p%3Fq%23r", L"/p%3Fq%23r"));
    EXPECT_TRUE(rebuildsAs(L"mailto:a@b", L"mailto:a@b"));
    EXPECT_TRUE(rebuildsAs(L"file:/x", L"file:///x"));
}

TEST(URITest, SchemeSetsTheWellKnownPortOnlyWhenThereIsNone) {
    const struct {
        const wchar_t* scheme;
        unsigned port;
    } rows[] = {{L"ftp", 21},    {L"ssh", 22},   {L"telnet", 23}, {L"http", 80},   {L"nntp", 119},  {L"ldap", 389},
                {L"https", 443}, {L"rtsp", 554}, {L"sip", 5060},  {L"sips", 5061}, {L"xmpp", 5222}, {L"gopher", 0}};
    for (const auto& row : rows) {
        URI uri;
        uri.setScheme(row.scheme);
        EXPECT_EQ(row.port, uri.getPort()) << narrow(row.scheme);
        EXPECT_EQ(row.port, uri.getWellKnownPort()) << narrow(row.scheme);
    }
    URI uri(L"http://h:8080/");
    uri.setScheme(L"HTTPS");
    EXPECT_EQ(L"https", uri.getScheme());
    EXPECT_EQ(8080, uri.getPort());
}

::testing::AssertionResult encodesAs(const std::wstring& text, const wchar_t* reserved, const wchar_t* expected) {
    std::wstring out = L">";
    URI::encode(text, reserved, out);
    if (out == std::wstring(L">") + expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << narrow(text) << " encoded as " << narrow(out);
}

TEST(URITest, EncodesUnitsByTheirSets) {
    EXPECT_TRUE(encodesAs(L"a b\n", L"", L"a%20b%0A"));
    EXPECT_TRUE(encodesAs(L"=&+;", L"", L"=&+;"));
    EXPECT_TRUE(encodesAs(L"=&+;", URI::FORM_RESERVED, L"%3D%26%2B%3B"));
    EXPECT_TRUE(encodesAs(L"%<>{}|\\\"^`", L"", L"%25%3C%3E%7B%7D%7C%5C%22%5E%60"));
    EXPECT_TRUE(encodesAs(L"-._~!/:@[]", L"", L"-._~!/:@[]"));
    EXPECT_TRUE(encodesAs(L"\x7F\x00E9", L"", L"%7F%E9"));
    // Above U+00FF the low byte would be another character: UTF-8 goes out instead.
    EXPECT_TRUE(encodesAs(L"\x20AC", L"", L"%E2%82%AC"));
    EXPECT_TRUE(encodesAs(L"\xD83D\xDE00", L"", L"%F0%9F%98%80"));
    EXPECT_TRUE(encodesAs(L"\xD83Dx", L"", L"%EF%BF%BDx"));
    std::wstring decoded;
    URI::decode(L"%41%e9b", decoded);
    EXPECT_EQ(L"A\x00E9"
              L"b",
              decoded);
}

} // namespace
