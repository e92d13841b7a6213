#pragma once

#include "base/CCObject.h"
#include "touch/CCKeypadDelegate.h"

#include <vector>

namespace cocos2d {

enum ccKeypadMSGType {
    kTypeBackClicked = 1,
    kTypeMenuClicked,
};

// Hands the back and menu keys to every registered delegate, in order of
// registration. Like the touch dispatcher, it retains a delegate that is a CCObject
// until it is removed, and applies registrations changed from inside a callback when
// the dispatch ends (a delegate removed then gets no further call).
class CCKeypadDispatcher : public CCObject {
public:
    CCKeypadDispatcher() = default;
    ~CCKeypadDispatcher() override;

    // Adding a registered delegate again is ignored.
    void addDelegate(CCKeypadDelegate* delegate);
    void removeDelegate(CCKeypadDelegate* delegate);

    // False when no delegate was registered to take the key.
    bool dispatchKeypadMSG(ccKeypadMSGType type);

private:
    struct Entry {
        CCKeypadDelegate* delegate = nullptr;
        CCObject* object = nullptr; // retained, or null
        bool removed = false;
    };
    struct Change {
        bool add;
        CCKeypadDelegate* delegate;
    };

    void applyChange(const Change& change);
    Entry* findEntry(CCKeypadDelegate* delegate);

    std::vector<Entry> m_entries;
    std::vector<Change> m_pending;
    int m_dispatchDepth = 0;
};

} // namespace cocos2d
