#include "zem/net/URI.h"

#include "zem/base/Exception.h"
#include "zem/text/StringUtil.h"

#include <windows.h>

#include <cwchar>

namespace zem {

const wchar_t* const URI::PATH_RESERVED = L"?#";
const wchar_t* const URI::FRAGMENT_RESERVED = L"";
const wchar_t* const URI::FORM_RESERVED = L"=&+;";

namespace {

const struct {
    const wchar_t* scheme;
    uint16_t port;
} kWellKnownPorts[] = {
    {L"ftp", 21},    {L"ssh", 22},   {L"telnet", 23}, {L"http", 80},   {L"nntp", 119},  {L"ldap", 389},
    {L"https", 443}, {L"rtsp", 554}, {L"sip", 5060},  {L"sips", 5061}, {L"xmpp", 5222},
};

[[noreturn]] void fail(const wchar_t* message, size_t position) {
    std::wstring text = message;
    text += L" at ";
    formatUInt(text, static_cast<uint32_t>(position));
    throw URIParseSyntaxException(text);
}

bool isUnreserved(wchar_t unit) {
    return (unit >= L'a' && unit <= L'z') || (unit >= L'A' && unit <= L'Z') || (unit >= L'0' && unit <= L'9') ||
           unit == L'-' || unit == L'.' || unit == L'_' || unit == L'~';
}

bool isHarmlessPrintable(wchar_t unit) {
    bool printable = (unit >= L'!' && unit <= L',') || (unit >= L'/' && unit <= L'^') || (unit >= L'`' && unit <= L'}');
    return printable && !std::wcschr(L"%<>{}|\\\"^`", unit);
}

void appendEscape(unsigned byte, std::wstring& out) {
    out += L'%';
    out += DIGITS[(byte >> 4) & 0xF];
    out += DIGITS[byte & 0xF];
}

void appendUtf8Escapes(uint32_t codePoint, std::wstring& out) {
    if (codePoint < 0x800) {
        appendEscape(0xC0 | (codePoint >> 6), out);
    } else if (codePoint < 0x10000) {
        appendEscape(0xE0 | (codePoint >> 12), out);
        appendEscape(0x80 | ((codePoint >> 6) & 0x3F), out);
    } else {
        appendEscape(0xF0 | (codePoint >> 18), out);
        appendEscape(0x80 | ((codePoint >> 12) & 0x3F), out);
        appendEscape(0x80 | ((codePoint >> 6) & 0x3F), out);
    }
    appendEscape(0x80 | (codePoint & 0x3F), out);
}

void lowerCase(std::wstring& text) {
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
}

} // namespace

URI::URI(const std::wstring& text) {
    URI parsed;
    size_t pos = 0;
    wchar_t first = text.empty() ? 0 : text[0];
    bool pathOnly = text.empty() || first == L'/' || first == L'.' || first == L'?' || first == L'#';
    if (!pathOnly) {
        size_t stop = text.find_first_of(L":?#/");
        pathOnly = stop == std::wstring::npos || text[stop] != L':';
        if (!pathOnly) {
            pos = stop + 1;
            if (pos == text.size())
                fail(L"URI scheme must be followed by authority or path", text.size());
            parsed.setScheme(text.substr(0, stop));
            if (text.compare(pos, 2, L"//") == 0) {
                pos += 2;
                parsed.parseAuthority(text, pos);
            }
        }
    }
    parsed.parsePathAndRest(text, pos);
    *this = std::move(parsed);
}

void URI::parseAuthority(const std::wstring& text, size_t& pos) {
    size_t end = text.find_first_of(L"/?#", pos);
    if (end == std::wstring::npos)
        end = text.size();
    size_t hostStart = pos;
    for (size_t at = pos; at < end; ++at) {
        if (text[at] == L'@') {
            m_userInfo = text.substr(pos, at - pos);
            hostStart = at + 1;
        }
    }
    size_t hostEnd;
    size_t afterHost;
    if (hostStart < end && text[hostStart] == L'[') {
        size_t close = text.find(L']', hostStart);
        if (close == std::wstring::npos || close >= end)
            fail(L"unterminated IPv6 address", end);
        m_host = text.substr(hostStart + 1, close - hostStart - 1);
        hostEnd = close;
        afterHost = close + 1;
    } else {
        size_t colon = text.find(L':', hostStart);
        hostEnd = colon == std::wstring::npos || colon > end ? end : colon;
        m_host = text.substr(hostStart, hostEnd - hostStart);
        afterHost = hostEnd;
    }
    lowerCase(m_host);
    m_port = getWellKnownPort();
    if (afterHost < end) {
        if (text[afterHost] != L':')
            fail(L"bad or invalid port number", afterHost);
        size_t digits = afterHost + 1;
        if (digits < end) {
            unsigned port = 0;
            bool allDigits = true;
            for (size_t i = digits; i < end && allDigits; ++i) {
                allDigits = text[i] >= L'0' && text[i] <= L'9';
                port = port * 10 + (text[i] - L'0');
                if (port > 65535)
                    allDigits = false;
            }
            if (!allDigits || port == 0)
                fail(L"bad or invalid port number", digits);
            m_port = static_cast<uint16_t>(port);
        }
    }
    pos = end;
}

void URI::parsePathAndRest(const std::wstring& text, size_t pos) {
    size_t pathEnd = text.find_first_of(L"?#", pos);
    if (pathEnd == std::wstring::npos)
        pathEnd = text.size();
    decodeAt(text, pos, pathEnd, m_path);
    pos = pathEnd;
    if (pos < text.size() && text[pos] == L'?') {
        size_t queryEnd = text.find(L'#', pos + 1);
        if (queryEnd == std::wstring::npos)
            queryEnd = text.size();
        m_query = text.substr(pos + 1, queryEnd - pos - 1);
        pos = queryEnd;
    }
    if (pos < text.size() && text[pos] == L'#')
        decodeAt(text, pos + 1, text.size(), m_fragment);
}

std::wstring URI::toString() const {
    std::wstring out;
    std::wstring authority = getAuthority();
    if (!m_scheme.empty()) {
        out += m_scheme;
        out += L':';
        if (!authority.empty() || m_scheme == L"file") {
            out += L"//";
            out += authority;
        }
        if (!authority.empty() && (m_path.empty() || m_path[0] != L'/'))
            out += L'/';
    }
    encode(m_path, PATH_RESERVED, out);
    if (!m_query.empty()) {
        out += L'?';
        out += m_query;
    }
    if (!m_fragment.empty()) {
        out += L'#';
        encode(m_fragment, FRAGMENT_RESERVED, out);
    }
    return out;
}

std::wstring URI::getAuthority() const {
    std::wstring out;
    if (!m_userInfo.empty()) {
        out += m_userInfo;
        out += L'@';
    }
    if (m_host.find(L':') != std::wstring::npos)
        out += L'[' + m_host + L']';
    else
        out += m_host;
    if (m_port != 0 && m_port != getWellKnownPort()) {
        out += L':';
        formatUInt(out, m_port);
    }
    return out;
}

uint16_t URI::getWellKnownPort() const {
    for (const auto& row : kWellKnownPorts)
        if (m_scheme == row.scheme)
            return row.port;
    return 0;
}

void URI::setScheme(const std::wstring& scheme) {
    m_scheme = scheme;
    lowerCase(m_scheme);
    if (m_port == 0)
        m_port = getWellKnownPort();
}

void URI::encode(const std::wstring& text, const std::wstring& reserved, std::wstring& out) {
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t unit = text[i];
        if (isUnreserved(unit) || (isHarmlessPrintable(unit) && reserved.find(unit) == std::wstring::npos)) {
            out += unit;
            continue;
        }
        if (unit <= 0xFF) {
            appendEscape(unit, out);
            continue;
        }
        uint32_t codePoint = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            codePoint = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            codePoint = 0xFFFD;
        }
        appendUtf8Escapes(codePoint, out);
    }
}

void URI::decode(const std::wstring& text, std::wstring& out) {
    decodeAt(text, 0, text.size(), out);
}

void URI::decodeAt(const std::wstring& text, size_t first, size_t last, std::wstring& out) {
    for (size_t i = first; i < last; ++i) {
        if (text[i] != L'%') {
            out += text[i];
            continue;
        }
        if (i + 1 >= last)
            fail(L"no hex digit following percent sign", last);
        if (i + 2 >= last)
            fail(L"two hex digits must follow percent sign", last);
        int high = hexDigitValue(text[i + 1]);
        int low = hexDigitValue(text[i + 2]);
        if (high < 0 || low < 0)
            fail(L"not a hex digit", i + 3);
        out += static_cast<wchar_t>(high * 16 + low);
        i += 2;
    }
}

} // namespace zem
