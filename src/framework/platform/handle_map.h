// Maps from platform handles to the framework's objects, one set per thread.
// Permanent entries belong to objects the framework made; temporary entries are
// wrappers made on demand for handles it did not make, freed by the idle housekeeping.
#pragma once

#include <unordered_map>

namespace afx_detail {

template <class Handle, class Object, Handle Object::*Member>
class HandleMap {
public:
    HandleMap() = default;
    HandleMap(const HandleMap&) = delete;
    HandleMap& operator=(const HandleMap&) = delete;
    ~HandleMap() { DeleteTemporary(); }

    // The calling thread's map.
    static HandleMap& ForThisThread()
    {
        thread_local HandleMap map;
        return map;
    }

    Object* LookupPermanent(Handle h) const
    {
        auto it = permanent_.find(h);
        return it == permanent_.end() ? nullptr : it->second;
    }

    Object* Lookup(Handle h)
    {
        if (h == nullptr) {
            return nullptr;
        }
        if (Object* object = LookupPermanent(h)) {
            return object;
        }
        Object*& temporary = temporary_[h];
        if (temporary == nullptr) {
            temporary = new Object;
            temporary->*Member = h;
        }
        return temporary;
    }

    void SetPermanent(Handle h, Object* object)
    {
        permanent_[h] = object;
        // A temporary wrapper of the same handle is stale now.
        auto it = temporary_.find(h);
        if (it != temporary_.end()) {
            Release(it->second);
            temporary_.erase(it);
        }
    }

    void RemovePermanent(Handle h) { permanent_.erase(h); }

    void DeleteTemporary()
    {
        for (auto& entry : temporary_) {
            Release(entry.second);
        }
        temporary_.clear();
    }

    std::size_t TemporaryCount() const { return temporary_.size(); }

private:
    // The wrapper never owned its handle: let go of it before deleting the wrapper.
    static void Release(Object* object)
    {
        object->*Member = nullptr;
        delete object;
    }

    std::unordered_map<Handle, Object*> permanent_;
    std::unordered_map<Handle, Object*> temporary_;
};

}  // namespace afx_detail
