#include "model/ZqModelKeyCodes.h"

#include "attributes/KeyDictionary.h"
#include "model/ZqModel.h"

#include <algorithm>

void ZqModelKeyCodes::Class::index()
{
    std::size_t size = 4;
    while (size < 2 * codes.size())
        size *= 2;
    first.assign(size, {-1, -1});
    next.assign(codes.size(), -1);
    const std::size_t mask = size - 1;
    // From the last attribute back: each code's slot ends at its first attribute.
    for (std::size_t i = codes.size(); i-- > 0;) {
        const int32_t code = codes[i];
        if (code == -1)
            continue;
        std::size_t slot = slotOf(code, mask);
        while (first[slot].first != -1 && first[slot].first != code)
            slot = (slot + 1) & mask;
        if (first[slot].first == code)
            next[i] = first[slot].second;
        first[slot] = {code, static_cast<int32_t>(i)};
    }
}

void ZqModelKeyCodes::checkGeneration()
{
    const uint32_t generation = KeyDictionary::generation.load(std::memory_order_relaxed);
    if (generation == m_generation)
        return;
    clear();
    m_generation = generation;
    m_fixed.id = keyCodeOrDefault("id");
    m_fixed.className = keyCodeOrDefault("Class Name");
}

void ZqModelKeyCodes::clear()
{
    m_generation = 0;
    m_classes.clear();
    m_last = nullptr;
    m_lastType = 0;
}

const ZqModelKeyCodes::Fixed& ZqModelKeyCodes::fixed()
{
    checkGeneration();
    return m_fixed;
}

const ZqModelKeyCodes::Class& ZqModelKeyCodes::ofClass(const ZqModel& model)
{
    checkGeneration();
    const std::size_t type = model.typeId();
    const ZqAttributeList& attributes = model.attributes();
    const std::size_t count = std::min(model.classLayoutSize(), attributes.size());
    // The maps of a file are mostly of one class.
    Class& known = m_last && m_lastType == type ? *m_last : m_classes[type];
    m_lastType = type;
    m_last = &known;
    if (count <= known.codes.size())
        return known;
    // Every model's class part is the same list up to its own length: a longer one
    // extends what is known.
    for (std::size_t i = known.codes.size(); i < count; ++i)
        known.codes.push_back(keyCodeOrDefault(attributes[i]->name()));
    known.index();
    return known;
}

int32_t ZqModelKeyCodes::attributeCode(const Class& known, const ZqModel& model, std::size_t index)
{
    if (index < known.codes.size() && index < model.classLayoutSize())
        return known.codes[index];
    return keyCodeOrDefault(model.attributes()[index]->name());
}
