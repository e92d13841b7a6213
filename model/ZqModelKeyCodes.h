#pragma once

#include <cstddef>
#include <climits>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

class ZqModel;

// The reader codes that loading asks for on every map, found once a load: the codes of the
// fixed keys, and per model class the codes of its attributes with a code -> attribute
// table. A class's codes come from the first model of it met in the load, over the part
// of its attribute list that is still its class's own (ZqModel::classLayoutSize); the
// attributes after that part (a node's ports) are looked up by name. Everything is
// dropped by clear() and whenever another key dictionary is installed (one atomic read a
// call). The loader runs on one thread.
class ZqModelKeyCodes {
public:
    struct Fixed {
        int32_t id = -1;
        int32_t className = -1;
    };
    struct Class {
        // The codes of the class's attributes, in order; -1 for a name with no code.
        std::vector<int32_t> codes;
        // Code -> its first attribute, in an open-addressed table of (code, index) pairs
        // (code -1 for a free slot; a power of two at least twice the codes); next links
        // the later attributes of the same code.
        std::vector<std::pair<int32_t, int32_t>> first;
        std::vector<int32_t> next;

        // The first attribute of code, else -1.
        int32_t find(int64_t code) const
        {
            if (code < 0 || code > INT32_MAX || first.empty())
                return -1;
            const std::size_t mask = first.size() - 1;
            for (std::size_t slot = slotOf(static_cast<int32_t>(code), mask);; slot = (slot + 1) & mask) {
                if (first[slot].first == code)
                    return first[slot].second;
                if (first[slot].first == -1)
                    return -1;
            }
        }
        // Rebuilds the table from codes.
        void index();

    private:
        static std::size_t slotOf(int32_t code, std::size_t mask)
        {
            return (static_cast<uint32_t>(code) * 2654435761u >> 7) & mask;
        }
    };

    const Fixed& fixed();
    // The codes of the model's class, taken from the model if it shows more of the class's
    // attributes than known. The reference stays valid until clear() or another
    // dictionary; its lists may grow meanwhile.
    const Class& ofClass(const ZqModel& model);
    // The code of the model's attribute at index: the class's where it holds, else by name.
    static int32_t attributeCode(const Class& known, const ZqModel& model, std::size_t index);
    void clear();

private:
    // Drops what an earlier dictionary gave.
    void checkGeneration();

    uint32_t m_generation = 0;
    Fixed m_fixed;
    std::unordered_map<std::size_t, Class> m_classes;
    std::size_t m_lastType = 0;
    Class* m_last = nullptr;
};
