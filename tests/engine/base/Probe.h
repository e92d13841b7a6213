#pragma once

#include "base/CCObject.h"

#include <functional>

namespace basetest {

// An engine object that counts its own destruction and can run an action from its destructor.
class Probe : public cocos2d::CCObject {
public:
    explicit Probe(int* deaths, std::function<void()> onDeath = {}) : m_deaths(deaths), m_onDeath(std::move(onDeath)) {}
    ~Probe() override
    {
        ++*m_deaths;
        if (m_onDeath)
            m_onDeath();
    }

private:
    int* m_deaths;
    std::function<void()> m_onDeath;
};

} // namespace basetest
