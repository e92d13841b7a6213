#pragma once

// Helpers for the lists of models that model classes keep beside their children.
#include <algorithm>
#include <memory>
#include <vector>

class ZqModel;

// Erases the first entry pointing at model; the others keep their order. Nothing when
// there is none.
template <class T>
void zqEraseFirst(std::vector<std::shared_ptr<T>>& list, const ZqModel* model)
{
    auto entry = std::find_if(list.begin(), list.end(), [model](const std::shared_ptr<T>& item) { return item.get() == model; });
    if (entry != list.end())
        list.erase(entry);
}
