// Maps from system handles to the C++ objects that wrap them, one set per
// thread as handles are used on the thread that made them.
//
// A permanent entry belongs to an object that owns its handle (attached or
// created through it). A temporary entry is a plain wrapper made on demand by
// FromHandle for a handle no object owns; temporary wrappers are deleted when
// the thread goes idle, so callers must not keep them.
#pragma once

#include <unordered_map>

template <class CObj, class Handle>
class CHandleMap
{
public:
    // How a wrapper gets and drops its handle; the class of the map says.
    typedef void (*PFN_SETHANDLE)(CObj* pObj, Handle h);

    CHandleMap(PFN_SETHANDLE pfnSet) : m_pfnSet(pfnSet) {}
    ~CHandleMap() { DeleteTemp(); }
    CHandleMap(const CHandleMap&) = delete;
    CHandleMap& operator=(const CHandleMap&) = delete;

    CObj* LookupPermanent(Handle h) const
    {
        auto it = m_permanent.find(h);
        return it == m_permanent.end() ? nullptr : it->second;
    }

    CObj* LookupTemporary(Handle h) const
    {
        auto it = m_temporary.find(h);
        return it == m_temporary.end() ? nullptr : it->second;
    }

    void SetPermanent(Handle h, CObj* pObj) { m_permanent[h] = pObj; }

    // Forgets the handle's permanent entry if it is pObj's.
    void RemovePermanent(Handle h, const CObj* pObj)
    {
        auto it = m_permanent.find(h);
        if (it != m_permanent.end() && it->second == pObj)
            m_permanent.erase(it);
    }

    // The permanent object, else a temporary wrapper (made on first use).
    CObj* FromHandle(Handle h)
    {
        if (!h)
            return nullptr;
        if (CObj* p = LookupPermanent(h))
            return p;
        if (CObj* p = LookupTemporary(h))
            return p;
        CObj* p = new CObj;
        m_pfnSet(p, h);
        m_temporary[h] = p;
        return p;
    }

    void DeleteTemp()
    {
        auto temporary = std::move(m_temporary);
        m_temporary.clear();
        for (auto& entry : temporary)
        {
            // the wrapper does not own the handle: let go before deleting
            m_pfnSet(entry.second, Handle());
            delete entry.second;
        }
    }

private:
    PFN_SETHANDLE m_pfnSet;
    std::unordered_map<Handle, CObj*> m_permanent;
    std::unordered_map<Handle, CObj*> m_temporary;
};
