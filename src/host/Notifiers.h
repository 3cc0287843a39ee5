// The IDE's registries of an add-in's notifiers: each add returns an index for the remove,
// and a call reaches every notifier registered when it started, also when one of them removes
// itself or another during the call.
#pragma once

#include "toolsapi/Interfaces.h"

#include <vector>

namespace kolva {

template <class T>
class TNotifierList {
public:
    int Add(T* Notifier) {
        if (!Notifier) return -1;
        FItems.emplace_back(Notifier);
        return static_cast<int>(FItems.size()) - 1;
    }
    void Remove(int Index) {
        if (Index >= 0 && Index < static_cast<int>(FItems.size())) FItems[Index] = TIntf<T>();
    }
    template <class F>
    void ForEach(F Call) const {
        std::vector<TIntf<T>> snapshot = FItems;
        for (const TIntf<T>& item : snapshot)
            if (item) Call(*item);
    }
    /// Tells every notifier that its object goes away, then drops them all.
    void DestroyAll() {
        ForEach([](T& Notifier) { Notifier.Destroyed(); });
        FItems.clear();
    }
    int Count() const {
        int count = 0;
        for (const TIntf<T>& item : FItems)
            count += item ? 1 : 0;
        return count;
    }

private:
    std::vector<TIntf<T>> FItems;
};

} // namespace kolva
