#include "model/ZqModelKeyCodes.h"

#include "attributes/KeyDictionary.h"
#include "model/ZqModel.h"

#include <algorithm>

int32_t ZqModelKeyCodes::Class::find(int64_t code) const
{
    if (code < 0 || code > INT32_MAX)
        return -1;
    auto at = first.find(static_cast<int32_t>(code));
    return at == first.end() ? -1 : at->second;
}

void ZqModelKeyCodes::checkGeneration()
{
    const uint32_t generation = KeyDictionary::shared().generation.load(std::memory_order_relaxed);
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
    known.first.clear();
    known.next.assign(count, -1);
    for (std::size_t i = count; i-- > 0;) {
        const int32_t code = known.codes[i];
        if (code == -1)
            continue;
        auto [first, added] = known.first.emplace(code, static_cast<int32_t>(i));
        if (!added) {
            known.next[i] = first->second;
            first->second = static_cast<int32_t>(i);
        }
    }
    return known;
}

int32_t ZqModelKeyCodes::attributeCode(const Class& known, const ZqModel& model, std::size_t index)
{
    if (index < known.codes.size() && index < model.classLayoutSize())
        return known.codes[index];
    return keyCodeOrDefault(model.attributes()[index]->name());
}
