#include "Shared/platform/PlatformRegistry.h"

#include <strings.h>

#include <map>
#include <memory>
#include <mutex>

namespace kx
{

namespace
{

struct Value
{
    std::string name;
    uint32_t type;
    std::vector<uint8_t> data;
};

struct Node
{
    std::string name;
    bool deleted = false;
    bool readOnly = false;
    // Sub-keys by their name in lower case, in name order as the registry
    // enumerates them; values in the order first set.
    std::map<std::string, std::shared_ptr<Node>> children;
    std::vector<Value> values;
};

std::string Lower(const std::string& s)
{
    std::string l(s);
    for (char& c : l)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return l;
}

struct Store
{
    std::mutex lock;
    std::shared_ptr<Node> root = std::make_shared<Node>();
    struct Open
    {
        std::shared_ptr<Node> node;
        uint32_t access;
    };
    std::map<RegistryHandle, Open> handles;
    RegistryHandle next = 0x100;
};

Store& TheStore()
{
    static Store store;
    return store;
}

constexpr RegistryHandle kCurrentUser = 1;

// The node a handle names; null for an unknown handle.
std::shared_ptr<Node> Resolve(Store& s, RegistryHandle h)
{
    if (h == kCurrentUser)
        return s.root;
    auto it = s.handles.find(h);
    return it != s.handles.end() ? it->second.node : nullptr;
}

// The live node a handle names, or why there is none.
uint32_t ResolveLive(Store& s, RegistryHandle h, std::shared_ptr<Node>& node)
{
    node = Resolve(s, h);
    if (!node)
        return kRegInvalidHandle;
    return node->deleted ? kRegKeyDeleted : kRegOk;
}

// Whether a handle was opened with all the rights asked for.
bool Grants(Store& s, RegistryHandle h, uint32_t rights)
{
    auto it = s.handles.find(h);
    return it != s.handles.end() && (it->second.access & rights) == rights;
}

constexpr uint32_t kChangeRights = kRegSetValue | kRegCreateSubKey | 0x10000 /* delete */;

uint32_t Walk(Store& s, RegistryHandle parent, const char* name, bool create, uint32_t access, RegistryHandle& key)
{
    key = 0;
    std::shared_ptr<Node> node = Resolve(s, parent);
    if (!node)
        return kRegInvalidHandle;
    if (node->deleted)
        return kRegKeyDeleted;
    std::string path = name != nullptr ? name : "";
    size_t at = 0;
    while (at < path.size())
    {
        size_t end = path.find('\\', at);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(at, end - at);
        at = end + 1;
        if (part.empty())
            continue;
        auto it = node->children.find(Lower(part));
        if (it == node->children.end())
        {
            if (!create)
                return kRegNotFound;
            auto child = std::make_shared<Node>();
            child->name = part;
            it = node->children.emplace(Lower(part), child).first;
        }
        node = it->second;
    }
    if (node->readOnly && (access & kChangeRights) != 0)
        return kRegAccessDenied;
    key = s.next++;
    s.handles[key] = Store::Open{node, access};
    return kRegOk;
}

} // namespace

RegistryHandle RegistryCurrentUser()
{
    return kCurrentUser;
}

uint32_t RegistryCreateKey(RegistryHandle parent, const char* name, uint32_t access, RegistryHandle& key)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    return Walk(s, parent, name, true, access, key);
}

uint32_t RegistryOpenKey(RegistryHandle parent, const char* name, uint32_t access, RegistryHandle& key)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    return Walk(s, parent, name, false, access, key);
}

uint32_t RegistryCloseKey(RegistryHandle key)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    if (key == kCurrentUser)
        return kRegOk;
    return s.handles.erase(key) != 0 ? kRegOk : kRegInvalidHandle;
}

uint32_t RegistryValueCount(RegistryHandle key, uint32_t& count)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    count = 0;
    std::shared_ptr<Node> node;
    if (uint32_t rc = ResolveLive(s, key, node); rc != kRegOk)
        return rc;
    count = static_cast<uint32_t>(node->values.size());
    return kRegOk;
}

uint32_t RegistryEnumValue(RegistryHandle key, uint32_t index, std::string& name, uint32_t& type,
                           std::vector<uint8_t>& data)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<Node> node;
    if (uint32_t rc = ResolveLive(s, key, node); rc != kRegOk)
        return rc;
    if (index >= node->values.size())
        return kRegNoMoreItems;
    const Value& v = node->values[index];
    name = v.name;
    type = v.type;
    data = v.data;
    return kRegOk;
}

uint32_t RegistryEnumKey(RegistryHandle key, uint32_t index, std::string& name)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<Node> node;
    if (uint32_t rc = ResolveLive(s, key, node); rc != kRegOk)
        return rc;
    if (index >= node->children.size())
        return kRegNoMoreItems;
    auto it = node->children.begin();
    std::advance(it, index);
    name = it->second->name;
    return kRegOk;
}

uint32_t RegistryQueryValue(RegistryHandle key, const char* name, uint32_t& type, std::vector<uint8_t>& data)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<Node> node;
    if (uint32_t rc = ResolveLive(s, key, node); rc != kRegOk)
        return rc;
    const char* valueName = name != nullptr ? name : "";
    for (const Value& v : node->values)
    {
        if (::strcasecmp(v.name.c_str(), valueName) == 0)
        {
            type = v.type;
            data = v.data;
            return kRegOk;
        }
    }
    return kRegNotFound;
}

uint32_t RegistrySetValue(RegistryHandle key, const char* name, uint32_t type, const void* data, uint32_t size)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<Node> node = Resolve(s, key);
    if (!node || key == kCurrentUser)
        return kRegInvalidHandle;
    if (node->deleted)
        return kRegKeyDeleted;
    if (!Grants(s, key, kRegSetValue))
        return kRegAccessDenied;
    if (data == nullptr && size != 0)
        return kRegInvalidParameter;
    std::string valueName = name != nullptr ? name : "";
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> copy(bytes, bytes + size);
    for (Value& v : node->values)
    {
        if (::strcasecmp(v.name.c_str(), valueName.c_str()) == 0)
        {
            v.type = type;
            v.data = std::move(copy);
            return kRegOk;
        }
    }
    node->values.push_back(Value{valueName, type, std::move(copy)});
    return kRegOk;
}

uint32_t RegistryDeleteKey(RegistryHandle parent, const char* name)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<Node> node = Resolve(s, parent);
    if (!node)
        return kRegInvalidHandle;
    if (node->deleted)
        return kRegKeyDeleted;
    std::string path = name != nullptr ? name : "";
    size_t cut = path.rfind('\\');
    if (cut != std::string::npos)
    {
        RegistryHandle holder = 0;
        uint32_t rc = Walk(s, parent, path.substr(0, cut).c_str(), false, 0, holder);
        if (rc != kRegOk)
            return rc;
        node = s.handles[holder].node;
        s.handles.erase(holder);
        path = path.substr(cut + 1);
    }
    auto it = node->children.find(Lower(path));
    if (path.empty() || it == node->children.end())
        return kRegNotFound;
    // As in the registry, a key with sub-keys is not deleted.
    if (it->second->readOnly || !it->second->children.empty())
        return kRegAccessDenied;
    it->second->deleted = true;
    node->children.erase(it);
    return kRegOk;
}

bool RegistryMakeReadOnly(RegistryHandle key)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<Node> node = Resolve(s, key);
    if (!node || key == kCurrentUser)
        return false;
    node->readOnly = true;
    return true;
}

} // namespace kx
