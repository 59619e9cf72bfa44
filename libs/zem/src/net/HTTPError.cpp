#include "zem/net/HTTPError.h"

#include "zem/base/Exception.h"
#include "zem/base/Format.h"

namespace zem {
namespace net {

namespace {

const struct {
    uint32_t code;
    const wchar_t* text;
} kErrors[] = {
    {6, L"The handle is invalid."},
    {8, L"Not enough storage is available to process this command."},
    {18, L"There are no more files."},
    {50, L"The required protocol stack is not loaded and the application cannot start WinSock."},
    {122, L"The data area passed to a system call is too small."},
    {12001, L"WINHTTP out of handles."},
    {12002, L"The request has timed out."},
    {12004, L"An internal error has occurred."},
    {12005, L"The URL is invalid."},
    {12006, L"The URL specified a scheme other than \"http:\" or \"https:\"."},
    {12007, L"The server name cannot be resolved."},
    {12009, L"A request to query or set an option specified an invalid option value."},
    {12011, L"The requested option cannot be set, only queried."},
    {12012, L"The WinHTTP function support is being shut down or unloaded."},
    {12015, L"The login attempt failed."},
    {12017, L"The operation was canceled."},
    {12018, L"The type of handle supplied is incorrect for this operation."},
    {12019, L"The requested operation cannot be carried out because the handle supplied is not in the correct "
            L"state."},
    {12029, L"Connection to the server failed."},
    {12030, L"The connection with the server has been reset or terminated."},
    {12032, L"The WinHTTP function failed."},
    {12037, L"The server certificate is not within its validity period."},
    {12038, L"The server certificate's name does not match the host name."},
    {12044, L"The server requests client authentication."},
    {12045, L"Certificate chain was processed, but terminated in a root certificate that is not trusted by the "
            L"trust provider."},
    {12057, L"The revocation of the certificate could not be checked because the revocation server was offline."},
    {12100, L"The operation cannot be performed before the request is opened."},
    {12101, L"The operation cannot be performed before the request is sent."},
    {12102, L"The operation cannot be performed after the request has been sent."},
    {12103, L"The option cannot be set after the request has been opened."},
    {12150, L"The requested header cannot be located."},
    {12152, L"The server response cannot be parsed."},
    {12154, L"The supplied header is invalid."},
    {12155, L"The request for header information is invalid."},
    {12156, L"The header cannot be added because it already exists."},
    {12157, L"An error occurred in the secure channel support."},
    {12166, L"An error occurred executing the script code in the proxy auto-configuration file."},
    {12167, L"The proxy auto-configuration file could not be downloaded."},
    {12169, L"The server certificate is invalid."},
    {12170, L"The server certificate has been revoked by its issuer."},
    {12172, L"WINHTTP not initialized."},
    {12175, L"One or more errors were found in the secure sockets layer certificate sent by the server."},
    {12178, L"Proxy for the specified URL cannot be located."},
    {12179, L"The server certificate is not valid for the requested usage."},
    {12180, L"The URL of the proxy auto-configuration file could not be discovered."},
    {12181, L"The response holds more header fields than WinHTTP can receive."},
    {12182, L"The size of the response header exceeds the limit for the request."},
    {12183, L"An overflow occurred while parsing the chunked encoding of the response."},
    {12184, L"The response exceeds an internal WinHTTP size limit."},
    {12185, L"The client certificate has no private key associated with it."},
    {12186, L"The program may not access the private key of the client certificate."},
};

const uint32_t kSocketTimeout = 10060; // WSAETIMEDOUT, what Wine reports for a receive time-out

} // namespace

const wchar_t* findHTTPErrorText(uint32_t code) {
    for (const auto& row : kErrors)
        if (row.code == code)
            return row.text;
    return nullptr;
}

void throwHTTPError(uint32_t code) {
    if (code == kSocketTimeout)
        code = 12002;
    if (const wchar_t* text = findHTTPErrorText(code))
        throw HTTPException(text);
    throw HTTPException(format(L"WinHTTP call failed with error %u.", code));
}

} // namespace net
} // namespace zem
