// The program's one access to the system clipboard, through OLE: puts a data object on it,
// reads it into a data object, and keeps the ring of copied texts.
#pragma once
#include "corvel/ui/afWidgetKit.h"
#include "corvel/widgets/afClipboardRing.h"

#include <cstdint>
#include <memory>
#include <objidl.h>
#include <windows.h>

namespace corvel {

class afDataObject;

class afClipboard : public afIClipboard {
public:
    // Made after OLE is started; the first one made is the process's live one.
    afClipboard();
    // Leaves the program's data on the clipboard (flush) before the objects go.
    ~afClipboard() override;
    afClipboard(const afClipboard&) = delete;
    afClipboard& operator=(const afClipboard&) = delete;

    static afClipboard* getInstance();

    // On success the clipboard owns the object; on failure the caller still does.
    bool put(afDataObject* object);
    // Fills the object in the first format it accepts that the clipboard has.
    bool get(afDataObject* object);
    // CF_BITMAP is also satisfied by CF_DIB.
    bool isFormatAvailable(uint16_t format);
    // Copies the program's data into the clipboard so that it outlives the program.
    void clear();
    afClipboardRing* getRing();

    // Set by a copy around its put; nothing here reads it.
    uint8_t getPutInProgress() const { return m_putInProgress; }
    void setPutInProgress(uint8_t value) { m_putInProgress = value; }

private:
    IDataObject* m_current = nullptr;        // referenced; the adapter last put by this program
    std::unique_ptr<afClipboardRing> m_ring; // made on first use
    uint8_t m_putInProgress = 0;
};

} // namespace corvel
