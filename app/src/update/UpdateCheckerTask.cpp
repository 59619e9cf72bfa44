#include "corvel/app/UpdateCheckerTask.h"

#include "corvel/base/VersionInfo.h"
#include "corvel/config/Closure.h"
#include "zem/base/Exception.h"
#include "zem/base/Format.h"
#include "zem/json/JsonReader.h"
#include "zem/log/LogManager.h"
#include "zem/net/HTMLForm.h"
#include "zem/net/HTTPClientSession.h"
#include "zem/net/HTTPRequest.h"
#include "zem/net/HTTPResponse.h"
#include "zem/net/HTTPStream.h"
#include "zem/net/URI.h"
#include "zem/value/DictionaryValue.h"

#include <cwchar>
#include <new>
#include <ostream>
#include <windows.h>

#ifndef CORVEL_UPDATE_SERVER
#define CORVEL_UPDATE_SERVER L"updates.corvel.invalid"
#endif

namespace corvel {

namespace {

const wchar_t* const CHECK_PATH = L"corvel/version/check";

uint32_t logSource() {
    static const uint32_t source = zem::LogManager_Impl::instance().registerSource(L"Corvel");
    return source;
}

// "host[:port]"; a port that does not read as one leaves port 80.
void parseServer(const std::wstring& text, std::wstring& host, uint16_t& port) {
    host = text;
    port = 80;
    size_t colon = text.rfind(L':');
    if (colon == std::wstring::npos)
        return;
    host = text.substr(0, colon);
    wchar_t* end = nullptr;
    unsigned long number = wcstoul(text.c_str() + colon + 1, &end, 10);
    if (end != text.c_str() + colon + 1 && *end == 0 && number > 0 && number <= 0xFFFF)
        port = static_cast<uint16_t>(number);
}

// Copies the key's text when it is there as a string.
void copyString(const zem::DictionaryValue& reply, const wchar_t* key, std::wstring& field) {
    if (const zem::Value* value = reply.findTyped(key, zem::Value::KIND_STRING))
        value->getString(&field);
}

} // namespace

// Carries a result to the main thread; the record goes with the closure, invoked or not.
class UpdateCheckerTask::ResultClosure : public Closure {
public:
    ResultClosure(UpdateCheckerTask* task, std::unique_ptr<UpdateInfo> info) : m_task(task), m_info(std::move(info)) {}
    void invoke() override { m_task->deliver(m_info.get()); }

private:
    UpdateCheckerTask* m_task;
    std::unique_ptr<UpdateInfo> m_info;
};

UpdateCheckerTask::UpdateCheckerTask(const VersionInfo& version)
    : m_version(version.versionText), m_build(version.buildText), m_branch(version.channel) {
    getDefaultServer(m_host, m_port);
}

UpdateCheckerTask::~UpdateCheckerTask() {
    abort();
    stop();
}

void UpdateCheckerTask::getDefaultServer(std::wstring& host, uint16_t& port) {
    wchar_t buffer[512];
    DWORD length = GetEnvironmentVariableW(L"CORVEL_UPDATE_SERVER", buffer, 512);
    parseServer(length > 0 && length < 512 ? buffer : CORVEL_UPDATE_SERVER, host, port);
}

void UpdateCheckerTask::setServer(const std::wstring& host, uint16_t port) {
    m_host = host;
    m_port = port;
}

void UpdateCheckerTask::setReceiver(ResultFunction function, void* receiver) {
    m_function = function;
    m_receiver = receiver;
}

bool UpdateCheckerTask::queueCheck() {
    auto* closure = new Closure_0(&UpdateCheckerTask::runCheck, this);
    if (postToTaskThread(closure))
        return true;
    delete closure;
    return false;
}

void UpdateCheckerTask::abort() {
    zem::CriticalSectionLock guard(m_sessionLock);
    m_aborted = true;
    if (m_session)
        m_session->abort();
}

void UpdateCheckerTask::runCheck(void* self) {
    auto* task = static_cast<UpdateCheckerTask*>(self);
    std::unique_ptr<UpdateInfo> result = task->check();
    auto* closure = new ResultClosure(task, std::move(result));
    if (!task->postToUiThread(closure))
        delete closure;
}

void UpdateCheckerTask::deliver(UpdateInfo* info) {
    if (m_function)
        m_function(m_receiver, info);
}

std::unique_ptr<UpdateInfo> UpdateCheckerTask::check() {
    std::unique_ptr<UpdateInfo> result;
    std::wstring error;
    try {
        exchange(result);
        return result;
    } catch (const zem::Exception& e) {
        error = e.message();
    } catch (const std::bad_alloc&) {
        error = L"Out of memory.";
    } catch (...) {
        error = L"Unknown error.";
    }
    // An empty text would read as success.
    if (error.empty())
        error = L"Unknown error.";
    zem::logMessage(zem::LOG_ERROR, logSource(), L"UpdateChecker: %s\n", error.c_str());
    // The record already begun keeps what it read.
    if (!result)
        result.reset(new UpdateInfo);
    result->error = error;
    return result;
}

void UpdateCheckerTask::exchange(std::unique_ptr<UpdateInfo>& result) {
    std::unique_ptr<zem::net::HTTPClientSession> session = zem::net::HTTPClientSession::create();
    session->setHost(m_host, m_port);
    session->setTimeout(TIMEOUT_MS);
    {
        zem::CriticalSectionLock guard(m_sessionLock);
        if (m_aborted)
            throw zem::IllegalStateException(L"Update check was aborted.");
        m_session = session.get();
    }
    struct Forget {
        UpdateCheckerTask* task;
        ~Forget() {
            zem::CriticalSectionLock guard(task->m_sessionLock);
            task->m_session = nullptr;
        }
    } forget{this};

    std::unique_ptr<zem::net::HTTPRequest> request = zem::net::HTTPRequest::create();
    request->setMethod(L"POST");
    request->setURI(CHECK_PATH);
    zem::net::HTMLForm form;
    form.set(L"build[version]", m_version);
    form.set(L"build[number]", m_build);
    form.set(L"build[branch]", m_branch);
    form.prepareSubmit(*request);
    std::ostream& body = session->sendRequest(*request);
    form.write(body);
    body.flush();
    std::unique_ptr<zem::net::HTTPResponse> response = zem::net::HTTPResponse::create();
    session->receiveResponse(*response);
    // Only a 200 carries an answer: an error page with "{}" must not read as up to date.
    if (response->getStatus() != 200)
        throw zem::RuntimeException(zem::format(L"Update server answered with status %d.", response->getStatus()));
    const std::wstring& text = session->readResponseText(*response);

    std::unique_ptr<zem::Value> reply(zem::parseJson(zem::JsonReaderSettings(), text));
    if (!reply || reply->kind() != zem::Value::KIND_DICTIONARY)
        throw zem::RuntimeException(L"Error in JSON response.");
    const auto& fields = static_cast<const zem::DictionaryValue&>(*reply);
    if (fields.empty())
        return;
    result.reset(new UpdateInfo);
    copyString(fields, L"url_download", result->downloadUrl);
    copyString(fields, L"url_notes", result->notesUrl);
    copyString(fields, L"version", result->version);
    copyString(fields, L"build", result->build);
    copyString(fields, L"branch", result->branch);
    checkUpdateUrl(result->downloadUrl, m_host);
    checkUpdateUrl(result->notesUrl, m_host);
}

void UpdateCheckerTask::checkUpdateUrl(std::wstring& url, const std::wstring& host) {
    zem::URI uri(url);
    if (_wcsicmp(uri.getHost().c_str(), host.c_str()) != 0)
        throw zem::IllegalStateException(L"URL does not point to valid update server.");
    if (_wcsicmp(uri.getScheme().c_str(), L"http") != 0 && _wcsicmp(uri.getScheme().c_str(), L"https") != 0)
        throw zem::IllegalStateException(L"URL does not have a propper scheme.");
    url = uri.toString();
}

} // namespace corvel
