#include "touch/CCKeypadDispatcher.h"

#include <algorithm>

namespace cocos2d {

CCKeypadDispatcher::~CCKeypadDispatcher()
{
    std::vector<Entry> entries;
    entries.swap(m_entries);
    for (Entry& entry : entries)
        CC_SAFE_RELEASE(entry.object);
}

CCKeypadDispatcher::Entry* CCKeypadDispatcher::findEntry(CCKeypadDelegate* delegate)
{
    for (Entry& entry : m_entries) {
        if (entry.delegate == delegate && !entry.removed)
            return &entry;
    }
    return nullptr;
}

void CCKeypadDispatcher::addDelegate(CCKeypadDelegate* delegate)
{
    if (!delegate)
        return;
    if (m_dispatchDepth > 0)
        m_pending.push_back({true, delegate});
    else
        applyChange({true, delegate});
}

void CCKeypadDispatcher::removeDelegate(CCKeypadDelegate* delegate)
{
    if (!delegate)
        return;
    if (m_dispatchDepth > 0) {
        if (Entry* entry = findEntry(delegate))
            entry->removed = true;
        m_pending.push_back({false, delegate});
    } else {
        applyChange({false, delegate});
    }
}

void CCKeypadDispatcher::applyChange(const Change& change)
{
    if (change.add) {
        if (findEntry(change.delegate))
            return;
        Entry entry{change.delegate, dynamic_cast<CCObject*>(change.delegate), false};
        CC_SAFE_RETAIN(entry.object);
        m_entries.push_back(entry);
        return;
    }
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const Entry& entry) { return entry.delegate == change.delegate; });
    if (it == m_entries.end())
        return;
    CCObject* object = it->object;
    m_entries.erase(it);
    // Last: this may destroy the delegate, whose destructor may call back in here.
    CC_SAFE_RELEASE(object);
}

bool CCKeypadDispatcher::dispatchKeypadMSG(ccKeypadMSGType type)
{
    ++m_dispatchDepth;
    // Entries are not added or erased while callbacks run, so indices stay valid.
    const size_t count = m_entries.size();
    bool delivered = false;
    for (size_t i = 0; i < count; ++i) {
        if (m_entries[i].removed)
            continue;
        delivered = true;
        if (type == kTypeBackClicked)
            m_entries[i].delegate->keyBackClicked();
        else if (type == kTypeMenuClicked)
            m_entries[i].delegate->keyMenuClicked();
    }
    if (--m_dispatchDepth == 0) {
        while (!m_pending.empty()) {
            Change change = m_pending.front();
            m_pending.erase(m_pending.begin());
            applyChange(change);
        }
    }
    return delivered;
}

} // namespace cocos2d
