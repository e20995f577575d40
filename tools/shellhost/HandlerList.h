// The context-menu handlers registered for a file: those of its own class first, then those of
// every file ("*"), as Explorer reads them from HKCR\<class>\shellex\ContextMenuHandlers.
#pragma once
#include "Array.h"
#include "Str.h"

struct HandlerEntry {
    CString classKey;    // "*" or the file's class, e.g. "txtfile"
    CString name;        // the subkey's name, e.g. "MorvaneMenu"
    CString clsidText;   // the class identifier as registered
    CLSID clsid = {};
    bool valid = false;  // clsidText parses as a class identifier
};

class CHandlerList {
public:
    // Reads the handlers of typeClass (may be empty) and of "*", each class identifier once.
    void Load(const CString& typeClass);
    // Keeps only the handlers whose key name or class identifier is filter (ignoring case).
    void Filter(const CString& filter);

    const CArray<HandlerEntry>& Entries() const { return m_entries; }

private:
    void LoadClass(LPCWSTR classKey);
    bool Contains(const CLSID& clsid) const;

    CArray<HandlerEntry> m_entries;
};
