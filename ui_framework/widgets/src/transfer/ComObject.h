// The reference counting and interface query every COM object of the program shares: one
// interface besides IUnknown, one reference for the creator, deleted with the last.
#pragma once
#include <unknwn.h>
#include <windows.h>

namespace corvel {

template <class Interface> class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, m_iid)) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return left;
    }

protected:
    explicit ComObject(REFIID iid) : m_iid(iid) {}
    virtual ~ComObject() = default;

private:
    LONG m_references = 1;
    const IID& m_iid; // the interface's own id, a constant of the system's
};

} // namespace corvel
