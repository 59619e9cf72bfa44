// The program's side of a piece of transferable data: which clipboard formats it offers
// (direction 1, reading) or accepts (direction 2, writing), how big its value is in each,
// how it writes its value into a block and takes one from a block. The same objects serve
// the clipboard and drag-and-drop; each shows itself to OLE through its adapter.
#pragma once
#include <cstddef>
#include <cstdint>
#include <objidl.h>
#include <vector>
#include <windows.h>

namespace corvel {

class __afIDataObject;

class afDataObject {
public:
    enum Direction { GET = 1, SET = 2 };

    afDataObject();
    // Releases the object's reference to its adapter unless it handed the object over.
    virtual ~afDataObject();
    afDataObject(const afDataObject&) = delete;
    afDataObject& operator=(const afDataObject&) = delete;

    // Writes the value in the format into destination (a locked block, or where a handle goes).
    virtual bool getData(uint16_t format, void* destination);
    // Takes a value of size bytes. For CF_HDROP the source is the HDROP itself.
    virtual bool setData(uint16_t format, size_t size, const void* source);
    virtual size_t getDataSize(uint16_t format);
    // The size of a global memory block, for formats whose blocks carry no length.
    virtual size_t loadSize(uint16_t format, const void* block);
    virtual void reset();
    virtual bool isEmpty() const;
    virtual bool acceptsFormat(uint16_t format, int direction);
    virtual size_t getFormatCount(int direction);
    virtual std::vector<uint16_t> getFormats(int direction);
    virtual uint16_t getPreferredFormat(int direction);

    // The OLE face of the object; valid while the object or OLE holds it.
    IDataObject* getAdapter() const;
    // From now on the adapter owns the object: releasing its last reference deletes it,
    // and the object gives up its own reference. The clipboard does this on a put.
    void handOverToAdapter();

protected:
    uint8_t m_empty = 1;

private:
    __afIDataObject* m_adapter;
    bool m_holdsAdapter = true; // the object's own reference is still held
};

} // namespace corvel
