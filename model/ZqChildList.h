#pragma once

// The typed lists of children that model classes keep beside their child list.
#include "model/ZqModel.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

// Which children a list takes: those of exactly its class, or of its class and every class
// derived from it.
enum class ZqChildMatch { kClass, kKind };

// The children of one class that a model keeps at hand, in the order they were added. It
// shares ownership with the child list and is kept in step by the model's child hooks: add
// from childAdded, remove from childRemoved, clear from childrenCleared. Of is the class
// matched; the entries point to Element, which is Of unless Of is incomplete where the list
// is declared (a base of Of then). The matching members need Of complete where they are used.
template <class Of, ZqChildMatch Match, class Element = Of>
class ZqChildList {
public:
    using List = std::vector<std::shared_ptr<Element>>;

    // Whether the list takes that child; false for null.
    static bool takes(const ZqModel* child)
    {
        if (!child)
            return false;
        if constexpr (Match == ZqChildMatch::kClass)
            return child->typeId() == Of::staticTypeId();
        else
            return child->isKindOf(Of::staticTypeId());
    }

    // Appends the child when the list takes it; true when it did.
    bool add(const std::shared_ptr<ZqModel>& child)
    {
        if (!takes(child.get()))
            return false;
        m_list.push_back(std::static_pointer_cast<Element>(child));
        return true;
    }

    // Erases the first entry that is this very child; the others keep their order. False
    // when there is none.
    bool remove(const ZqModel* child)
    {
        const auto entry = std::find_if(m_list.begin(), m_list.end(), [child](const std::shared_ptr<Element>& item) {
            return static_cast<const ZqModel*>(item.get()) == child;
        });
        if (entry == m_list.end())
            return false;
        m_list.erase(entry);
        return true;
    }

    void clear() { m_list.clear(); }
    // The entries, leaving the list empty: for walking them while each removal of a child
    // comes back through remove.
    List take() { return std::exchange(m_list, List()); }

    const List& list() const { return m_list; }
    std::size_t size() const { return m_list.size(); }
    bool empty() const { return m_list.empty(); }
    // Precondition: index < size().
    const std::shared_ptr<Element>& operator[](std::size_t index) const { return m_list[index]; }
    typename List::const_iterator begin() const { return m_list.begin(); }
    typename List::const_iterator end() const { return m_list.end(); }

private:
    List m_list;
};
