// A small painting object a view owns as its background: bounds, an optional content
// padding, and a listener (the view) told whenever it changes.
#pragma once
#include "corvel/ui/afRect.h"
#include "zem/base/Object.h"

#include <cstdint>

namespace corvel {

class afCanvas;
class afDrawable;

class afDrawableListener {
public:
    virtual ~afDrawableListener() = default;
    virtual void onDrawableChanged(afDrawable* drawable) = 0;
};

class afDrawable : public zem::Object {
public:
    afDrawable() = default;
    afDrawable(const afDrawable&) = delete;
    afDrawable& operator=(const afDrawable&) = delete;

    virtual void setFlag(bool flag);
    virtual bool queryFalse() const { return false; }
    virtual void setValue(int32_t value);
    virtual void setBounds(const RECT& bounds);
    // The content padding the drawable asks of its view; false (and all zero) for none.
    virtual bool getPadding(RECT& out) const;
    virtual int getSize0() const { return 0; }
    virtual int getSize1() const { return 0; }
    virtual int getSize2() const { return 0; }
    virtual int getSize3() const { return 0; }
    virtual void draw(afCanvas& canvas, void* extra);

    bool getFlag() const { return m_flag; }
    int32_t getValue() const { return m_value; }
    const afRect& getBounds() const { return m_bounds; }
    void setListener(afDrawableListener* listener) { m_listener = listener; }
    afDrawableListener* getListener() const { return m_listener; }

protected:
    void notifyChanged();

private:
    bool m_flag = true;
    int32_t m_value = 0;
    afRect m_bounds;
    afDrawableListener* m_listener = nullptr; // not owned
};

} // namespace corvel
