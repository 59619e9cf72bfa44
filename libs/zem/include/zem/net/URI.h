// A URI split into its parts and rebuilt from them, with the percent-encoding that form
// bodies use. The scheme and host are kept in lower case, the path and fragment decoded and
// the query as written.
#pragma once
#include <cstdint>
#include <string>

namespace zem {

class URI {
public:
    // Characters a path or a form field must encode besides the illegal ones.
    static const wchar_t* const PATH_RESERVED;     // "?#"
    static const wchar_t* const FRAGMENT_RESERVED; // none
    static const wchar_t* const FORM_RESERVED;     // "=&+;"

    URI() = default;
    // Throws URIParseSyntaxException ("<message> at <position>"); nothing is kept then.
    explicit URI(const std::wstring& text);

    std::wstring toString() const;
    // User info, host and port as text ("user@[::1]:8080"); the port only when it is not
    // the scheme's own.
    std::wstring getAuthority() const;
    uint16_t getWellKnownPort() const;

    // Lower-cases the scheme; a URI without a port takes the scheme's well-known port.
    void setScheme(const std::wstring& scheme);
    const std::wstring& getScheme() const { return m_scheme; }
    const std::wstring& getUserInfo() const { return m_userInfo; }
    const std::wstring& getHost() const { return m_host; }
    uint16_t getPort() const { return m_port; }
    const std::wstring& getPath() const { return m_path; }
    const std::wstring& getQuery() const { return m_query; }
    const std::wstring& getFragment() const { return m_fragment; }

    // Appends text with unreserved and harmless printable ASCII kept and everything else as
    // "%XX": units up to U+00FF by their value, others by their UTF-8 bytes (a lone
    // surrogate as U+FFFD).
    static void encode(const std::wstring& text, const std::wstring& reserved, std::wstring& out);
    // Appends text with each "%XX" turned into the unit XX (0-255).
    static void decode(const std::wstring& text, std::wstring& out);

private:
    static void decodeAt(const std::wstring& text, size_t first, size_t last, std::wstring& out);
    void parseAuthority(const std::wstring& text, size_t& pos);
    void parsePathAndRest(const std::wstring& text, size_t pos);

    std::wstring m_scheme;
    std::wstring m_userInfo;
    std::wstring m_host;
    uint16_t m_port = 0; // 0: none
    std::wstring m_path;
    std::wstring m_query;
    std::wstring m_fragment;
};

} // namespace zem
